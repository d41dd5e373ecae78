// "Create New Font Now", "MAKE FONT" and "CANCEL": from the edited names to a new font file.

#include "app/BusyCursor.h"
#include "app/Main.h"
#include "browse/BrowsePanel.h"
#include "controls/ColorButton.h"
#include "controls/PathLabel.h"
#include "core/ByteHelpers.h"
#include "naming/AnsiText.h"
#include "naming/NamingPanel.h"
#include "session/FontSession.h"

#include <QFrame>
#include <QLineEdit>

using qm::app::BusyCursor;
using qm::naming::fromFilePath;
using qm::naming::toFilePath;

void TFrmMain::B_CreateFontNowClick() {
    // 1. The tock of a press.
    PlayCue(MyTock);
    // 2. Nothing is loaded: nothing to copy.
    if (const qm::session::Outcome refusal = session_->openMake();
        refusal.kind != qm::session::MessageKind::None) {
        showOutcome(refusal);
        return;
    }
    // 3. Open the panel and lock the list: a click in it now loads nothing.
    P_MakeFont->show();
    browse_->setLocked(true);
}

void TFrmMain::B_CancelMakeClick() {
    PlayCue(MyTock);
    browse_->setLocked(false);
    P_MakeFont->hide();
}

void TFrmMain::B_MakeFontClick() {
    // 1. The typed name in upper case.
    // Only A to Z change: UTF-8 bytes of other letters are never ASCII.
    const QString typed = QString::fromStdString(upperCaseAscii(D_FileName->text().toStdString()));
    D_FileName->setText(typed);
    // 2. to 4. A name that may be a new font file's, in the destination folder, and free.
    const qm::session::MakePlan plan = session_->planMake(toFilePath(typed));
    if (plan.target.empty()) {
        showOutcome(plan.refusal);
        return;
    }
    // 5. The tock, and the busy cursor while the copy is made.
    PlayCue(MyTock);
    BusyCursor busy;
    // 6. to 10. The names derived, and a copy of the font on show written with the names the
    //     boxes show, finished and verified, or nothing.
    DeriveNames();
    const qm::session::Outcome made = session_->make(plan, naming_->texts());
    if (made.disk != qm::session::OnDisk::Created) {
        showOutcome(made);
        return;
    }
    // 11. The new file is the current font.
    const QString newPath = qm::platform::pathCase(fromFilePath(plan.target));
    D_FilePath->setFileName(newPath);
    LB_CurrentFont->setFileName(newPath);
    // 12. The list shows the new file; it can be restored.
    browse_->reread();
    B_RestoreNames->setEnabled(true);
    // 13. The success cue.
    showOutcome(made);
    // 14. The counter counts the new file.
    ShowFontTotal();
    // 15. The busy cursor goes with `busy`.
    browse_->setLocked(false);
    P_MakeFont->hide();
}
