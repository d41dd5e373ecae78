#include "controls/DevicePixels.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace qm::controls {

int deviceLine(qreal ratio) {
    return std::max(1, static_cast<int>(std::ceil(ratio - 0.5)));
}

DeviceAxis::DeviceAxis(int logical, int device, int edge, int line)
    : logical_(std::max(logical, 0)), device_(std::max(device, 0)), line_(line) {
    // The edges never take more than the axis has, nor more than half of it each.
    edge_ = std::clamp(edge, 0, logical_ / 2);
    while (edge_ > 0 && 2 * edge_ * line_ > device_)
        --edge_;
}

int DeviceAxis::start(int x) const {
    x = std::clamp(x, 0, logical_);
    if (x <= edge_)
        return x * line_;
    if (x >= logical_ - edge_)
        return device_ - (logical_ - x) * line_;
    const int inner = logical_ - 2 * edge_;
    const int room = device_ - 2 * edge_ * line_;
    // Rounded to nearest, so the middle spreads evenly.
    return edge_ * line_ + static_cast<int>((static_cast<qint64>(x - edge_) * room * 2 + inner) /
                                            (2 * static_cast<qint64>(inner)));
}

QRect DeviceGrid::map(const QRect& r) const {
    const int left = x.start(r.left()), top = y.start(r.top());
    return QRect(left, top, x.start(r.left() + r.width()) - left,
                 y.start(r.top() + r.height()) - top);
}

void fillPixels(QPainter& p, const DeviceGrid& g, const std::vector<QPoint>& pixels,
                const QColor& color) {
    // A run of pixels in one row or column is one rectangle (a grid maps neighbours onto
    // neighbouring device pixels), so a bevel's line costs one fill instead of one per pixel.
    for (size_t i = 0; i < pixels.size();) {
        size_t end = i + 1;
        if (end < pixels.size()) {
            const QPoint step = pixels[end] - pixels[i];
            if (step.manhattanLength() == 1)
                while (end < pixels.size() && pixels[end] - pixels[end - 1] == step)
                    ++end;
        }
        const QPoint a = pixels[i], b = pixels[end - 1];
        p.fillRect(g.map(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                               QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())))),
                   color);
        i = end;
    }
}

namespace {

// The device pixels a widget's painting reaches: its edges in the window, scaled and rounded
// each on its own (so its width can differ by one from its scaled width).
QRect deviceRectOf(const QWidget* widget, qreal ratio) {
    const QRect r(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    const int left = qRound(r.left() * ratio), top = qRound(r.top() * ratio);
    return QRect(left, top, qRound((r.left() + r.width()) * ratio) - left,
                 qRound((r.top() + r.height()) * ratio) - top);
}

} // namespace

DeviceCanvas::DeviceCanvas(const QWidget* widget, QImage::Format format)
    : ratio_(widget->devicePixelRatioF()), line_(deviceLine(ratio_)), logical_(widget->size()) {
    if (ratio_ == 1.0)
        image_ = QImage(logical_, format);
    else
        image_ = QImage(deviceRectOf(widget, ratio_).size().expandedTo(QSize(1, 1)), format);
}

DeviceGrid DeviceCanvas::grid(int edgeX, int edgeY) const {
    return {DeviceAxis(logical_.width(), image_.width(), edgeX, line_),
            DeviceAxis(logical_.height(), image_.height(), edgeY, line_)};
}

void DeviceCanvas::paintOn(QWidget* widget) const {
    QPainter p(widget);
    if (ratio_ == 1.0) {
        p.drawImage(0, 0, image_);
        return;
    }
    // Onto whole device pixels, one image pixel to one screen pixel.
    const QRect device = deviceRectOf(widget, ratio_);
    const QPointF at = QPointF(widget->mapTo(widget->window(), QPoint(0, 0)));
    const QRectF target(QPointF(device.topLeft()) / ratio_ - at, QSizeF(image_.size()) / ratio_);
    p.drawImage(target, image_);
}

} // namespace qm::controls
