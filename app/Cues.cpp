// Sound cues: every part of the window plays through PlayCue, silent while "Sound On" is off.

#include "app/Main.h"
#include "app/WavePlay.h"
#include "controls/CheckBox.h"
#include "controls/LcdLabel.h"
#include "session/FontSession.h"

#include <QTimer>

namespace {

// What a cue that is not heard shows on the counter instead; nothing for the clicks.
QString silentWord(const QString& cue) {
    if (cue == QLatin1String("MyOK") || cue == QLatin1String("MyChimes"))
        return QStringLiteral("DONE");
    if (cue == QLatin1String("MyOhOh"))
        return QStringLiteral("ERROR");
    if (cue == QLatin1String("MyDing"))
        return QStringLiteral("REFUSED");
    return {};
}

constexpr int kFlashMilliseconds = 1500;

} // namespace

void TFrmMain::PlayCue(const QString& cue) {
    bool heard = false;
    if (C_AllowSounds->checked()) {
        if (cue.left(2) == QLatin1String("My"))
            Sound->setWhereWave(TPlayerWave::wwInResource);
        Sound->setWaveName(cue);
        heard = Sound->Play();
    }
    Sound->setWhereWave(TPlayerWave::wwInFile);
    Sound->setAsync(true);
    if (const QString word = silentWord(cue); !heard && !word.isEmpty())
        flashStatus(word);
}

void TFrmMain::flashStatus(const QString& word) {
    if (!statusFlash_) {
        statusFlash_ = new QTimer(this);
        statusFlash_->setSingleShot(true);
        connect(statusFlash_, &QTimer::timeout, this,
                [this] { LCD_FontTotal->setCaption(fontTotal_); });
    }
    // Centred in the counter's ten places.
    const int places = 10;
    LCD_FontTotal->setCaption(QString((places - int(word.size())) / 2, QLatin1Char(' ')) + word);
    statusFlash_->start(kFlashMilliseconds);
}

void TFrmMain::C_AllowSoundsClick() {
    // Loading the stored setting at start-up stays silent.
    if (!isVisible())
        return;
    if (C_AllowSounds->checked()) {
        PlayCue(MyOK);
    } else {
        // PlayCue is silent now; switching off still gives one click.
        Sound->setWhereWave(TPlayerWave::wwInResource);
        Sound->setWaveName(MyTock);
        Sound->Play();
    }
}

void TFrmMain::WinRollerRoller(int mode) {
    // mode: nonzero when the window is now rolled up to its caption bar.
    PlayCue(mode != 0 ? MyClose : MyOpen);
}

void TFrmMain::PlayCue(qm::session::Cue cue) {
    using qm::session::Cue;
    switch (cue) {
    case Cue::None:
        return;
    case Cue::Ok:
        return PlayCue(MyOK);
    case Cue::OhOh:
        return PlayCue(MyOhOh);
    case Cue::Ding:
        return PlayCue(MyDing);
    case Cue::Tock:
        return PlayCue(MyTock);
    case Cue::Chimes:
        return PlayCue(MyChimes);
    }
}
