// "Restore Original Font Names": swaps a renamed font's two name tables in place.

#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/ColorButton.h"
#include "session/FontSession.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QScopedValueRollback>

void TFrmMain::B_RestoreNamesClick() {
    // A second press delivered by step 2 would swap the names straight back.
    if (restoring_)
        return;
    const QScopedValueRollback busy(restoring_, true);
    // 1. The file is about to change under the registration.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath.clear();
    // 2. Let the withdrawal reach every widget before the file changes.
    QCoreApplication::processEvents();
    // The font on show is the one restored, wherever the browser has gone since.
    if (!session_->source().empty())
        session_->setCurrentPath(session_->source());
    // 3. to 10. The swap, and what the window shows of it: a file that could not be opened
    //    keeps the font on show with the red panel; any other failure forgets it.
    const qm::session::Outcome outcome = session_->restore();
    if (outcome.disk == qm::session::OnDisk::Swapped)
        B_RestoreNames->setEnabled(session_->font().IsRenamed);
    if (!outcome.showNames) {
        showOutcome(outcome);
        return;
    }
    // 11. An error panel left over from an earlier press no longer applies.
    P_FontError->hide();
    ShowFontNames();
    showOutcome(outcome);
    E_FamilyName->setFocus();
    E_FamilyName->selectAll();
}
