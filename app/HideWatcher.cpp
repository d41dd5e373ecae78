#include "app/HideWatcher.h"

#include <QEvent>
#include <QWidget>

THideWatcher::THideWatcher(QWidget* target, std::function<void()> onHide)
    : QObject(target), onHide_(std::move(onHide)) {
    target->installEventFilter(this);
}

bool THideWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && static_cast<QWidget*>(watched)->isHidden())
        onHide_();
    return QObject::eventFilter(watched, event);
}
