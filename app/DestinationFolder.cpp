// The fixed destination folder: " Advanced", "SET", "CANCEL" and the clickable destination box.

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/PathLabel.h"
#include "platform/FileNames.h"
#include "session/FontSession.h"

#include <QFrame>

void TFrmMain::B_AdvancedClick() {
    PlayCue(MyDing);
    P_Advanced->show();
}

void TFrmMain::B_SetFolderClick() {
    PlayCue(MyOK);
    P_Advanced->hide();
    session_->fixDestination();
    LB_DestinationFile->setFileName(qm::platform::fileNameText(session_->destinationFolder()));
}

void TFrmMain::B_SetFolderCancelClick() {
    PlayCue(MyOK);
    session_->followBrowsing();
    LB_DestinationFile->setFileName(qm::platform::fileNameText(session_->browsedFolder()));
    P_Advanced->hide();
}
