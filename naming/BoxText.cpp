#include "naming/BoxText.h"

#include <QLineEdit>

#include <algorithm>

namespace qm::naming {

namespace {

const char* const kLimitProperty = "qmTypingLimit";

int typingLimit(const QLineEdit* box) {
    const QVariant limit = box->property(kLimitProperty);
    return limit.isValid() ? limit.toInt() : box->maxLength();
}

} // namespace

void keepTypingLimit(QLineEdit* box) {
    if (box->property(kLimitProperty).isValid())
        return;
    box->setProperty(kLimitProperty, box->maxLength());
    QObject::connect(box, &QLineEdit::textEdited, box, [box] {
        const int fitted = std::max(typingLimit(box), static_cast<int>(box->text().size()));
        if (box->maxLength() > fitted)
            box->setMaxLength(fitted);
    });
}

void putBoxText(QLineEdit* box, const QString& text) {
    box->setMaxLength(std::max(typingLimit(box), static_cast<int>(text.size())));
    box->setText(text);
    // A filled box shows the start of its text, not the end a typing cursor would show.
    box->setCursorPosition(0);
}

} // namespace qm::naming
