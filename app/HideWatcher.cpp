#include "app/HideWatcher.h"

#include <QEvent>
#include <QWidget>

namespace qm::app {

HideWatcher::HideWatcher(QWidget* target, std::function<void()> onHide)
    : QObject(target), onHide_(std::move(onHide)) {
    target->installEventFilter(this);
}

bool HideWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && static_cast<QWidget*>(watched)->isHidden())
        onHide_();
    return QObject::eventFilter(watched, event);
}

} // namespace qm::app
