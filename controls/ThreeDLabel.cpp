#include "controls/ThreeDLabel.h"

#include "controls/DevicePixels.h"
#include "controls/PixelLines.h"
#include "controls/SystemColors.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <climits>
#include <cstdlib>

using namespace qm::controls;

namespace {
constexpr int kMaxCaption = 255;
} // namespace

TDRLabel::TDRLabel(QWidget* parent)
    : QLabel(parent), shadowColor_(qm::controls::system::btnHighlight()) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    savedTextColor_ = fontColor();
    announcedColor_ = color();
    announcedFontColor_ = fontColor();
    timer_ = new QTimer(this);
    timer_->setInterval(blinkInterval_);
    connect(timer_, &QTimer::timeout, this, &TDRLabel::blinkStep);
    resize(width() + deep_, height() + deep_);
}

TDRLabel::~TDRLabel() = default;

QColor TDRLabel::color() const {
    return palette().color(QPalette::Window);
}

void TDRLabel::setColor(const QColor& c) {
    if (c == color())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal); // announced by changeEvent()
}

QColor TDRLabel::fontColor() const {
    return palette().color(QPalette::WindowText);
}

void TDRLabel::setFontColor(const QColor& c) {
    if (c == fontColor())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, c);
    setPalette(pal); // announced by changeEvent()
}

void TDRLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    update();
    if (color() != announcedColor_) {
        announcedColor_ = color();
        emit colorChanged(announcedColor_);
    }
    if (fontColor() != announcedFontColor_) {
        announcedFontColor_ = fontColor();
        emit fontColorChanged(announcedFontColor_);
    }
}

void TDRLabel::setTransparent(bool on) {
    if (on == transparent_)
        return;
    transparent_ = on;
    update();
    emit transparentChanged(on);
}

void TDRLabel::setShowAccelChar(bool on) {
    if (on == showAccelChar_)
        return;
    showAccelChar_ = on;
    update();
    emit showAccelCharChanged(on);
}

void TDRLabel::setHiColor(const QColor& c) {
    if (c == hiColor_)
        return;
    hiColor_ = c;
    update();
    emit hiColorChanged(c);
}

void TDRLabel::setLoColor(const QColor& c) {
    if (c == loColor_)
        return;
    loColor_ = c;
    update();
    emit loColorChanged(c);
}

void TDRLabel::setBorder(TDRBorder b) {
    if (b == border_)
        return;
    border_ = b;
    update();
    emit borderChanged(b);
}

void TDRLabel::setCtl3D(bool on) {
    if (on == ctl3D_)
        return;
    ctl3D_ = on;
    update();
    emit ctl3DChanged(on);
}

void TDRLabel::setShadowColor(const QColor& c) {
    if (c == shadowColor_)
        return;
    shadowColor_ = c;
    update();
    emit shadowColorChanged(c);
}

void TDRLabel::setDeep(int d) {
    if (d == deep_ || d < 1 || d > 2)
        return;
    deep_ = d;
    update();
    emit deepChanged(d);
}

void TDRLabel::setBlinkInterval(int ms) {
    if (ms == blinkInterval_)
        return;
    blinkInterval_ = ms;
    // A negative period counts by its size: a zero-length one would blink as fast as it can.
    timer_->setInterval(ms == INT_MIN ? INT_MAX : std::abs(ms));
    update();
    emit blinkIntervalChanged(ms);
}

void TDRLabel::setBlink(TDRBlink b) {
    if (b == blink_)
        return;
    blink_ = b;
    if (b == blBlink)
        savedTextColor_ = fontColor();
    else
        setFontColor(savedTextColor_);
    if (b == blNone)
        timer_->stop();
    else if (!timer_->isActive())
        timer_->start();
    update();
    emit blinkChanged(b);
}

QSize TDRLabel::sizeHint() const {
    return QLabel::sizeHint() + QSize(deep_, deep_);
}

void TDRLabel::blinkStep() {
    if (blink_ == blHiLo)
        setFontColor(fontColor() == hiColor_ ? loColor_ : hiColor_);
    else
        setFontColor(fontColor() == color() ? savedTextColor_ : color());
}

void TDRLabel::paintEvent(QPaintEvent*) {
    // Above 1x drawn in device pixels: border lines whole, the text at the screen's resolution.
    DeviceCanvas canvas(this, QImage::Format_ARGB32_Premultiplied);
    canvas.image().fill(Qt::transparent);
    {
        QPainter p(&canvas.image());
        const DeviceGrid grid = canvas.grid(2, 2);
        const QRect client = rect();
        if (!transparent_)
            p.fillRect(grid.map(client), color());

        // The border runs on the client rectangle less one pixel at the right and bottom.
        const int l = 0, t = 0, r = client.width() - 1, b = client.height() - 1;
        const std::vector<QPoint> topLeft{{l, b - 1}, {l, t}, {r, t}};
        const std::vector<QPoint> bottomRight{{r - 1, t}, {r - 1, b - 1}, {l - 1, b - 1}};
        auto line = [&](const std::vector<QPoint>& points, const QColor& c) {
            fillPixels(p, grid, polylinePixels(points), c);
        };
        switch (border_) {
        case boNone:
            break;
        case boSingle:
            line({{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}},
                 qm::controls::system::windowFrame());
            break;
        case boRaised:
            line(topLeft, qm::controls::system::btnHighlight());
            line(bottomRight, qm::controls::system::btnShadow());
            break;
        case boLowered:
            line(topLeft, qm::controls::system::btnShadow());
            line(bottomRight, qm::controls::system::btnHighlight());
            break;
        }

        int flags = Qt::TextWordWrap | Qt::TextExpandTabs;
        const Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
        flags |= h ? int(h) : int(Qt::AlignLeft);
        flags |= int(alignment() & Qt::AlignVertical_Mask);
        if (showAccelChar_)
            flags |= Qt::TextShowMnemonic;
        const QString caption = text().left(kMaxCaption);
        p.setFont(font());
        // Text in logical coordinates; the shadow's offset is whole device lines.
        auto text = [&](int offset) {
            p.save();
            p.translate(offset * canvas.line(), offset * canvas.line());
            p.scale(canvas.ratio(), canvas.ratio());
            p.drawText(client, flags, caption);
            p.restore();
        };

        const bool visibleText = fontColor() != color();
        if (ctl3D_ && visibleText) {
            p.setPen(shadowColor_);
            text(deep_);
        }
        if (visibleText) {
            p.setPen(isEnabled() ? fontColor() : qm::controls::system::grayText());
            text(0);
        }
    }
    canvas.paintOn(this);
}
