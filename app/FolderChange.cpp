// The browser's folder change and the count of TrueType files on the dot-matrix counter.

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "browse/BrowsePanel.h"
#include "browse/CharacterStrip.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"
#include "core/NamingRules.h"
#include "platform/AppFonts.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"
#include "session/FontSession.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

using qm::platform::fileNameBytes;
using qm::platform::fileNameText;

void TFrmMain::connectBrowser() {
    stripPainter_ = new qm::browse::StripPainter(LB_All256Chars);

    acceptFontDrops();
    browse_ = new qm::browse::BrowsePanel(D_Drive, D_Dir, D_File, D_FileName, this);
    connect(browse_, &qm::browse::BrowsePanel::folderChosen, this,
            [this](const QString& folder) { guarded([&] { D_DirChange(folder); }); });
    connect(browse_, &qm::browse::BrowsePanel::fontChosen, this,
            [this](const QString& path) { guarded([&] { LoadSelectedFont(path); }); });
    // Each new position reaches SB_All256CharsScroll through the window's own connection;
    // the end of a drag is a notification of its own.
    connect(SB_All256Chars, &QScrollBar::sliderReleased, this,
            [this] { guarded([this] { SB_All256CharsScroll(); }); });
}

void TFrmMain::D_DirChange(const QString& folder) {
    // 1. The first run, at start, is silent.
    if (isVisible())
        PlayCue(MyTick);
    // 2. No file is chosen in the new folder yet: the browser has emptied its box.
    // 3. and 4. The current path is the folder, ending in "/"; the save-to label shows the
    //    fixed destination folder, else the browsed one.
    const std::string saveTo = session_->browse(fileNameBytes(folder));
    D_FilePath->setFileName(qm::platform::pathCase(fileNameText(session_->currentPath())));
    LB_DestinationFile->setFileName(fileNameText(saveTo));
    // 6. The counter shows the new folder's fonts.
    ShowFontTotal();
}

void TFrmMain::ShowFontTotal() {
    const auto caption = fontTotalCaption(static_cast<std::size_t>(browse_->fontCount()));
    fontTotal_ = QString::fromStdString(caption);
    // A word on show stays its moment; the new count follows it.
    if (!statusFlash_ || !statusFlash_->isActive())
        LCD_FontTotal->setCaption(fontTotal_);
}
