// "Restore Original Font Names": swaps a renamed font's two name tables in place.

#include "app/Main.h"
#include "controls/ColorButton.h"
#include "controls/MessageBox.h"
#include "controls/PathLabel.h"
#include "core/FontFile.h"
#include "naming/AnsiText.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

const char* const NotValidText = "Not a valid TrueType font file.\r"
                                 "Sorry.";

} // namespace

void TFrmMain::B_RestoreNamesClick() {
    // 1. The file is about to change under the registration.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath.clear();
    // 2.
    QCoreApplication::processEvents();
    // 3. to 8. The core checks the saved location before it writes anything.
    const QString path = D_FilePath->fileName();
    const SwapOutcome outcome = Font.SwapNameTables(ToFilePath(path));
    // 4.
    if (outcome == SwapOutcome::soInUse) {
        LB_FontFileError->setFileName(path);
        LB_FontError->setText(QString::fromLatin1(FontFile::FontInUseText));
        P_All256Chars->show();
        P_FontError->show();
        PlayCue(MyOhOh);
        return;
    }
    // 9. A saved location that is no name table was left alone: the file reads as before, but
    //    the press failed as for a file that no longer reads.
    bool failed = outcome == SwapOutcome::soNotValid;
    if (!failed) {
        Font.ReadFontNames(ToFilePath(path));
        failed = Font.ReadFailed;
        if (!failed)
            B_RestoreNames->setEnabled(Font.IsRenamed);
    }
    // 10.
    if (failed) {
        ResetFontDisplay();
        PlayCue(MyOhOh);
        showError(this, NotValidText);
        return;
    }
    // 11. An error panel left over from an earlier press no longer applies.
    P_FontError->hide();
    ShowFontNames();
    PlayCue(MyChimes);
    E_FamilyName->setFocus();
    E_FamilyName->selectAll();
}
