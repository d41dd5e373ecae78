// FormKeyPress: what may be typed into the naming boxes and the new file name box, and what
// Enter does there. connectNaming wires the preview and the other non-click events.

#include "app/ClickCatcher.h"
#include "app/Main.h"
#include "app/ReaderControls.h"
#include "controls/PathLabel.h"
#include "core/NamingRules.h"
#include "naming/KeyPreview.h"
#include "naming/NamingPanel.h"

#include <QLineEdit>

using qm::app::ClickCatcher;
using qm::naming::kBackspaceChar;
using qm::naming::kEnterChar;

bool TFrmMain::FormKeyPress(QLineEdit* box, QChar key) {
    // 1. Only single-line edit boxes are previewed.
    if (box == nullptr)
        return false;
    const char32_t c = key.unicode();

    // 2. The new file name: letters, digits and '.'; Enter makes the font.
    if (box == D_FileName) {
        if (c == kEnterChar) {
            B_MakeFontClick();
            return true;
        }
        if (c == kBackspaceChar || isFileNameChar(c))
            return false;
        PlayCue(MyDing);
        return true;
    }

    // 3. The naming boxes: Enter walks on as Tab does.
    if (c == kEnterChar) {
        focusNextChild();
        return true;
    }
    if (c == kBackspaceChar || isFamilyStyleChar(c))
        return false;
    if (box == E_FamilyName || box == E_Style) {
        PlayCue(MyDing);
        return true;
    }
    return false;
}

void TFrmMain::connectNaming() {
    naming_ = new qm::naming::NamingPanel({E_FamilyName, E_Style, E_FullName, E_Postscript,
                                           E_Version, E_FontID, E_Copyright, E_TradeMark},
                                          this);
    connect(naming_, &qm::naming::NamingPanel::namesEdited, this,
            [this] { guarded([this] { E_FamilyNameExit(); }); });
    keyPreview_ = new qm::naming::KeyPreview(
        this, [this](QLineEdit* box, QChar key) { return FormKeyPress(box, key); },
        [this](const std::function<void()>& call) { guarded(call); });
    for (QLineEdit* box :
         std::initializer_list<QLineEdit*>{E_FamilyName, E_Style, E_FullName, E_Version, E_FontID,
                                           E_Postscript, E_Copyright, E_TradeMark, D_FileName})
        keyPreview_->watchKeys(box);

    // The destination box and its caption fix the folder as "SET" does.
    new ClickCatcher(Label28, [this] { guarded([this] { B_SetFolderClick(); }); });
    new ClickCatcher(LB_DestinationFile, [this] { guarded([this] { B_SetFolderClick(); }); });
}
