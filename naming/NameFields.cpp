// The eight naming boxes and the record behind them: show, store, derive, reset.

#include "app/Main.h"
#include "core/ByteHelpers.h"
#include "core/NamingRules.h"
#include "naming/AnsiText.h"
#include "naming/BoxText.h"

#include "controls/ColorButton.h"
#include "controls/PathLabel.h"

#include <QLabel>
#include <QLineEdit>

using qm::naming::fromAnsi;
using qm::naming::putBoxText;
using qm::naming::toAnsi;

namespace {

// Puts a text into a box only when it changes, so the user's cursor and undo survive a
// derivation that leaves the box as it was.
void setBoxText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        putBoxText(box, text);
}

} // namespace

void TFrmMain::ShowFontNames() {
    const ::FontNames& names = session_.font().FontNames;
    putBoxText(E_FamilyName, fromAnsi(names.FamilyName));
    putBoxText(E_Style, fromAnsi(names.Style));
    putBoxText(E_FullName, fromAnsi(names.FullName));
    putBoxText(E_Postscript, fromAnsi(names.Postscript));
    putBoxText(E_Version, fromAnsi(names.Version));
    putBoxText(E_FontID, fromAnsi(names.FontID));
    putBoxText(E_Copyright, fromAnsi(names.Copyright));
    putBoxText(E_TradeMark, fromAnsi(names.TradeMark));
}

NameTexts TFrmMain::boxTexts() const {
    return {toAnsi(E_FamilyName->text()), toAnsi(E_FullName->text()), toAnsi(E_Style->text()),
            toAnsi(E_Postscript->text()), toAnsi(E_Version->text()),  toAnsi(E_FontID->text()),
            toAnsi(E_Copyright->text()),  toAnsi(E_TradeMark->text())};
}

void TFrmMain::DeriveNames() {
    NameTexts boxes;
    boxes.FamilyName = toAnsi(E_FamilyName->text());
    boxes.Style = toAnsi(E_Style->text());
    boxes.FullName = toAnsi(E_FullName->text());
    boxes.Postscript = toAnsi(E_Postscript->text());
    const NameTexts derived = deriveNameTexts(boxes, session_.font().FontNames.FamilyName);
    setBoxText(E_FamilyName, fromAnsi(derived.FamilyName));
    if (CleanNameText(boxes.FamilyName).empty())
        return; // the record's family came back; the other boxes stay as they are
    setBoxText(E_Style, fromAnsi(derived.Style));
    setBoxText(E_FullName, fromAnsi(derived.FullName));
    setBoxText(E_Postscript, fromAnsi(derived.Postscript));
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
    session_.forget();
    D_FilePath->setFileName(QString());
    LB_CurrentFont->setFileName(QString());
    LB_All256Chars->setText(QString());
    // 4. Empty, not the placeholders.
    for (QLineEdit* box : {E_FamilyName, E_Style, E_FullName, E_Postscript, E_Version, E_FontID,
                           E_Copyright, E_TradeMark})
        putBoxText(box, QString());
    // 5. Nothing to make, view or restore.
    B_CreateFontNow->setEnabled(false);
    B_ViewPrint->setEnabled(false);
    B_RestoreNames->setEnabled(false);
}
