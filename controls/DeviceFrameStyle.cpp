#include "controls/DeviceFrameStyle.h"

#include "controls/DevicePixels.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace qm::controls {

namespace {

bool fractional(qreal ratio) {
    return ratio != std::floor(ratio);
}

} // namespace

void DeviceFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    if (element != CE_ShapedFrame || !frame || !fractional(ratio) || option->rect.isEmpty()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The frame as the base style draws it at 1x.
    QStyleOptionFrame at1x(*frame);
    at1x.rect = QRect(QPoint(0, 0), option->rect.size());
    QImage logical(at1x.rect.size(), QImage::Format_ARGB32_Premultiplied);
    logical.fill(Qt::transparent);
    {
        QPainter p(&logical);
        QProxyStyle::drawControl(element, &at1x, &p, widget);
    }
    // Where the frame's rectangle lies in device pixels, each edge rounded on its own.
    const QTransform toDevice = painter->deviceTransform();
    const QPointF from = toDevice.map(QPointF(option->rect.topLeft()));
    const QPointF to = toDevice.map(
        QPointF(option->rect.topLeft() + QPoint(option->rect.width(), option->rect.height())));
    const QRect device(QPoint(qRound(from.x()), qRound(from.y())),
                       QPoint(qRound(to.x()) - 1, qRound(to.y()) - 1));
    const int edge = 2 * std::max(frame->lineWidth, 1) + frame->midLineWidth;
    const int line = deviceLine(ratio);
    const DeviceGrid grid{DeviceAxis(logical.width(), device.width(), edge, line),
                          DeviceAxis(logical.height(), device.height(), edge, line)};
    painter->save();
    // Device coordinates: undo everything between the painter's logical and device pixels.
    painter->setWorldTransform(toDevice.inverted() * painter->worldTransform());
    painter->translate(device.topLeft());
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (int y = 0; y < logical.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(logical.constScanLine(y));
        for (int x = 0; x < logical.width();) {
            int end = x + 1;
            while (end < logical.width() && row[end] == row[x])
                ++end;
            if (qAlpha(row[x]) != 0) {
                const QRect cells = grid.map(QRect(x, y, end - x, 1));
                painter->fillRect(cells, QColor::fromRgba(qUnpremultiply(row[x])));
            }
            x = end;
        }
    }
    painter->restore();
}

void useDeviceFrames(const QWidget* window) {
    if (!fractional(window->devicePixelRatioF()))
        return;
    for (const QStyle* s = QApplication::style(); s;) {
        if (qobject_cast<const DeviceFrameStyle*>(s))
            return;
        const auto* proxy = qobject_cast<const QProxyStyle*>(s);
        s = proxy ? proxy->baseStyle() : nullptr;
    }
    // Around the style in place, so what it does (the hint timing) still holds.
    auto* style = new DeviceFrameStyle;
    style->setBaseStyle(QApplication::style());
    QApplication::setStyle(style);
}

} // namespace qm::controls
