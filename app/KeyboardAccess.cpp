#include "app/KeyboardAccess.h"

#include "controls/CheckBox.h"
#include "controls/ColorButton.h"

#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>

namespace qm::app {

// A dotted frame over the focused control. A QFocusFrame, so that it passes clicks through and
// assistive technologies do not list it among the window's controls.
class FocusCue : public QFocusFrame {
public:
    using QFocusFrame::QFocusFrame;

    void follow(QWidget* control) {
        if (control == nullptr) {
            hide();
            return;
        }
        if (parentWidget() != control)
            setParent(control);
        // A colour button's bevel stays clear; the frame sits just inside it.
        int inset = 0;
        if (const auto* button = qobject_cast<const TColorButton*>(control))
            inset = button->bevelSize() + 1;
        setGeometry(control->rect().adjusted(inset, inset, -inset, -inset));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // White under black dots reads on any of the window's colours.
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.setPen(QPen(Qt::white, 0));
        p.drawRect(r);
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(r);
    }
};

namespace {

bool isTabStop(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisible() && w->isEnabled() &&
           !isCovered(w);
}

bool isTextBox(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

// Below the caption of a rolled-up window: left out by its shape, or by its height where the
// window is made shorter instead.
bool isCutOff(const QWidget* w) {
    const QWidget* window = w->window();
    const QPoint middle = w->mapTo(window, w->rect().center());
    return !window->rect().contains(middle) ||
           (!window->mask().isEmpty() && !window->mask().contains(middle));
}

} // namespace

bool isCovered(const QWidget* w) {
    const QWidget* window = w->window();
    const QPoint middle = w->mapTo(window, w->rect().center());
    if (isCutOff(w))
        return true;
    for (const QWidget* a = w; a != window && a->parentWidget(); a = a->parentWidget()) {
        const QWidget* parent = a->parentWidget();
        const QPoint at = parent->mapFrom(window, middle);
        // Children are kept in stacking order: the ones after a lie above it.
        const QObjectList& siblings = parent->children();
        for (auto i = siblings.indexOf(a) + 1; i > 0 && i < siblings.size(); ++i) {
            const auto* s = qobject_cast<const QWidget*>(siblings[i]);
            if (s && !s->isWindow() && s->isVisible() && !qobject_cast<const QFocusFrame*>(s) &&
                s->geometry().contains(at))
                return true;
        }
    }
    return false;
}

QWidget* nextTabStop(QWidget* form, QWidget* from, bool forward) {
    QWidget* const start = from ? from : form;
    QWidget* w = start;
    do {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == nullptr)
            return nullptr;
        if (w != form && w->window() == form && isTabStop(w))
            return w;
    } while (w != start);
    return nullptr;
}

KeyboardAccess::KeyboardAccess(QWidget* form) : QObject(form), form_(form) {
    connect(qApp, &QApplication::focusChanged, this, [this] { followFocus(); });
}

void KeyboardAccess::watchKeys(QWidget* control) {
    control->installEventFilter(this);
}

void KeyboardAccess::addPanel(QWidget* panel, QWidget* opener, std::function<void()> close) {
    panels_.push_back({panel, opener, std::move(close), panel->isVisibleTo(form_)});
    panel->installEventFilter(this);
}

void KeyboardAccess::addAccessKey(char letter, TColorButton* button) {
    accessKeys_.push_back({letter, button});
    // Readers tell the key with the button.
    button->setProperty("qmAccessKey", QString(QLatin1Char(letter)));
}

char KeyboardAccess::accessKeyOf(const QWidget* button) const {
    for (const AccessKey& key : accessKeys_)
        if (key.button == button)
            return key.letter;
    return 0;
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* receiver = qobject_cast<QWidget*>(watched);
        if (receiver == nullptr || receiver->window() != form_)
            return false;
        // Keys meant for a control that is no longer shown (its panel is closing, the window
        // rolled up) do nothing.
        if (!receiver->isVisible() || isCutOff(receiver))
            return true;
        if (event->type() == QEvent::KeyPress)
            return keyPress(receiver, static_cast<QKeyEvent&>(*event));
        return false;
    }
    case QEvent::Show:
    case QEvent::Hide:
        for (Panel& p : panels_) {
            if (p.panel != watched)
                continue;
            // Hidden by itself, not with the window (minimised, rolled up).
            const bool open = !p.panel->isHidden();
            if (open != p.open) {
                p.open = open;
                open ? panelShown(p.panel) : panelHidden(p);
            }
        }
        return false;
    default:
        return false;
    }
}

bool KeyboardAccess::keyPress(QWidget* receiver, const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) {
        useKeyboard();
        return false;
    }
    if (key.key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        useKeyboard();
        for (const Panel& p : panels_) {
            if (p.panel && p.panel->isVisible()) {
                p.close();
                return true;
            }
        }
        return false;
    }
    if (mods == Qt::AltModifier && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) {
        const char letter = static_cast<char>('A' + (key.key() - Qt::Key_A));
        for (const AccessKey& k : accessKeys_) {
            if (k.letter != letter || !k.button)
                continue;
            if (!k.button->isVisible() || !k.button->isEnabled() || isCovered(k.button))
                return true; // a button the user cannot see or use is not pressed
            useKeyboard();
            k.button->setFocus(Qt::ShortcutFocusReason);
            k.button->click();
            return true;
        }
        return false;
    }
    if (!isTextBox(receiver) && isNavigationKey(key.key()))
        useKeyboard();
    // Enter switches a check box as Space does; the box itself knows only Space.
    if (auto* box = qobject_cast<TBWCCCheckBox*>(receiver);
        box && mods == Qt::NoModifier &&
        (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
        if (!key.isAutoRepeat())
            box->toggle();
        return true;
    }
    return false;
}

void KeyboardAccess::panelShown(QWidget* panel) {
    if (!keyboardUsed_)
        return; // a mouse user's focus stays where it is, as it always did
    const QWidget* focus = QApplication::focusWidget();
    if (focus && panel->isAncestorOf(focus))
        return;
    for (QWidget* w = panel->nextInFocusChain(); w && w != panel; w = w->nextInFocusChain()) {
        if (panel->isAncestorOf(w) && isTabStop(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void KeyboardAccess::panelHidden(const Panel& panel) {
    const QWidget* focus = QApplication::focusWidget();
    if (!keyboardUsed_ || !(focus && panel.panel->isAncestorOf(focus)))
        return;
    // The focus goes back to where the panel came from: at once, or, where the handler that
    // closed the panel has yet to enable its opener again, once it has.
    if (panel.opener && isTabStop(panel.opener)) {
        panel.opener->setFocus(Qt::OtherFocusReason);
        return;
    }
    QTimer::singleShot(0, this, [this, opener = panel.opener] {
        const QWidget* now = QApplication::focusWidget();
        if (now && now->window() != form_)
            return; // a message box has it
        if (opener && isTabStop(opener))
            opener->setFocus(Qt::OtherFocusReason);
    });
}

void KeyboardAccess::useKeyboard() {
    if (keyboardUsed_)
        return;
    keyboardUsed_ = true;
    followFocus();
}

void KeyboardAccess::followFocus() {
    if (!keyboardUsed_)
        return;
    QWidget* focus = QApplication::focusWidget();
    // The check boxes draw their own focus rectangle.
    const bool framed =
        focus && focus->window() == form_ && focus != form_ && !qobject_cast<TBWCCCheckBox*>(focus);
    if (!framed) {
        if (cue_)
            cue_->hide();
        return;
    }
    if (!cue_)
        cue_ = new FocusCue(focus);
    cue_->follow(focus);
}

} // namespace qm::app
