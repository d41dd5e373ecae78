#include "app/Application.h"

#include "app/ErrorDisplay.h"

#include <QWidget>

namespace qm::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    const bool clean =
        runGuarded(activeWindow(), [&] { result = QApplication::notify(receiver, event); });
    return clean ? result : true;
}

} // namespace qm::app
