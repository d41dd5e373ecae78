#include "app/Application.h"

#include "app/ErrorDisplay.h"
#include "controls/ResourcePng.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace qm::app {

namespace {

// The program's icon: its largest picture, which Qt shrinks for the caption bar.
QIcon programIcon() {
    return QIcon(
        QPixmap::fromImage(qm::controls::readResourcePng(QStringLiteral(":/icons/quillmark.png"))));
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setWindowIcon(programIcon());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    const bool clean =
        runGuarded(activeWindow(), [&] { result = QApplication::notify(receiver, event); });
    return clean ? result : true;
}

} // namespace qm::app
