#include "app/Application.h"

#include "app/ErrorDisplay.h"

#include <QWidget>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    const bool clean =
        runGuarded(activeWindow(), [&] { result = QApplication::notify(receiver, event); });
    return clean ? result : true;
}
