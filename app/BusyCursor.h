#pragma once

// The hourglass for the whole program while a guard lives, whatever way the handler leaves:
// an error on its way to the general error display has already given the cursor back.

#include <QCursor>
#include <QGuiApplication>

namespace qm::app {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace qm::app
