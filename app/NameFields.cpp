// The eight naming boxes and the record behind them: show, derive, reset.

#include "app/Main.h"
#include "controls/ColorButton.h"
#include "controls/PathLabel.h"
#include "naming/NamingPanel.h"
#include "session/FontSession.h"

#include <QLabel>

void TFrmMain::ShowFontNames() {
    naming_->show(session_->font().FontNames);
}

void TFrmMain::DeriveNames() {
    naming_->derive(session_->font().FontNames.FamilyName);
}

void TFrmMain::E_FamilyNameExit() {
    DeriveNames();
}

void TFrmMain::ResetFontDisplay() {
    // 1. No font stays registered for a window that shows none.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath.clear();
    // 2. and 3. The names record holds its reset values; no current path, font or strip text.
    session_->forget();
    D_FilePath->setFileName(QString());
    LB_CurrentFont->setFileName(QString());
    LB_All256Chars->setText(QString());
    // 4. Empty, not the placeholders.
    naming_->clear();
    // 5. Nothing to make, view or restore.
    B_CreateFontNow->setEnabled(false);
    B_ViewPrint->setEnabled(false);
    B_RestoreNames->setEnabled(false);
}
