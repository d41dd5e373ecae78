#pragma once
// TFrmMain: the one main window. Its controls and state are declared here once; its handlers
// are defined in the folder of the subsystem they belong to:
//   app/     FormCreate, FormClose, version reminder, cues, information panels, destination
//            folder, "View / Print", the general error display
//   browse/  folder browsing and count, loading a font, the character strip, the temporary
//            registration
//   naming/  the naming boxes and the key filter, derived names, make a new font, restore

#include "core/FontReader.h"
#include "platform/Folders.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <memory>

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QScrollBar;

class TBWCCCheckBox;
class TColorButton;
class TDRLabel;
class TFileLabel;
class TFlashingLabel;
class TLCDLabel;
class TMyFontImage;

class TBalloonHint;
class TMSOfficeCaption;
class TWinRoller;

class TAppExec;
class TPlayerWave;
class TRegFile;

class TDriveComboBox;
class TDirectoryListBox;
class TFileListBox;
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

    // ---- Window, title artwork, options ---------------------------------------------------
    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    TMyFontImage* MyFontImage1 = nullptr;
    TMyFontImage* MyFontImage2 = nullptr;
    QLabel* Label9 = nullptr;
    QFrame* Bevel1 = nullptr;
    TDRLabel* DRLabel1 = nullptr;
    TBWCCCheckBox* C_AllowSounds = nullptr;
    TBWCCCheckBox* C_ShowHelp = nullptr;

    // ---- Current-font bar -----------------------------------------------------------------
    QFrame* P_FileName = nullptr;
    TFileLabel* LB_CurrentFont = nullptr;
    TFileLabel* D_FilePath = nullptr; // never visible: the current path
    TColorButton* B_WhatsNew = nullptr;

    // ---- Naming fields --------------------------------------------------------------------
    QFrame* P_Edits = nullptr;
    QLineEdit* E_FamilyName = nullptr;
    QLineEdit* E_Style = nullptr;
    QLineEdit* E_FullName = nullptr;
    QLineEdit* E_Version = nullptr;
    QLineEdit* E_FontID = nullptr;
    QLineEdit* E_Postscript = nullptr;
    QLineEdit* E_Copyright = nullptr;
    QLineEdit* E_TradeMark = nullptr;

    // ---- Button rows ----------------------------------------------------------------------
    QFrame* Panel11 = nullptr;
    QFrame* Panel12 = nullptr;
    QFrame* Panel13 = nullptr;
    QFrame* Panel14 = nullptr;
    TColorButton* B_CreateFontNow = nullptr;
    TColorButton* B_RestoreNames = nullptr;
    TColorButton* B_Help = nullptr;
    TColorButton* B_ViewPrint = nullptr;
    TColorButton* B_Advanced = nullptr;

    // ---- Font folder panel ----------------------------------------------------------------
    QFrame* P_FontFolder = nullptr;
    TLCDLabel* LCD_FontTotal = nullptr;
    TFileListBox* D_File = nullptr;
    QFrame* P_DestinationFile = nullptr;
    QLabel* Label28 = nullptr;
    TFileLabel* LB_DestinationFile = nullptr;
    TDriveComboBox* D_Drive = nullptr;
    TDirectoryListBox* D_Dir = nullptr;

    // ---- Character strip ------------------------------------------------------------------
    QFrame* P_All256Chars = nullptr;
    QLabel* LB_All256Chars = nullptr;
    QScrollBar* SB_All256Chars = nullptr;
    QLabel* P_Scroll256 = nullptr;

    // ---- Error panel ----------------------------------------------------------------------
    QFrame* P_FontError = nullptr;
    TFileLabel* LB_FontFileError = nullptr;
    QLabel* LB_FontError = nullptr;

    // ---- Create-new-font panel ------------------------------------------------------------
    QFrame* P_MakeFont = nullptr;
    TColorButton* B_MakeFont = nullptr;
    TColorButton* B_CancelMake = nullptr;
    QLineEdit* D_FileName = nullptr;

    // ---- Advanced panel (destination folder) ----------------------------------------------
    QFrame* P_Advanced = nullptr;
    TColorButton* B_SetFolder = nullptr;
    TColorButton* B_SetFolderCancel = nullptr;

    // ---- Information panels ---------------------------------------------------------------
    QFrame* P_WhatsNew = nullptr;
    TColorButton* B_WhatsNewClose = nullptr;
    QPlainTextEdit* M_WhatsNew = nullptr;
    QFrame* P_Help = nullptr;
    TMyFontImage* MyFontImage3 = nullptr;
    TMyFontImage* MyFontImage4 = nullptr;
    TMyFontImage* MyFontImage5 = nullptr;
    TColorButton* B_HelpClose = nullptr;
    TFlashingLabel* LB_Warning = nullptr;
    QLabel* LB_WarnMask = nullptr;
    QFrame* P_Warning = nullptr;
    QLabel* LB_WarningOff = nullptr;

    // ---- Components -----------------------------------------------------------------------
    TPlayerWave* Sound = nullptr;
    TBalloonHint* BalloonHint1 = nullptr;
    TRegFile* Reg = nullptr;
    TAppExec* AppExec = nullptr;
    TWinRoller* WinRoller = nullptr;
    TMSOfficeCaption* TitleBar = nullptr;
    THintSwitch* Hints = nullptr; // the application-wide hint switch and timing

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
};

#include "app/ErrorDisplay.h"

template <class F> void TFrmMain::Guarded(F&& handler) {
    runGuarded(this, std::forward<F>(handler));
}
