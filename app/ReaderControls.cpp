#include "app/ReaderControls.h"

#include <QAccessible>

namespace qm::app {

void AlertPanel::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    // Does nothing unless a reader listens.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace qm::app
