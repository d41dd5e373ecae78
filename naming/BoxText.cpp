#include "naming/BoxText.h"

#include <QLineEdit>

#include <algorithm>

namespace {

const char* const LimitProperty = "qmTypingLimit";

int TypingLimit(const QLineEdit* box) {
    const QVariant limit = box->property(LimitProperty);
    return limit.isValid() ? limit.toInt() : box->maxLength();
}

} // namespace

void KeepTypingLimit(QLineEdit* box) {
    if (box->property(LimitProperty).isValid())
        return;
    box->setProperty(LimitProperty, box->maxLength());
    QObject::connect(box, &QLineEdit::textEdited, box, [box] {
        const int fitted = std::max(TypingLimit(box), static_cast<int>(box->text().size()));
        if (box->maxLength() > fitted)
            box->setMaxLength(fitted);
    });
}

void PutBoxText(QLineEdit* box, const QString& text) {
    box->setMaxLength(std::max(TypingLimit(box), static_cast<int>(text.size())));
    box->setText(text);
    // A filled box shows the start of its text, not the end a typing cursor would show.
    box->setCursorPosition(0);
}
