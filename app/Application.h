#pragma once

// The application object: a QApplication that wears the program's icon and shows what an event
// handler lets escape in the "Error" box instead of ending the program.

#include <QApplication>

namespace qm::app {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace qm::app
