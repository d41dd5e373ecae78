// "Create New Font Now", "MAKE FONT" and "CANCEL": from the edited names to a new font file.

#include "app/BusyCursor.h"
#include "app/Main.h"
#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "controls/ColorButton.h"
#include "controls/MessageBox.h"
#include "controls/PathLabel.h"
#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/NamingRules.h"
#include "core/RenamedFontWriter.h"
#include "naming/AnsiText.h"
#include "platform/FileNames.h"

#include <QFrame>
#include <QLineEdit>

using qm::naming::fromFilePath;
using qm::naming::toFilePath;

namespace {

const char* const kNothingToCreateText = "Nothing to create.\r"
                                         "\r"
                                         "Select a TrueType font file,\r"
                                         "make your changes then click this\r"
                                         "button again to create new font file.";

const char* const kBadFileNameText = "A TrueType font file name\r"
                                     "can be up to 8 characters,\r"
                                     "plus an extension of \".TTF\".\r"
                                     "\r"
                                     "Please use a different file name.";

const char* const kFileExistsText = "A TrueType font file with this name\r"
                                    "already exists.\r"
                                    "\r"
                                    "Please use a different file name.";

} // namespace

void TFrmMain::B_CreateFontNowClick() {
    // 1. The tock of a press.
    PlayCue(MyTock);
    // 2. Nothing is loaded: nothing to copy.
    if (D_FilePath->fileName().isEmpty()) {
        PlayCue(MyDing);
        showInformation(this, kNothingToCreateText);
        return;
    }
    // 3. Open the panel and lock the list: a click in it now loads nothing.
    P_MakeFont->show();
    D_File->setLocked(true);
    D_File->clearSelection();
    D_FileName->clear();
    D_FileName->setFocus();
}

void TFrmMain::B_CancelMakeClick() {
    PlayCue(MyTock);
    D_File->setLocked(false, D_FileName);
    P_MakeFont->hide();
}

void TFrmMain::B_MakeFontClick() {
    // 1. The typed name in upper case.
    // Only A to Z change: UTF-8 bytes of other letters are never ASCII.
    const QString typed = QString::fromStdString(upperCaseAscii(D_FileName->text().toStdString()));
    D_FileName->setText(typed);
    // 2. A folder part can only arrive by pasting; the new file goes into the chosen folder only.
    const std::string typedName = toFilePath(typed);
    if (!isValidNewFontName(typedName) || typed.contains(u'/')) {
        PlayCue(MyDing);
        showInformation(this, kBadFileNameText);
        return;
    }
    // 3. Only the new file's own name changes case, never its folder.
    const QString folder = !DestinationFolder.isEmpty() ? DestinationFolder : D_Dir->directory();
    const QString newPath =
        qm::platform::pathCase(fromFilePath(composeNewFontPath(toFilePath(folder), typedName)));
    // 4. This also keeps the source safe when its own name is chosen in its own folder.
    // Anything at the path counts, even a dangling link: the new file is never put in its place.
    if (qm::platform::pathIsTaken(newPath)) {
        PlayCue(MyOhOh);
        showError(this, kFileExistsText);
        return;
    }
    // 5. The tock, and the busy cursor while the copy is made.
    PlayCue(MyTock);
    BusyCursor busy;
    // 6. The source is the font on show.
    const std::string sourcePath = toFilePath(LB_CurrentFont->fileName());
    // 7. The new file becomes the current path.
    const QString previousPath = D_FilePath->fileName();
    D_FilePath->setFileName(qm::platform::pathCase(newPath));
    // 8. and 9. The names derived and stored as the boxes show them. The source must still
    //    read as the names the boxes were filled from; a box left as it was keeps the source's
    //    own records.
    const ::FontNames shown = Font.FontNames;
    DeriveNames();
    StoreFontNames();
    // 10. The writer publishes a finished, verified copy or nothing; after a failure the
    //     current path must not name the new file, nor the record hold names never written.
    const auto undo = [&] {
        D_FilePath->setFileName(previousPath);
        Font.FontNames = shown;
    };
    try {
        // The record then holds the names the new file reads as, for a copy made from it.
        Font.FontNames =
            WriteRenamedFont(sourcePath, toFilePath(newPath), Font.FontNames, namesAsRead(shown));
    } catch (const EInOutError& error) {
        undo();
        // Another program took the name meanwhile: as in step 4.
        if (error.errnoValue() == EEXIST) {
            PlayCue(MyOhOh);
            showError(this, kFileExistsText);
            return;
        }
        // The error box, as for any failed write, naming the folder that refused.
        showError(this, QString::fromUtf8(error.what()) + u'\r' + folder);
        return;
    } catch (...) {
        undo();
        throw;
    }
    // 11. The new file is the current font.
    LB_CurrentFont->setFileName(qm::platform::pathCase(newPath));
    // 12. The list shows the new file; it can be restored.
    D_File->reread();
    B_RestoreNames->setEnabled(true);
    // 13. The success cue.
    PlayCue(MyOK);
    // 14. The counter counts the new file.
    ShowFontTotal();
    // 15. The busy cursor goes with `busy`.
    D_File->setLocked(false, D_FileName);
    P_MakeFont->hide();
}
