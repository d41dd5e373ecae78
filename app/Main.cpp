#include "app/Main.h"

#include "app/AppExec.h"
#include "app/ClickCatcher.h"
#include "app/HideWatcher.h"
#include "app/HintSwitch.h"
#include "app/KeyboardAccess.h"
#include "app/MainLayout.h"
#include "app/ReaderControls.h"
#include "app/RegFiles.h"
#include "app/WavePlay.h"
#include "app/WindowAccessible.h"
#include "browse/BrowsePanel.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/PathLabel.h"
#include "controls/SystemColors.h"
#include "controls/WindowRoller.h"
#include "naming/KeyPreview.h"
#include "naming/NamingPanel.h"
#include "platform/AppFonts.h"
#include "session/FontSession.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>

using qm::app::buildMainLayout;
using qm::app::ClickCatcher;
using qm::app::HideWatcher;
using qm::app::MainWindowSetup;
using qm::app::runGuarded;
using qm::controls::defaultUiFont;

namespace {

// A component as the window makes it: most take only their owner, the two that reach the
// machine also what the setup hands in for it.
template <class T> T* newComponent(TFrmMain* owner, MainWindowSetup&) {
    return new T(owner);
}
template <> TPlayerWave* newComponent<TPlayerWave>(TFrmMain* owner, MainWindowSetup& setup) {
    return new TPlayerWave(owner, std::move(setup.sound));
}
template <> TRegFile* newComponent<TRegFile>(TFrmMain* owner, MainWindowSetup& setup) {
    return new TRegFile(owner, std::move(setup.registry));
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent, MainWindowSetup setup)
    : QWidget(parent), session_(std::make_unique<qm::session::FontSession>()),
      folders_(std::move(setup.folders)),
      temporaryFonts_(setup.fonts ? std::move(setup.fonts)
                                  : std::make_shared<qm::platform::AppFonts>()) {
    setObjectName(QStringLiteral("FrmMain"));
    // One fixed-size window: the client area the layout was drawn for, on black.
    setFixedSize(621, 432);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qm::controls::classic::black());
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(defaultUiFont());

    programFolder_ = setup.programFolder.isEmpty() ? qm::platform::programFolder()
                                                   : std::move(setup.programFolder);
    buildMainLayout(*this);
    // Names cut to fit show whole as tooltips.
    LB_CurrentFont->setFullNameTip(true);
    LB_FontFileError->setFullNameTip(true);
    // Both switches start on, as designed; the stored settings change them in FormCreate.
    C_AllowSounds->setChecked(true);
    C_ShowHelp->setChecked(true);

    // The components, in their documented order. The caption bar comes once the layout is
    // built: it makes the window frameless and moves what the window holds below its caption.
#define QM_COMPONENT(type, name)                                                                   \
    name = newComponent<type>(this, setup);                                                        \
    name->setObjectName(QStringLiteral(#name));
#include "app/MainComponents.def"
#undef QM_COMPONENT
    Sound->setLoop(false);
    Sound->setAsync(true);
    AppExec->setChangeDir(false); // the viewer starts in this program's current folder
    AppExec->setWait(false);
    AppExec->setWindowState(TAppExec::wsNormal);
    WinRoller->setEnabled(true);
    connect(WinRoller, &TWinRoller::OnRoller, this,
            [this](QObject*, int mode) { guarded([this, mode] { WinRollerRoller(mode); }); });
    TitleBar->AppNameText()->setFontKind(fkSystemB);
    TitleBar->CaptionText()->setFontKind(fkSystem);
    TitleBar->CompanyText()->setFontKind(fkSystemBI);

    connectHandlers();
    connectBrowser();
    connectNaming();
    connectKeyboard();
    qm::app::nameControlsForReaders(*this);

    if (!runGuarded(this, [this] { FormCreate(); })) {
        // Start-up stopped early: the window still appears as far as it was set up.
        show();
    }
}

TFrmMain::~TFrmMain() {
    // The boxes still lose the focus while the widgets go: by then nothing may call this window.
    delete keyPreview_;
    delete keyboard_;
    if (naming_)
        naming_->disconnect(this);
    if (browse_)
        browse_->disconnect(this);
}

void TFrmMain::connectHandlers() {
    // The browser's own events (folder change, list mouse and key releases) and the naming
    // boxes' (key preview, focus out, the destination box clicks) are attached by
    // connectBrowser and connectNaming.
    const std::pair<TColorButton*, void (TFrmMain::*)()> buttons[] = {
        {B_WhatsNew, &TFrmMain::B_WhatsNewClick},
        {B_WhatsNewClose, &TFrmMain::B_WhatsNewCloseClick},
        {B_Help, &TFrmMain::B_HelpClick},
        {B_HelpClose, &TFrmMain::B_HelpCloseClick},
        {B_CreateFontNow, &TFrmMain::B_CreateFontNowClick},
        {B_RestoreNames, &TFrmMain::B_RestoreNamesClick},
        {B_ViewPrint, &TFrmMain::B_ViewPrintClick},
        {B_Advanced, &TFrmMain::B_AdvancedClick},
        {B_SetFolder, &TFrmMain::B_SetFolderClick},
        {B_SetFolderCancel, &TFrmMain::B_SetFolderCancelClick},
        {B_MakeFont, &TFrmMain::B_MakeFontClick},
        {B_CancelMake, &TFrmMain::B_CancelMakeClick},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &TColorButton::clicked, this,
                [this, h = handler] { guarded([&] { (this->*h)(); }); });

    connect(C_AllowSounds, &TBWCCCheckBox::clicked, this,
            [this] { guarded([this] { C_AllowSoundsClick(); }); });
    connect(C_ShowHelp, &TBWCCCheckBox::clicked, this,
            [this] { guarded([this] { C_ShowHelpClick(); }); });
    connect(SB_All256Chars, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { SB_All256CharsScroll(); }); });
    new ClickCatcher(LB_WarnMask, [this] { guarded([this] { LB_WarnMaskClick(); }); });
    new ClickCatcher(LB_WarningOff, [this] { guarded([this] { LB_WarningOffClick(); }); });
    // Closing help, loading a font or any later path that hides the panel gives "HELP" back.
    new HideWatcher(P_Help, [this] { B_Help->setEnabled(true); });
}

void TFrmMain::connectKeyboard() {
    // The labels that act as buttons take Space and Enter through their click catchers.
    for (QWidget* label :
         std::initializer_list<QWidget*>{LB_WarnMask, LB_WarningOff, LB_DestinationFile})
        label->setFocusPolicy(Qt::TabFocus);
    M_WhatsNew->setTabChangesFocus(true);
    // The window top to bottom, then the panels that open over it. Tab reaches every control a
    // click can operate; one the mouse cannot focus (a button) is not focused by it now either.
    QWidget* const order[] = {
        SB_All256Chars, C_AllowSounds,      C_ShowHelp,
        B_WhatsNew,     E_FamilyName,       E_Style,
        E_Version,      E_FontID,           E_Copyright,
        E_TradeMark,    B_CreateFontNow,    B_RestoreNames,
        B_Help,         B_ViewPrint,        B_Advanced,
        D_File,         LB_DestinationFile, D_Drive,
        D_Dir,          D_FileName,         B_MakeFont,
        B_CancelMake,   LB_WarnMask,        LB_WarningOff,
        B_HelpClose,    M_WhatsNew,         B_WhatsNewClose,
        B_SetFolder,    B_SetFolderCancel,
    };
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        w->setFocusPolicy(Qt::FocusPolicy(w->focusPolicy() | Qt::TabFocus));
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }

    keyboard_ = new qm::app::KeyboardAccess(this);
    for (QWidget* w : order)
        keyboard_->watchKeys(w);
    const auto handler = [this](void (TFrmMain::*h)()) {
        return [this, h] { guarded([this, h] { (this->*h)(); }); };
    };
    // Topmost first: the warning lies on the help panel, which lies on all the others.
    keyboard_->addPanel(P_Warning, B_HelpClose, handler(&TFrmMain::LB_WarningOffClick));
    keyboard_->addPanel(P_Help, B_Help, handler(&TFrmMain::B_HelpCloseClick));
    keyboard_->addPanel(P_WhatsNew, B_WhatsNew, handler(&TFrmMain::B_WhatsNewCloseClick));
    keyboard_->addPanel(P_MakeFont, B_CreateFontNow, handler(&TFrmMain::B_CancelMakeClick));
    // Its CANCEL stops using the fixed folder; Escape only closes the panel.
    keyboard_->addPanel(P_Advanced, B_Advanced, [this] { P_Advanced->hide(); });
    const std::pair<char, TColorButton*> keys[] = {
        {'C', B_CreateFontNow}, {'R', B_RestoreNames}, {'H', B_Help},     {'V', B_ViewPrint},
        {'A', B_Advanced},      {'W', B_WhatsNew},     {'M', B_MakeFont}, {'S', B_SetFolder},
    };
    for (const auto& [letter, button] : keys)
        keyboard_->addAccessKey(letter, button);
    addRollToWindowMenu();
    // The window opens with the family box ready for typing, as before there were more stops.
    E_FamilyName->setFocus();
}

void TFrmMain::addRollToWindowMenu() {
    // The roller's caption button takes no keys; the window menu (Alt+Space) rolls instead.
    QMenu* menu = TitleBar->systemMenu();
    const QList<QAction*> entries = menu->actions();
    auto* roll = new QAction(menu);
    roll->setObjectName(QStringLiteral("SystemMenuRoll"));
    const auto name = [this, roll](bool up) {
        roll->setText(up ? QStringLiteral("Roll &Down") : QStringLiteral("Roll &Up"));
        // A reader reads the caption button by this entry's name.
        if (QAccessible::isActive()) {
            QAccessibleEvent renamed(WinRoller->button(), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&renamed);
        }
    };
    name(WinRoller->Roller());
    // After Minimize, before the separator and Close.
    menu->insertAction(entries.size() > 1 ? entries.at(1) : nullptr, roll);
    connect(roll, &QAction::triggered, WinRoller,
            [this] { WinRoller->setRoller(!WinRoller->Roller()); });
    connect(WinRoller, &TWinRoller::rollerChanged, roll, name);
    connect(WinRoller, &TWinRoller::enabledChanged, roll, &QAction::setEnabled);
    roll->setEnabled(WinRoller->Enabled());
}

bool TFrmMain::focusNextPrevChild(bool next) {
    QWidget* to = qm::app::nextTabStop(this, focusWidget(), next);
    if (to == nullptr)
        return false;
    to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

int TFrmMain::ScaleToScreen(int v, int pixelsPerInch) {
    if (pixelsPerInch == 96)
        return v;
    return static_cast<int>(v * 1.2299);
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    // Whatever stops the shutdown is shown; nothing keeps the user from quitting.
    runGuarded(this, [this] { FormClose(); });
    event->accept();
}
