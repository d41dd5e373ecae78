#include "app/ErrorDisplay.h"

#include "controls/MessageBox.h"

#include <QWidget>

using qm::controls::showError;

namespace qm::app {

QString errorDisplayText(const std::exception& error) {
    const QString text = QString::fromUtf8(error.what());
    // An error without a message of its own still has to say something.
    return text.isEmpty() ? unknownErrorText() : text;
}

QString unknownErrorText() {
    return QStringLiteral("An unexpected error occurred.");
}

void showEscapedError(QWidget* parent, const QString& text) {
    showError(parent, text);
}

} // namespace qm::app
