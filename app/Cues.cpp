// Sound cues: every part of the window plays through PlayCue, silent while "Sound On" is off.

#include "app/Main.h"
#include "app/WavePlay.h"
#include "controls/CheckBox.h"
#include "session/FontSession.h"

void TFrmMain::PlayCue(const QString& cue) {
    if (C_AllowSounds->checked()) {
        if (cue.left(2) == QLatin1String("My"))
            Sound->setWhereWave(TPlayerWave::wwInResource);
        Sound->setWaveName(cue);
        Sound->Play();
    }
    Sound->setWhereWave(TPlayerWave::wwInFile);
    Sound->setAsync(true);
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
