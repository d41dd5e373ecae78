#include "controls/PixelLines.h"

#include <QPainter>
#include <cstdlib>

namespace qm::controls {

std::vector<QPoint> linePixels(QPoint from, QPoint to) {
    std::vector<QPoint> out;
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        out.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return out;
}

std::vector<QPoint> polylinePixels(const std::vector<QPoint>& points) {
    std::vector<QPoint> out;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const auto seg = linePixels(points[i], points[i + 1]);
        out.insert(out.end(), seg.begin(), seg.end());
    }
    return out;
}

void drawPolyline(QPainter& p, const std::vector<QPoint>& points, const QColor& color) {
    for (const QPoint& px : polylinePixels(points))
        p.fillRect(px.x(), px.y(), 1, 1, color);
}

} // namespace qm::controls
