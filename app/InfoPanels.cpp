// The what's-new panel, the help panel with its copyright warning, and the "Help On" switch.

#include "app/HintSwitch.h"
#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/FlashingLabel.h"

#include <QFrame>
#include <QLabel>

void TFrmMain::B_WhatsNewClick() {
    PlayCue(MyOpen);
    B_WhatsNew->setEnabled(false);
    P_All256Chars->hide();
    P_FontError->hide();
    P_WhatsNew->show();
}

void TFrmMain::B_WhatsNewCloseClick() {
    PlayCue(MyClose);
    P_WhatsNew->hide();
    B_WhatsNew->setEnabled(true);
}

void TFrmMain::B_HelpClick() {
    PlayCue(MyOpen);
    B_Help->setEnabled(false);
    LB_Warning->setFlashing(true);
    LB_Warning->show();
    LB_WarnMask->show();
    P_All256Chars->hide();
    P_FontError->hide();
    P_Help->show();
}

void TFrmMain::B_HelpCloseClick() {
    PlayCue(MyClose);
    P_Help->hide();
    B_Help->setEnabled(true);
}

void TFrmMain::LB_WarnMaskClick() {
    P_Warning->show();
    LB_Warning->setFlashing(false);
    LB_Warning->hide();
    LB_WarnMask->hide();
    PlayCue(MyOpen);
}

void TFrmMain::LB_WarningOffClick() {
    P_Warning->hide();
    PlayCue(MyClose);
}

void TFrmMain::C_ShowHelpClick() {
    PlayCue(MyTock);
    Hints->setShowHint(C_ShowHelp->checked());
}
