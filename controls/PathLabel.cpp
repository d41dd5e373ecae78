#include "controls/PathLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>

using namespace qm::controls;

TFileLabel::TFileLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(false);
    setTextFormat(Qt::PlainText); // a path is never markup
    // A label that sized itself to its text would never need shortening.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    split();
}

TFileLabel::~TFileLabel() = default;

void TFileLabel::setFileName(const QString& name) {
    if (name == fileName_)
        return;
    fileName_ = name;
    split();
    fit();
    emit fileNameChanged(name);
}

void TFileLabel::setSeparator(const QString& s) {
    if (s == separator_)
        return;
    separator_ = s;
    split();
    fit();
    emit separatorChanged(s);
}

void TFileLabel::setDirection(TDirection d) {
    if (d == direction_)
        return;
    direction_ = d;
    fit();
    emit directionChanged(d);
}

void TFileLabel::split() {
    pieces_ = splitPath(fileName_, separator_);
}

void TFileLabel::fit() {
    const QFontMetrics fm(font());
    const auto width = [&fm](const QString& s) { return fm.horizontalAdvance(s); };
    const PathDirection dir =
        direction_ == drFromLeft ? PathDirection::FromLeft : PathDirection::FromRight;
    setText(fitPath(fileName_, pieces_, separator_, dir, QLabel::width(), width));
    if (fullNameTip_)
        setToolTip(text() == fileName_ ? QString() : fileName_);
}

void TFileLabel::setFullNameTip(bool on) {
    fullNameTip_ = on;
    if (!on)
        setToolTip(QString());
    fit();
}

void TFileLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void TFileLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fit();
}

void TFileLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
