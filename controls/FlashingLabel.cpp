#include "controls/FlashingLabel.h"

#include <QTimer>
#include <climits>
#include <cstdlib>

TFlashingLabel::TFlashingLabel(QWidget* parent) : QLabel(parent) {}

TFlashingLabel::~TFlashingLabel() {
    if (timer_)
        timer_->stop();
    delete timer_;
}

void TFlashingLabel::setColor(const QColor& c) {
    if (c == color_)
        return;
    color_ = c;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, c);
    setPalette(pal);
    update();
    emit colorChanged(c);
}

void TFlashingLabel::setFlashing(bool on) {
    if (on == flashing_)
        return;
    flashing_ = on;
    if (on) {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, &TFlashingLabel::toggleVisibility);
        timer_->setInterval(interval_);
        timer_->start();
    } else {
        timer_->stop();
        delete timer_;
        timer_ = nullptr;
        setVisible(true);
    }
    update();
    emit flashingChanged(on);
}

void TFlashingLabel::setInterval(int ms) {
    // abs(INT_MIN) is undefined; the longest period stands in for it.
    const int stored = ms == INT_MIN ? INT_MAX : std::abs(ms);
    if (stored == interval_)
        return;
    interval_ = stored;
    if (timer_)
        timer_->setInterval(interval_);
    update();
    emit intervalChanged(interval_);
}

void TFlashingLabel::toggleVisibility() {
    setHidden(!isHidden());
}
