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
}

void TFlashingLabel::setInterval(int ms) {
    if (ms == interval_)
        return;
    // abs(INT_MIN) is undefined; the longest period stands in for it.
    interval_ = ms == INT_MIN ? INT_MAX : std::abs(ms);
    if (timer_)
        timer_->setInterval(interval_);
    update();
}

void TFlashingLabel::toggleVisibility() {
    setHidden(!isHidden());
}
