#include "naming/KeyPreview.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace qm::naming {

namespace {

const char* const kKeysProperty = "qmPreviewKeys";

} // namespace

QChar typedCharacter(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(kEnterChar);
    case Qt::Key_Backspace:
        return QChar(kBackspaceChar);
    case Qt::Key_Escape:
        return QChar(kEscapeChar);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return {};
    default:
        break;
    }
    const bool control = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    if (control && !alt) {
        // Ctrl+letter types the control character of that letter; the box's own shortcuts
        // (copy, paste, cut, undo, select all) ride on exactly these.
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QChar(char16_t(key - Qt::Key_A + 1));
        return {};
    }
    if (alt && !control)
        return {}; // menu accelerators type nothing
    const QString text = event.text();
    if (text.isEmpty())
        return {};
    return text.front();
}

KeyPreview::KeyPreview(QObject* form, KeyPress keyPress, Guard guard)
    : QObject(form), keyPress_(std::move(keyPress)), guard_(std::move(guard)) {}

void KeyPreview::watchKeys(QLineEdit* box) {
    box->setProperty(kKeysProperty, true);
    box->removeEventFilter(this);
    box->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr || !box->property(kKeysProperty).toBool())
        return false;

    switch (event->type()) {
    case QEvent::KeyPress: {
        const QChar typed = typedCharacter(static_cast<QKeyEvent&>(*event));
        if (typed.isNull())
            return false;
        bool swallowed = true; // a key whose handler failed is not typed as well
        guard_([&] { swallowed = keyPress_(box, typed); });
        return swallowed;
    }
    case QEvent::InputMethod: {
        // Composed characters (dead keys, input methods) obey the same rules as typed ones.
        const QString commit = static_cast<QInputMethodEvent&>(*event).commitString();
        bool swallowed = false;
        guard_([&] {
            for (const QChar c : commit)
                if (!swallowed)
                    swallowed = keyPress_(box, c);
        });
        return swallowed;
    }
    default:
        return false;
    }
}

} // namespace qm::naming
