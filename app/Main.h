#pragma once
// TFrmMain: the one main window. Its state is declared here, its controls in
// app/MainControls.def and its components in app/MainComponents.def. It wires the browser
// panel (browse/) and the naming panel (naming/) to the font session (session/), and its
// handlers, all in app/, read the boxes, call the session and show the outcome.

#include "app/ControlKind.h"
#include "platform/Folders.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <memory>

class QDragEnterEvent;
class QDropEvent;
class QTimer;

class TBalloonHint;
class TMSOfficeCaption;
class TWinRoller;

class TAppExec;
class TPlayerWave;
class TRegFile;

namespace qm::browse {
class BrowsePanel;
class StripPainter;
} // namespace qm::browse

namespace qm::naming {
class KeyPreview;
class NamingPanel;
} // namespace qm::naming

namespace qm::session {
enum class Cue;
class FontSession;
struct Outcome;
} // namespace qm::session

namespace qm::platform {
class AppFonts;
class RegistryStore;
class SoundPlayer;
} // namespace qm::platform

class TFrmMain;

namespace qm::app {

class HintSwitch;
class KeyboardAccess;
void buildMainLayout(TFrmMain& form);
void applyHandCursor(TFrmMain& form, const QCursor& cursor);

// What the window takes from the machine. Empty members mean the real thing; tests hand in
// their own settings folder, a recording sound player, their own "Windows" and program folders,
// and keep a handle on the app-only font registrations.
struct MainWindowSetup {
    std::shared_ptr<qm::platform::RegistryStore> registry; // null: the user's settings folder
    std::shared_ptr<qm::platform::SoundPlayer> sound;      // null: the default sound output
    std::shared_ptr<qm::platform::AppFonts> fonts;         // null: the window's own
    qm::platform::SystemFolders folders;                   // "/usr/share" and "/usr/bin"
    QString programFolder;                                 // empty: the running program's
};

} // namespace qm::app

class TFrmMain : public QWidget {
    Q_OBJECT

public:
    // Builds the layout and runs FormCreate, which shows the window.
    explicit TFrmMain(QWidget* parent = nullptr, qm::app::MainWindowSetup setup = {});
    ~TFrmMain() override;

    // "Open with": the file's folder is browsed and the file selected and loaded as a click in
    // the file list would; a folder is only browsed. What goes wrong shows as a click's would.
    void openFontFile(const QString& path);
    // The same for the file named at start: after the first frame, the folder read off this
    // thread, so that a hanging mount cannot hold the window back.
    void openFontFileAtStart(const QString& path);

    // Day numbers of "yyyy-mm-dd" dates, for the version reminder; 0 for a date that is none.
    static int DayNumber(const QString& date);
    static int TodayNumber();
    // The layout is in Qt's device-independent pixels, which Qt maps to the screen for every
    // control alike: the overlays are placed for the layout's own density, never the screen's.
    static constexpr int kLayoutPixelsPerInch = 96;
    static int ScaleToScreen(int v, int pixelsPerInch = kLayoutPixelsPerInch);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Tab and Enter in the naming boxes skip what an open panel covers.
    bool focusNextPrevChild(bool next) override;

private:
    // ---- Program-wide state kept beside the window ----------------------------------------
    // The font: its read (FontNames, ReadFailed, ErrorText, IsRenamed), CurrentFontPath, the
    // source of a make and DestinationFolder.
    // Held apart so that the window's declaration does not pull in the core.
    std::unique_ptr<qm::session::FontSession> session_;
    qm::platform::SystemFolders folders_; // where WindowsFolder and SystemFolder come from
    QString programFolder_;               // the folder looked in first for the viewer
    QCursor HandCursor;                   // "MYPOINTER", cursor 50
    QString WindowsFolder;
    QString SystemFolder;
    QString AllChars;
    QString TemporaryFontPath;
    QString MyOK, MyOhOh, MyTick, MyTock, MyGoodbye, MyDing, MyTaDa, MyChimes, MyOpen, MyClose;

    // ---- app/ -----------------------------------------------------------------------------
    void connectHandlers();
    void FormCreate();
    void FormClose();
    void VersionReminder();
    // Shows the settings failures the user has not been shown yet in this run, in one box.
    void showSettingsFailures(const QStringList& failures);
    QStringList settingsFailuresShown_;
    void WinRollerRoller(int mode);
    void PlayCue(const QString& cue);
    void PlayCue(qm::session::Cue cue);
    // A success or refusal not heard (sound off, or no sound device) is seen instead: the
    // counter shows a word for a moment, then the count again.
    void flashStatus(const QString& word);
    QTimer* statusFlash_ = nullptr; // made at the first flash
    QString fontTotal_;             // the count the counter shows when no word flashes
    // A session step's outcome as the window shows it: the font forgotten, the cue, the box or
    // the red panel.
    void showOutcome(const qm::session::Outcome& outcome);
    void C_AllowSoundsClick();
    void C_ShowHelpClick();
    void B_WhatsNewClick();
    void B_WhatsNewCloseClick();
    void B_HelpClick();
    void B_HelpCloseClick();
    void LB_WarnMaskClick();
    void LB_WarningOffClick();
    void B_AdvancedClick();
    void B_SetFolderClick();
    void B_SetFolderCancelClick();
    void B_ViewPrintClick();
    // Runs a handler; whatever it lets escape is shown in the "Error" box.
    template <class F> void guarded(F&& handler);

    // ---- the keyboard ---------------------------------------------------------------------
    // Tab order, Escape for the panels, the access keys and the focus frame; the constructor
    // calls it once, after the browser and the naming boxes are connected.
    void connectKeyboard();
    void addRollToWindowMenu();
    qm::app::KeyboardAccess* keyboard_ = nullptr;

    // ---- the browser ----------------------------------------------------------------------
    // Makes the browser panel of drive box, folder list, file list and file-name box, and
    // connects its folder and font choices and the strip's scrolling. The constructor calls it
    // once, after the layout and before FormCreate.
    void connectBrowser();
    qm::browse::BrowsePanel* browse_ = nullptr;
    void D_DirChange(const QString& folder);
    void ShowFontTotal();
    // The file chosen in the browser (D_FileMouseUp, D_FileKeyUp) or opened.
    void LoadSelectedFont(const QString& path);
    // Registers the read font and shows its characters and names; raises std::runtime_error
    // when the system refuses to set it up.
    void showLoadedFont(const QString& path);
    void acceptFontDrops(); // the window takes a dropped file, its edit boxes never do
    void SB_All256CharsScroll();
    void AddTemporaryFont(const QString& path);
    void RemoveTemporaryFont(const QString& path);
    void setUpCharacterStrip(); // FormCreate step 14: AllChars, the strip's font, range, "065"
    // The strip label's face: the registered file's own, size 30, with the bold and italic flags.
    void setStripFace(const QString& path);
    std::shared_ptr<qm::platform::AppFonts> temporaryFonts_; // the app-only registrations
    qm::browse::StripPainter* stripPainter_ =
        nullptr; // draws LB_All256Chars in the loaded file's glyphs

    // ---- the naming boxes -----------------------------------------------------------------
    void connectNaming(); // naming panel, key preview, destination box clicks
    qm::naming::NamingPanel* naming_ = nullptr;
    qm::naming::KeyPreview* keyPreview_ = nullptr;
    bool FormKeyPress(QLineEdit* box, QChar key); // true: the key is swallowed
    void E_FamilyNameExit();
    void DeriveNames();
    void ShowFontNames();
    void ResetFontDisplay();
    void B_CreateFontNowClick();
    void B_MakeFontClick();
    void B_CancelMakeClick();
    void B_RestoreNamesClick();
    bool restoring_ = false; // a second press while the first waits for the display is ignored

    // One member per control of app/MainControls.def, named and typed as its row; the layout
    // makes the controls and sets these.
#define QM_CONTROL(kind, name, ...)                                                                \
    qm::app::ControlClass<qm::app::ControlKind::kind>* name = nullptr;
#include "app/MainControls.def"
#undef QM_CONTROL
    friend void qm::app::buildMainLayout(TFrmMain& form);
    friend void qm::app::applyHandCursor(TFrmMain& form, const QCursor& cursor);

    // One member per component of app/MainComponents.def, in the documented order.
#define QM_COMPONENT(type, name) type* name = nullptr;
#include "app/MainComponents.def"
#undef QM_COMPONENT
};

#include "app/ErrorDisplay.h"

template <class F> void TFrmMain::guarded(F&& handler) {
    qm::app::runGuarded(this, std::forward<F>(handler));
}
