// The fixed destination folder: " Advanced", "SET", "CANCEL" and the clickable destination box.

#include "app/Main.h"
#include "browse/DirectoryListBox.h"
#include "controls/PathLabel.h"

#include <QFrame>

namespace {

// The folder list's folder as the program keeps folders: ending in "/".
QString browsedFolder(const DirectoryListBox& list) {
    QString folder = list.directory();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return qm::platform::pathCase(folder);
}

} // namespace

void TFrmMain::B_AdvancedClick() {
    PlayCue(MyDing);
    P_Advanced->show();
}

void TFrmMain::B_SetFolderClick() {
    PlayCue(MyOK);
    P_Advanced->hide();
    DestinationFolder = browsedFolder(*D_Dir);
    LB_DestinationFile->setFileName(DestinationFolder);
}

void TFrmMain::B_SetFolderCancelClick() {
    PlayCue(MyOK);
    DestinationFolder.clear();
    LB_DestinationFile->setFileName(browsedFolder(*D_Dir));
    P_Advanced->hide();
}
