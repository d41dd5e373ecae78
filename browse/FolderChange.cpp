// The browser's folder change and the count of TrueType files on the dot-matrix counter.

#include "app/Main.h"
#include "browse/CharacterStrip.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"
#include "core/NamingRules.h"
#include "platform/AppFonts.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using qm::platform::fileNameBytes;
using qm::platform::fileNameText;

void TFrmMain::connectBrowser() {
    stripPainter_ = new qm::browse::StripPainter(LB_All256Chars);

    acceptFontDrops();
    D_File->setFileEdit(D_FileName);
    D_Dir->setFileList(D_File);
    D_Drive->setDirList(D_Dir);

    connect(D_Dir, &DirectoryListBox::directoryChanged, this,
            [this] { guarded([this] { D_DirChange(); }); });
    connect(D_File, &FileListBox::mouseReleased, this,
            [this] { guarded([this] { D_FileMouseUp(); }); });
    connect(D_File, &FileListBox::keyReleased, this,
            [this](int key) { guarded([this, key] { D_FileKeyUp(key); }); });
    // Each new position reaches SB_All256CharsScroll through the window's own connection;
    // the end of a drag is a notification of its own.
    connect(SB_All256Chars, &QScrollBar::sliderReleased, this,
            [this] { guarded([this] { SB_All256CharsScroll(); }); });
}

void TFrmMain::D_DirChange() {
    // 1. The first run, at start, is silent.
    if (isVisible())
        PlayCue(MyTick);
    // 2. No file is chosen in the new folder yet.
    D_FileName->clear();
    // 3. and 4. The current path is the folder, ending in "/"; the save-to label shows the
    //    fixed destination folder, else the browsed one.
    const std::string saveTo = session_.browse(fileNameBytes(D_Dir->directory()));
    D_FilePath->setFileName(qm::platform::pathCase(fileNameText(session_.currentPath())));
    LB_DestinationFile->setFileName(fileNameText(saveTo));
    // 6. The counter shows the new folder's fonts.
    ShowFontTotal();
}

void TFrmMain::ShowFontTotal() {
    const auto caption = fontTotalCaption(static_cast<std::size_t>(D_File->count()));
    LCD_FontTotal->setCaption(QString::fromStdString(caption));
}
