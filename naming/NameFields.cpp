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

namespace {

// Puts a text into a box only when it changes, so the user's cursor and undo survive a
// derivation that leaves the box as it was.
void SetBoxText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        PutBoxText(box, text);
}

} // namespace

void TFrmMain::ShowFontNames() {
    const ::FontNames& names = Font.FontNames;
    PutBoxText(E_FamilyName, FromAnsi(names.FamilyName));
    PutBoxText(E_Style, FromAnsi(names.Style));
    PutBoxText(E_FullName, FromAnsi(names.FullName));
    PutBoxText(E_Postscript, FromAnsi(names.Postscript));
    PutBoxText(E_Version, FromAnsi(names.Version));
    PutBoxText(E_FontID, FromAnsi(names.FontID));
    PutBoxText(E_Copyright, FromAnsi(names.Copyright));
    PutBoxText(E_TradeMark, FromAnsi(names.TradeMark));
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
    // 2. The names record holds its reset values.
    Font.FontNames.Reset();
    // 3. No current path, font or strip text.
    D_FilePath->setFileName(QString());
    LB_CurrentFont->setFileName(QString());
    LB_All256Chars->setText(QString());
    // 4. Empty, not the placeholders.
    for (QLineEdit* box : {E_FamilyName, E_Style, E_FullName, E_Postscript, E_Version, E_FontID,
                           E_Copyright, E_TradeMark})
        PutBoxText(box, QString());
    // 5. Nothing to make, view or restore.
    B_CreateFontNow->setEnabled(false);
    B_ViewPrint->setEnabled(false);
    B_RestoreNames->setEnabled(false);
}
