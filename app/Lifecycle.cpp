// Start-up, the version reminder and shutdown of the main window.

#include "app/AfterFirstFrame.h"
#include "app/BusyCursor.h"
#include "app/HintSwitch.h"
#include "app/Main.h"
#include "app/MainLayout.h"
#include "app/ReaderControls.h"
#include "app/RegFiles.h"
#include "app/WavePlay.h"
#include "browse/DirectoryListBox.h"
#include "controls/BalloonHint.h"
#include "controls/CheckBox.h"
#include "controls/MessageBox.h"
#include "controls/ResourcePng.h"
#include "platform/FileNames.h"
#include "session/FontSession.h"

#include <QApplication>
#include <QDate>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

using qm::app::applyHandCursor;
using qm::app::BusyCursor;
using qm::app::kCueNames;
using qm::app::reminderText;
using qm::app::TaggedValue;
using qm::app::windowCaption;
using qm::controls::showError;
using qm::controls::showInformation;

namespace {

const QString kSettingsKey = QStringLiteral("Software\\Solvane\\Vantrel\\Quillmark\\Application");

// Any digit missing makes the date unusable.
bool decimalField(const QString& text, int from, int count, int& value) {
    bool ok = false;
    value = text.mid(from, count).toInt(&ok, 10);
    return ok;
}

// How a settings failure reads: its code, and where the system refused, which file and the
// system's own words, so the user can mend it.
QString settingsFailureText(const ERegFileError& error) {
    if (error.file().isEmpty())
        return error.message();
    return error.message() + QStringLiteral("\rThe settings cannot be saved in\r") + error.file() +
           u'\r' + error.reason() + u'.';
}

// Settings that cannot be read or stored never keep the window from starting or closing: a
// failed step keeps its defaults, and each cause is kept once, to be shown once.
template <class Step> void settingsStep(QStringList& failures, Step&& step) {
    try {
        step();
    } catch (const ERegFileError& error) {
        const QString text = settingsFailureText(error);
        if (!failures.contains(text))
            failures.append(text);
    }
}

int floorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int>(q);
}

} // namespace

void TFrmMain::FormCreate() {
    // 1. The hand cursor, for every control that acts on a click.
    const QPixmap pointer = QPixmap::fromImage(
        qm::controls::readResourcePng(QStringLiteral(":/cursors/MYPOINTER.png")));
    HandCursor = pointer.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(pointer, 5, 0);
    applyHandCursor(*this, HandCursor);

    // 2. Hint timing.
    Hints->setHintPause(1000);
    Hints->setHintHidePause(6000);
    BalloonHint1->setHintHidePause(6000);

    // 3. Busy until the window is shown (step 19, when this handler returns).
    const BusyCursor busy;

    // 4. Cue names.
    QString* cues[] = {&MyOK,   &MyOhOh, &MyTick,   &MyTock, &MyGoodbye,
                       &MyDing, &MyTaDa, &MyChimes, &MyOpen, &MyClose};
    for (size_t i = 0; i < kCueNames.size(); ++i)
        *cues[i] = QString::fromLatin1(kCueNames[i]);

    // 5. The "Windows" and "system" folders.
    WindowsFolder = qm::platform::pathCase(folders_.windowsFolder());
    SystemFolder = qm::platform::pathCase(folders_.systemFolder());

    // 6. Fonts folder attributes: nothing hides the system font folder here.

    // 7.-8. Settings key and version reminder.
    Reg->setRootKey(TRegFile::hkCurrentUser);
    Reg->setKey(kSettingsKey);
    QStringList settingsFailures;
    settingsStep(settingsFailures, [this] { VersionReminder(); });

    // 9.-10. Stored settings; each switch's handler runs when its state changes.
    settingsStep(settingsFailures, [this] {
        C_AllowSounds->setChecked(Reg->ReadValueDefault(QStringLiteral("SoundOn"), true).toBool());
    });
    settingsStep(settingsFailures, [this] {
        C_ShowHelp->setChecked(Reg->ReadValueDefault(QStringLiteral("Show Help"), true).toBool());
    });
    settingsStep(settingsFailures, [this] {
        // Until the user has chosen, new fonts go where the user may write.
        const TaggedValue saveTo = Reg->ReadValue(QStringLiteral("Save To"));
        session_->setDestinationFolder(qm::platform::fileNameBytes(
            saveTo.isNull() ? qm::platform::pathCase(folders_.newFontFolder())
                            : saveTo.toString()));
    });
    showSettingsFailures(settingsFailures);
    Hints->setShowHint(C_ShowHelp->checked());

    // 11. Centred, a little above the middle.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize outer = frameGeometry().size();
        move(area.left() + (area.width() - outer.width()) / 2,
             area.top() + (area.height() - outer.height()) / 2 - 10);
    }

    // 12. The system font folder, or the home folder where there is none.
    D_Dir->setDirectory(folders_.fontsStartFolder());

    // 13.-14. Caption and character strip.
    setWindowTitle(QString::fromUtf8(windowCaption()));
    setUpCharacterStrip();

    // 15. Overlay panels: placed, then stacked with the help panel on top of all.
    P_All256Chars->move(ScaleToScreen(19), ScaleToScreen(19));
    P_FontError->move(ScaleToScreen(19), ScaleToScreen(19));
    P_Advanced->move(ScaleToScreen(19), ScaleToScreen(337));
    P_MakeFont->move(ScaleToScreen(19), ScaleToScreen(337));
    P_WhatsNew->move(ScaleToScreen(19), ScaleToScreen(54));
    P_Help->move(ScaleToScreen(19), ScaleToScreen(54));
    for (QFrame* panel : std::initializer_list<QFrame*>{P_Advanced, P_MakeFont, P_All256Chars,
                                                        P_FontError, P_WhatsNew, P_Help})
        panel->raise();

    // 16. No current font.
    ResetFontDisplay();

    // 17.-18. Shown and greeted.
    QApplication::processEvents();
    show();
    // Without a window manager nothing else gives the new window the keyboard.
    activateWindow();
    repaint();
    // Played once the first frame is up: the sound output is loaded for the first sound, and the
    // window does not wait for it.
    new qm::app::AfterFirstFrame(*this, [this] { guarded([this] { PlayCue(MyTaDa); }); });
}

void TFrmMain::VersionReminder() {
    const QString name = QStringLiteral("Version Reminder");
    if (!Reg->ValueExists(QString(), name))
        Reg->WriteValue(name, TodayNumber());
    const int days = TodayNumber() - Reg->ReadValueDefault(name, TodayNumber()).toInt();
    if (days > 120) {
        Reg->WriteValue(name, TodayNumber());
        PlayCue(MyDing);
        showInformation(this, QString::fromLatin1(reminderText()));
    }
}

void TFrmMain::showSettingsFailures(const QStringList& failures) {
    // A cause told at start is not told again at close: the user has heard it.
    QStringList fresh;
    for (const QString& failure : failures) {
        if (!settingsFailuresShown_.contains(failure))
            fresh.append(failure);
    }
    if (fresh.isEmpty())
        return;
    settingsFailuresShown_ += fresh;
    showError(this, fresh.join(QStringLiteral("\r\r")));
}

int TFrmMain::DayNumber(const QString& date) {
    if (date.size() != 10)
        return 0;
    int y = 0, m = 0, d = 0;
    if (!decimalField(date, 0, 4, y) || !decimalField(date, 5, 2, m) ||
        !decimalField(date, 8, 2, d))
        return 0;
    if (y < 0 || m < 1 || m > 12 || d < 1 || d > 31)
        return 0;
    if (y < 100)
        y += 100;
    const int a = (m - 14) / 12;
    return floorDiv(1461LL * (y + 4800 + a), 4) + floorDiv(367LL * (m - 2 - 12 * a), 12) -
           floorDiv(3LL * floorDiv(y + 4900 + a, 100), 4) + d - 32075;
}

int TFrmMain::TodayNumber() {
    return DayNumber(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

void TFrmMain::FormClose() {
    {
        // 1. Busy until step 7.
        const BusyCursor busy;

        // 2.-3. The settings; losing them is shown, and the window closes all the same.
        QStringList settingsFailures;
        settingsStep(settingsFailures, [this] {
            Reg->setRootKey(TRegFile::hkCurrentUser);
            Reg->setKey(kSettingsKey);
            Reg->WriteValue(QStringLiteral("Show Help"), C_ShowHelp->checked());
            Reg->WriteValue(QStringLiteral("SoundOn"), C_AllowSounds->checked());
            Reg->WriteValue(QStringLiteral("Save To"),
                            qm::platform::fileNameText(session_->destinationFolder()));
        });
        showSettingsFailures(settingsFailures);

        // 4. Fonts folder attributes: nothing to give back here.

        // 5. The temporary font.
        if (!TemporaryFontPath.isEmpty())
            RemoveTemporaryFont(TemporaryFontPath);

        // 6. Goodbye, heard to its end.
        Sound->setAsync(false);
        PlayCue(MyGoodbye);

        // 7. Pending messages handled; the default cursor is back once busy goes.
        QApplication::processEvents();
    }
    // 8. The loop ends once this close is handled.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::quit();
}
