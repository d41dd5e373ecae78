#include "controls/BalloonGeometry.h"

#include "controls/DevicePixels.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace qm::controls {

namespace {

constexpr int kTailInset = 15; // the body leaves this much room beside it for the tail
constexpr int kTailDrop = 19;  // ... and this much above or below it
constexpr int kTextMargin = 9;
constexpr int kCornerDiameter = 18;

// One byte per pixel, 255 inside the shape.
QImage shapePixels(const QSize& size, TBalloonPosition p, int d, TBalloonShape shape) {
    QImage img(size, QImage::Format_Grayscale8);
    img.fill(0);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(balloonShape(size, p, d, shape));
    return img;
}

bool inside(const QImage& pixels, int x, int y) {
    if (x < 0 || y < 0 || x >= pixels.width() || y >= pixels.height())
        return false;
    return pixels.constScanLine(y)[x] != 0;
}

} // namespace

int effectiveMaxWidth(int maxWidth, int screenWidth) {
    if (maxWidth > 0)
        return std::min(maxWidth, screenWidth);
    if (maxWidth < 0)
        return screenWidth / -maxWidth;
    return screenWidth;
}

int balloonTextWidthLimit(int pointerX, const QRect& screen, int effectiveMax, int shadowDepth) {
    const int fromLeft = pointerX - screen.left();
    const int fromRight = screen.left() + screen.width() - pointerX;
    const int limit = std::min(std::max(fromLeft, fromRight), effectiveMax);
    return std::max(1, limit - shadowDepth - kBalloonExtraWidth);
}

QSize balloonWindowSize(const QSize& textSize, int shadowDepth) {
    return {std::max(textSize.width() + shadowDepth + kBalloonExtraWidth, kBalloonMinWidth),
            textSize.height() + shadowDepth + kBalloonExtraHeight};
}

QSize measureBalloonText(const QFont& font, const QString& text, int limit) {
    const QFontMetrics fm(font);
    return fm.boundingRect(QRect(0, 0, std::max(1, limit), 1 << 20), Qt::TextWordWrap, text).size();
}

bool isBelow(TBalloonPosition p) {
    return p == bpBelowLeft || p == bpBelowRight;
}
bool isRight(TBalloonPosition p) {
    return p == bpAboveRight || p == bpBelowRight;
}

TBalloonPosition balloonPosition(bool below, bool right) {
    if (below)
        return right ? bpBelowRight : bpBelowLeft;
    return right ? bpAboveRight : bpAboveLeft;
}

QPoint balloonOrigin(TBalloonPosition p, const QPoint& pointer, const QSize& size) {
    const int x = pointer.x(), y = pointer.y();
    switch (p) {
    case bpAboveLeft:
        return {x - size.width(), y - size.height()};
    case bpAboveRight:
        return {x, y - size.height()};
    case bpBelowLeft:
        return {x - size.width(), y};
    case bpBelowRight:
        break;
    }
    return {x + 1, y + 1};
}

BalloonPlacement placeBalloon(TBalloonPosition preferred, const QPoint& pointer, const QSize& size,
                              const QRect& screen) {
    QPoint origin = balloonOrigin(preferred, pointer, size);
    bool below = isBelow(preferred);
    bool right = isRight(preferred);
    if (origin.y() + size.height() > screen.top() + screen.height())
        below = false;
    if (origin.y() < screen.top())
        below = true;
    if (origin.x() + size.width() > screen.left() + screen.width())
        right = false;
    if (origin.x() < screen.left())
        right = true;
    const TBalloonPosition direction = balloonPosition(below, right);
    if (direction != preferred)
        origin = balloonOrigin(direction, pointer, size);
    return {origin, direction};
}

QRect balloonBody(const QSize& size, TBalloonPosition p, int d) {
    QRect body(0, 0, size.width() - d - kTailInset, size.height() - d - kTailDrop);
    switch (p) {
    case bpAboveLeft:
        break;
    case bpAboveRight:
        body.translate(kTailInset, 0);
        break;
    case bpBelowLeft:
        body.translate(0, kTailDrop);
        break;
    case bpBelowRight:
        body.translate(kTailInset, kTailDrop);
        break;
    }
    return body;
}

QPolygon balloonTail(const QSize& size, TBalloonPosition p, int d) {
    const int w = size.width(), h = size.height();
    switch (p) {
    case bpAboveLeft: {
        const QPoint tip(w - d, h - d);
        return QPolygon(
            {tip, QPoint(tip.x() - 21, tip.y() - 20), QPoint(tip.x() - 41, tip.y() - 20)});
    }
    case bpAboveRight: {
        const QPoint tip(0, h - d);
        return QPolygon({tip, QPoint(21, tip.y() - 20), QPoint(41, tip.y() - 20)});
    }
    case bpBelowLeft: {
        const QPoint tip(w - d, 0);
        return QPolygon({tip, QPoint(tip.x() - 21, kTailDrop), QPoint(tip.x() - 41, kTailDrop)});
    }
    case bpBelowRight:
        break;
    }
    return QPolygon({QPoint(0, 0), QPoint(21, kTailDrop), QPoint(41, kTailDrop)});
}

QRect balloonTextRect(const QSize& size, TBalloonPosition p, int d) {
    return balloonBody(size, p, d).adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin);
}

QPainterPath balloonShape(const QSize& size, TBalloonPosition p, int d, TBalloonShape shape) {
    const QRectF body = balloonBody(size, p, d);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (shape == bsRoundRect)
        path.addRoundedRect(body, kCornerDiameter / 2.0, kCornerDiameter / 2.0);
    else
        path.addRect(body);
    QPainterPath tail;
    tail.setFillRule(Qt::OddEvenFill);
    tail.addPolygon(QPolygonF(balloonTail(size, p, d)));
    tail.closeSubpath();
    return path.united(tail);
}

QBitmap balloonMask(const QSize& size, TBalloonPosition p, int d, TBalloonShape shape) {
    const QImage pixels = shapePixels(size, p, d, shape);
    QImage mono(size, QImage::Format_MonoLSB);
    mono.setColorCount(2);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (inside(pixels, x, y) || (d > 0 && inside(pixels, x - d, y - d)))
                mono.setPixel(x, y, 1);
    return QBitmap::fromImage(mono);
}

QImage renderBalloonShape(const QSize& size, TBalloonPosition p, const BalloonLook& look,
                          const QImage& background, const QSize& device, int line) {
    const QSize dev = device.isEmpty() ? size : device;
    QImage img(dev, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (!background.isNull()) {
        QPainter bg(&img);
        if (dev == size) {
            bg.drawImage(0, 0, background);
        } else {
            QImage pixels = background;
            pixels.setDevicePixelRatio(1.0);
            bg.drawImage(QRect(QPoint(0, 0), dev), pixels);
        }
    }
    const int d = look.shadowDepth;
    QImage balloon = shapePixels(size, p, d, look.shape);
    int shadowX = d, shadowY = d;
    if (dev != size) {
        // Each 1x pixel onto the device pixels its edges round to, as the window's shape is.
        const DeviceGrid grid{DeviceAxis(size.width(), dev.width(), 0, line),
                              DeviceAxis(size.height(), dev.height(), 0, line)};
        QImage scaled(dev, QImage::Format_Grayscale8);
        scaled.fill(0);
        QPainter painter(&scaled);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (inside(balloon, x, y))
                    painter.fillRect(grid.map(QRect(x, y, 1, 1)), Qt::white);
        painter.end();
        balloon = scaled;
        shadowX = grid.x.start(d);
        shadowY = grid.y.start(d);
    }
    const QRgb black = qRgb(0, 0, 0);
    const QRgb fill = look.fill.rgb();
    const QRgb outline = look.outline.rgb();
    const auto onEdge = [&](int x, int y) {
        for (int k = 1; k <= line; ++k)
            if (!inside(balloon, x - k, y) || !inside(balloon, x + k, y) ||
                !inside(balloon, x, y - k) || !inside(balloon, x, y + k))
                return true;
        return false;
    };

    for (int y = 0; y < dev.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < dev.width(); ++x) {
            const bool inBalloon = inside(balloon, x, y);
            const bool inShadow = d > 0 && inside(balloon, x - shadowX, y - shadowY);
            if (inShadow || (d > 0 && inBalloon)) {
                // The shaded shadow darkens every other pixel of both shapes, so the
                // background shows through the rest; the balloon then covers its own part.
                if (look.shadowStyle == ssSolid ? inShadow : (x / line + y / line) % 2 == 0)
                    row[x] = black;
            }
            if (inBalloon)
                row[x] = onEdge(x, y) ? outline : fill;
        }
    }

    return img;
}

void drawBalloonText(QPainter& painter, const QSize& size, TBalloonPosition p,
                     const BalloonLook& look, const QString& text) {
    painter.setFont(look.font);
    painter.setPen(look.textColor);
    painter.drawText(balloonTextRect(size, p, look.shadowDepth),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

QImage renderBalloon(const QSize& size, TBalloonPosition p, const BalloonLook& look,
                     const QString& text, const QImage& background) {
    QImage img = renderBalloonShape(size, p, look, background);
    QPainter painter(&img);
    drawBalloonText(painter, size, p, look, text);
    return img;
}

} // namespace qm::controls
