#pragma once

// Drawing maths of the colour button: derived colours, the bevel passes and the placement
// of pictures and caption blocks. Plain functions, testable without a window.

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace qm::controls {

// Each byte of c increased (or decreased) by 64 and clamped.
QColor bevelHighlight(const QColor& c);
QColor bevelShadow(const QColor& c);

// Nine positions: column 0 left, 1 centre, 2 right; row 0 top, 1 middle, 2 bottom.
struct Placement {
    int column;
    int row;
};

// Top-left corner of a block of size `block` placed in `area`.
QPoint placeBlock(const QRect& area, QSize block, Placement where);

// One line of a bevel pass: a polyline whose last point is not drawn.
struct BevelLine {
    std::vector<QPoint> points;
    QColor color;
};

// The two polylines of one plain-bevel pass on rectangle r (right/bottom exclusive), the
// bottom-right one first. `a` colours bottom and right, `b` left and top.
std::vector<BevelLine> plainBevelPass(const QRect& r, const QColor& a, const QColor& b);

// The same for the two-line frame, whose bottom-right line ends one row above r's top.
std::vector<BevelLine> win95BevelPass(const QRect& r, const QColor& a, const QColor& b);

} // namespace qm::controls
