#include "naming/KeyPreview.h"

#include "app/ErrorDisplay.h"
#include "app/Main.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr char16_t EnterChar = 13;
constexpr char16_t BackspaceChar = 8;
constexpr char16_t EscapeChar = 27;

const char* const KeysProperty = "qmPreviewKeys";
const char* const ExitProperty = "qmRunsNameExit";

} // namespace

QChar TypedCharacter(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(EnterChar);
    case Qt::Key_Backspace:
        return QChar(BackspaceChar);
    case Qt::Key_Escape:
        return QChar(EscapeChar);
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

TNamingKeyPreview::TNamingKeyPreview(TFrmMain* form, KeyPress keyPress, Exit exit)
    : QObject(form), keyPress_(std::move(keyPress)), exit_(std::move(exit)) {}

void TNamingKeyPreview::WatchKeys(QLineEdit* box) {
    box->setProperty(KeysProperty, true);
    box->removeEventFilter(this);
    box->installEventFilter(this);
}

void TNamingKeyPreview::WatchExit(QLineEdit* box) {
    box->setProperty(ExitProperty, true);
    box->removeEventFilter(this);
    box->installEventFilter(this);
}

bool TNamingKeyPreview::eventFilter(QObject* watched, QEvent* event) {
    // While the window is being torn down neither it nor its boxes may be called on.
    auto* form = qobject_cast<TFrmMain*>(parent());
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (form == nullptr || box == nullptr)
        return false;

    switch (event->type()) {
    case QEvent::KeyPress: {
        if (!box->property(KeysProperty).toBool())
            return false;
        const QChar typed = TypedCharacter(static_cast<QKeyEvent&>(*event));
        if (typed.isNull())
            return false;
        bool swallowed = true; // a key whose handler failed is not typed as well
        runGuarded(form, [&] { swallowed = keyPress_(box, typed); });
        return swallowed;
    }
    case QEvent::InputMethod: {
        // Composed characters (dead keys, input methods) obey the same rules as typed ones.
        if (!box->property(KeysProperty).toBool())
            return false;
        const QString commit = static_cast<QInputMethodEvent&>(*event).commitString();
        bool swallowed = false;
        runGuarded(form, [&] {
            for (const QChar c : commit)
                if (!swallowed)
                    swallowed = keyPress_(box, c);
        });
        return swallowed;
    }
    case QEvent::FocusOut: {
        if (!box->property(ExitProperty).toBool())
            return false;
        // Switching to another program or opening a context menu is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent&>(*event).reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        runGuarded(form, [this] { exit_(); });
        return false;
    }
    default:
        return false;
    }
}
