#include "naming/NamingPanel.h"

#include "core/ByteHelpers.h"
#include "naming/AnsiText.h"
#include "naming/BoxText.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace qm::naming {

namespace {

// Puts a text into a box only when it changes, so the user's cursor and undo survive a
// derivation that leaves the box as it was.
void setBoxText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        putBoxText(box, text);
}

} // namespace

NamingPanel::NamingPanel(const NameBoxes& boxes, QObject* parent) : QObject(parent), boxes_(boxes) {
    for (QLineEdit* box : {boxes_.FamilyName, boxes_.Style, boxes_.FullName, boxes_.Version,
                           boxes_.FontID, boxes_.Postscript, boxes_.Copyright, boxes_.TradeMark})
        keepTypingLimit(box);
    boxes_.FamilyName->installEventFilter(this);
    boxes_.Style->installEventFilter(this);
}

void NamingPanel::show(const ::FontNames& names) {
    putBoxText(boxes_.FamilyName, fromAnsi(names.FamilyName));
    putBoxText(boxes_.Style, fromAnsi(names.Style));
    putBoxText(boxes_.FullName, fromAnsi(names.FullName));
    putBoxText(boxes_.Postscript, fromAnsi(names.Postscript));
    putBoxText(boxes_.Version, fromAnsi(names.Version));
    putBoxText(boxes_.FontID, fromAnsi(names.FontID));
    putBoxText(boxes_.Copyright, fromAnsi(names.Copyright));
    putBoxText(boxes_.TradeMark, fromAnsi(names.TradeMark));
}

void NamingPanel::clear() {
    for (QLineEdit* box : {boxes_.FamilyName, boxes_.Style, boxes_.FullName, boxes_.Postscript,
                           boxes_.Version, boxes_.FontID, boxes_.Copyright, boxes_.TradeMark})
        putBoxText(box, QString());
}

NameTexts NamingPanel::texts() const {
    return {toAnsi(boxes_.FamilyName->text()), toAnsi(boxes_.FullName->text()),
            toAnsi(boxes_.Style->text()),      toAnsi(boxes_.Postscript->text()),
            toAnsi(boxes_.Version->text()),    toAnsi(boxes_.FontID->text()),
            toAnsi(boxes_.Copyright->text()),  toAnsi(boxes_.TradeMark->text())};
}

void NamingPanel::derive(std::string_view recordFamilyName) {
    const NameTexts typed = texts();
    const NameTexts derived = deriveNameTexts(typed, recordFamilyName);
    setBoxText(boxes_.FamilyName, fromAnsi(derived.FamilyName));
    if (CleanNameText(typed.FamilyName).empty())
        return; // the record's family came back; the other boxes stay as they are
    setBoxText(boxes_.Style, fromAnsi(derived.Style));
    setBoxText(boxes_.FullName, fromAnsi(derived.FullName));
    setBoxText(boxes_.Postscript, fromAnsi(derived.Postscript));
}

bool NamingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == boxes_.FamilyName || watched == boxes_.Style)) {
        // Switching to another program or opening a context menu is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent&>(*event).reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            emit namesEdited();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qm::naming
