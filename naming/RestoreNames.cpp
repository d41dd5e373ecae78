// "Restore Original Font Names": swaps a renamed font's two name tables in place.

#include "app/Main.h"
#include "controls/ColorButton.h"
#include "controls/MessageBox.h"
#include "controls/PathLabel.h"
#include "core/NameSwap.h"
#include "naming/AnsiText.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

using qm::naming::fromAnsi;
using qm::naming::toFilePath;

namespace {

const char* const kNotValidText = "Not a valid TrueType font file.\r"
                                  "Sorry.";

} // namespace

void TFrmMain::B_RestoreNamesClick() {
    // 1. The file is about to change under the registration.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath.clear();
    // 2. Let the withdrawal reach every widget before the file changes.
    QCoreApplication::processEvents();
    // 3. to 8. The core checks the saved location before it writes anything.
    const QString path = D_FilePath->fileName();
    const SwapResult swap = swapNameTables(toFilePath(path));
    // 4. A file that could not be opened: the red panel names the cause (another program's
    //    lock keeps "Font is in use by another application.") and nothing was written.
    if (swap.outcome == SwapOutcome::InUse) {
        LB_FontFileError->setFileName(path);
        LB_FontError->setText(fromAnsi(swap.ErrorText));
        P_All256Chars->show();
        P_FontError->show();
        PlayCue(MyOhOh);
        return;
    }
    // The file changed, but whether the change is on disk is not known: say so.
    if (swap.outcome == SwapOutcome::NotConfirmed) {
        ResetFontDisplay();
        PlayCue(MyOhOh);
        showError(this, QString::fromLatin1(SwapResult::kNotConfirmedText) + u'\r' +
                            fromAnsi(swap.ErrorText));
        return;
    }
    // 9. The swap was made only if the file reads after it; that read is the file's names now.
    //    A file that would not read was left alone, but the press failed as for a file that no
    //    longer reads.
    const bool failed = swap.outcome != SwapOutcome::Swapped;
    if (!failed) {
        Font = swap.read;
        B_RestoreNames->setEnabled(Font.IsRenamed);
    }
    // 10. Not a renamed font that restores: the window forgets it.
    if (failed) {
        ResetFontDisplay();
        PlayCue(MyOhOh);
        showError(this, kNotValidText);
        return;
    }
    // 11. An error panel left over from an earlier press no longer applies.
    P_FontError->hide();
    ShowFontNames();
    PlayCue(MyChimes);
    E_FamilyName->setFocus();
    E_FamilyName->selectAll();
}
