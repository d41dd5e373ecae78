// The eight naming boxes and the record behind them: show, store, derive, reset.

#include "app/Main.h"
#include "core/ByteHelpers.h"
#include "core/NamingRules.h"
#include "naming/AnsiText.h"

#include "controls/ColorBtn.h"
#include "controls/FileLbl.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// Puts a text into a box only when it changes, so the user's cursor and undo survive a
// derivation that leaves the box as it was.
void SetBoxText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace

void TFrmMain::ShowFontNames() {
    const ::FontNames& names = Font.FontNames;
    E_FamilyName->setText(FromAnsi(names.FamilyName));
    E_Style->setText(FromAnsi(names.Style));
    E_FullName->setText(FromAnsi(names.FullName));
    E_Postscript->setText(FromAnsi(names.Postscript));
    E_Version->setText(FromAnsi(names.Version));
    E_FontID->setText(FromAnsi(names.FontID));
    E_Copyright->setText(FromAnsi(names.Copyright));
    E_TradeMark->setText(FromAnsi(names.TradeMark));
}

void TFrmMain::StoreFontNames() {
    const NameTexts boxes{ToAnsi(E_FamilyName->text()), ToAnsi(E_FullName->text()),
                          ToAnsi(E_Style->text()),      ToAnsi(E_Postscript->text()),
                          ToAnsi(E_Version->text()),    ToAnsi(E_FontID->text()),
                          ToAnsi(E_Copyright->text()),  ToAnsi(E_TradeMark->text())};
    StoreNameTexts(boxes, Font.FontNames);
}

void TFrmMain::DeriveNames() {
    NameTexts boxes;
    boxes.FamilyName = ToAnsi(E_FamilyName->text());
    boxes.Style = ToAnsi(E_Style->text());
    boxes.FullName = ToAnsi(E_FullName->text());
    boxes.Postscript = ToAnsi(E_Postscript->text());
    const NameTexts derived = DeriveNameTexts(boxes, Font.FontNames.FamilyName);
    SetBoxText(E_FamilyName, FromAnsi(derived.FamilyName));
    if (CleanNameText(boxes.FamilyName).empty())
        return; // the record's family came back; the other boxes stay as they are
    SetBoxText(E_Style, FromAnsi(derived.Style));
    SetBoxText(E_FullName, FromAnsi(derived.FullName));
    SetBoxText(E_Postscript, FromAnsi(derived.Postscript));
}

void TFrmMain::E_FamilyNameExit() {
    DeriveNames();
}

void TFrmMain::ResetFontDisplay() {
    // 1. No font stays registered for a window that shows none.
    if (!TemporaryFontPath.isEmpty())
        RemoveTemporaryFont(TemporaryFontPath);
    TemporaryFontPath.clear();
    // 2.
    Font.FontNames.Reset();
    // 3.
    D_FilePath->setFileName(QString());
    LB_CurrentFont->setFileName(QString());
    LB_All256Chars->setText(QString());
    // 4. Empty, not the placeholders.
    for (QLineEdit* box : {E_FamilyName, E_Style, E_FullName, E_Postscript, E_Version, E_FontID,
                           E_Copyright, E_TradeMark})
        box->clear();
    // 5.
    B_CreateFontNow->setEnabled(false);
    B_ViewPrint->setEnabled(false);
    B_RestoreNames->setEnabled(false);
}
