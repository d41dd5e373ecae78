#pragma once
// TFrmMain: the one main window. Its state is declared here, its controls in
// app/MainControls.def; its handlers
// are defined in the folder of the subsystem they belong to:
//   app/     FormCreate, FormClose, version reminder, cues, information panels, destination
//            folder, "View / Print", the general error display
//   browse/  folder browsing and count, loading a font, the character strip, the temporary
//            registration
//   naming/  the naming boxes and the key filter, derived names, make a new font, restore

#include "app/ControlKind.h"
#include "core/FontReader.h"
#include "platform/Folders.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <memory>

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QListWidget;

class TBalloonHint;
class TMSOfficeCaption;
class TWinRoller;

class TAppExec;
class TPlayerWave;
class TRegFile;

class TStripPainter;
namespace qm::platform {
class AppFonts;
} // namespace qm::platform

class THintSwitch;

namespace qm::platform {
class RegistryStore;
class SoundPlayer;
} // namespace qm::platform

// What the window takes from the machine. Empty members mean the real thing; tests hand in
// their own settings folder, a recording sound player, their own "Windows" and program folders.
struct TFrmMainSetup {
    std::shared_ptr<qm::platform::RegistryStore> Registry; // null: the user's settings folder
    std::shared_ptr<qm::platform::SoundPlayer> Sound;      // null: the default sound output
    qm::platform::SystemFolders Folders;                   // "/usr/share" and "/usr/bin"
    QString ProgramFolder;                                 // empty: the running program's
};

class TFrmMain : public QWidget {
    Q_OBJECT

public:
    // Builds the layout and runs FormCreate, which shows the window.
    explicit TFrmMain(QWidget* parent = nullptr, TFrmMainSetup setup = {});
    ~TFrmMain() override;

    // ---- Program-wide state kept beside the window ----------------------------------------
    FontRead Font; // the last read: FontNames, ReadFailed, ErrorText, IsRenamed
    qm::platform::SystemFolders Folders; // where WindowsFolder and SystemFolder come from
    QString ProgramFolder;               // the folder looked in first for the viewer
    QCursor HandCursor;                  // "MYPOINTER", cursor 50
    QString WindowsFolder;
    QString SystemFolder;
    QString DestinationFolder;
    QString AllChars;
    QString TemporaryFontPath;
    QString MyOK, MyOhOh, MyTick, MyTock, MyGoodbye, MyDing, MyTaDa, MyChimes, MyOpen, MyClose;

    // ---- app/ -----------------------------------------------------------------------------
    void FormCreate();
    void FormClose();
    void VersionReminder();
    static int DayNumber(const QString& date);
    static int TodayNumber();
    // The layout is in Qt's device-independent pixels, which Qt maps to the screen for every
    // control alike: the overlays are placed for the layout's own density, never the screen's.
    static constexpr int LayoutPixelsPerInch = 96;
    static int ScaleToScreen(int v, int pixelsPerInch = LayoutPixelsPerInch);
    void WinRollerRoller(int mode);
    void PlayCue(const QString& cue);
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
    template <class F> void Guarded(F&& handler);

    // ---- browse/ --------------------------------------------------------------------------
    void D_DirChange();
    void ShowFontTotal();
    void D_FileMouseUp();
    void D_FileKeyUp(int key);
    void LoadSelectedFont();
    void LoadFontAt(const QString& path); // LoadSelectedFont from the path it has built on
    // "Open with" and a file dropped on the window: the file's folder is browsed and the file
    // selected and loaded as a click in the file list would.
    void OpenFontFile(const QString& path);
    void AcceptFontDrops(); // the window takes a dropped file, its edit boxes never do
    void SB_All256CharsScroll();
    void AddTemporaryFont(const QString& path);
    void RemoveTemporaryFont(const QString& path);
    void SetUpCharacterStrip(); // FormCreate step 14: AllChars, the strip's font, range, "065"
    // Links drive box, folder list, file list and file-name box, and connects the browser's own
    // events (list mouse and key releases, folder change, strip scrolling). The constructor
    // calls it once, after the layout and before FormCreate.
    void ConnectBrowser();
    // The strip label's face: the registered file's own, size 30, with the bold and italic flags.
    void SetStripFace(const QString& path);
    std::shared_ptr<qm::platform::AppFonts> TemporaryFonts; // the app-only registrations
    TStripPainter* StripPainter = nullptr; // draws LB_All256Chars in the loaded file's glyphs

    // ---- naming/ --------------------------------------------------------------------------
    bool FormKeyPress(QLineEdit* box, QChar key); // true: the key is swallowed
    void E_FamilyNameExit();
    void DeriveNames();
    void ShowFontNames();
    void StoreFontNames();
    void ResetFontDisplay();
    void B_CreateFontNowClick();
    void B_MakeFontClick();
    void B_CancelMakeClick();
    void B_RestoreNamesClick();
    void ConnectNaming(); // key preview, name-box exits, destination box clicks

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ConnectHandlers();

    // One member per control of app/MainControls.def, named and typed as its row; the layout
    // makes the controls and sets these.
#define QM_CONTROL(kind, name, ...) ControlClass<ControlKind::kind>* name = nullptr;
#include "app/MainControls.def"
#undef QM_CONTROL
    friend void buildMainLayout(TFrmMain& form);

    // ---- Components -----------------------------------------------------------------------
    TPlayerWave* Sound = nullptr;
    TBalloonHint* BalloonHint1 = nullptr;
    TRegFile* Reg = nullptr;
    TAppExec* AppExec = nullptr;
    TWinRoller* WinRoller = nullptr;
    TMSOfficeCaption* TitleBar = nullptr;
    THintSwitch* Hints = nullptr; // the application-wide hint switch and timing
};

#include "app/ErrorDisplay.h"

template <class F> void TFrmMain::Guarded(F&& handler) {
    runGuarded(this, std::forward<F>(handler));
}
