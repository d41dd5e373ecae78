#include "app/ClickCatcher.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace qm::app {

ClickCatcher::ClickCatcher(QWidget* target, std::function<void()> onClick)
    : QObject(target), onClick_(std::move(onClick)) {
    target->installEventFilter(this);
}

bool ClickCatcher::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress) {
        pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease && pressed_) {
        pressed_ = false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Like a button: releasing outside the label cancels the click.
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            onClick_();
        return true;
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                           key->key() == Qt::Key_Enter;
        if (plain && press) {
            if (!key->isAutoRepeat() && widget->isEnabled())
                onClick_();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qm::app
