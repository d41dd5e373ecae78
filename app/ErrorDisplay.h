#pragma once

// The general error display: what a handler lets escape is shown in the modal "Error" box
// with the error's own text, and the program carries on.

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace qm::app {

// The text the user sees for an error that reached the display.
QString errorDisplayText(const std::exception& error);
QString unknownErrorText();

// Shows the "Error" box for an error that escaped a handler.
void showEscapedError(QWidget* parent, const QString& text);

// Runs handler; an error it lets escape is shown and swallowed. Returns false when one did.
template <class F> bool runGuarded(QWidget* parent, F&& handler) {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const std::exception& error) {
        showEscapedError(parent, errorDisplayText(error));
    } catch (...) {
        showEscapedError(parent, unknownErrorText());
    }
    return false;
}

} // namespace qm::app
