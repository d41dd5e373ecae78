#pragma once

// One-pixel lines as the classic drawing calls make them: every pixel from the first point
// up to, but not including, the last one. Bevels and check marks rely on that rule.

#include <QColor>
#include <QPoint>
#include <vector>

class QPainter;

namespace qm::controls {

std::vector<QPoint> linePixels(QPoint from, QPoint to);
std::vector<QPoint> polylinePixels(const std::vector<QPoint>& points);

void drawPolyline(QPainter& p, const std::vector<QPoint>& points, const QColor& color);

} // namespace qm::controls
