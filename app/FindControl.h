#pragma once

// Finds a control of the window by its object name, the way a test, the bench or the gallery
// reaches it: the window's members are its own.

#include <QWidget>

#include <stdexcept>
#include <string>

namespace qm::app {

template <class T> T* findAs(const QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QLatin1String(name));
    if (!control)
        throw std::logic_error(std::string("the window has no control ") + name);
    return control;
}

template <class T> T* findAs(const QWidget* window, const char* name) {
    return findAs<T>(*window, name);
}

} // namespace qm::app
