#include "controls/ButtonMath.h"

#include <algorithm>
#include <cstdlib>

namespace qm::controls {

QColor bevelHighlight(const QColor& c) {
    return QColor(std::min(c.red() + 64, 255), std::min(c.green() + 64, 255),
                  std::min(c.blue() + 64, 255));
}

QColor bevelShadow(const QColor& c) {
    return QColor(std::max(c.red() - 64, 0), std::max(c.green() - 64, 0),
                  std::max(c.blue() - 64, 0));
}

QPoint placeBlock(const QRect& area, QSize block, Placement where) {
    const int left = area.x();
    const int top = area.y();
    const int right = area.x() + area.width();
    const int bottom = area.y() + area.height();
    int x = left;
    if (where.column == 1)
        x = left + area.width() / 2 - block.width() / 2;
    else if (where.column == 2)
        x = right - block.width();
    int y = top;
    if (where.row == 1)
        y = top + area.height() / 2 - block.height() / 2;
    else if (where.row == 2)
        y = bottom - block.height();
    return QPoint(x, y);
}

namespace {
int right(const QRect& r) {
    return r.x() + r.width();
}
int bottom(const QRect& r) {
    return r.y() + r.height();
}
} // namespace

std::vector<BevelLine> plainBevelPass(const QRect& r, const QColor& a, const QColor& b) {
    return {
        {{QPoint(r.x(), bottom(r) - 1), QPoint(right(r) - 1, bottom(r) - 1),
          QPoint(right(r) - 1, r.y())},
         a},
        {{QPoint(r.x(), bottom(r) - 1), QPoint(r.x(), r.y()), QPoint(right(r), r.y())}, b},
    };
}

std::vector<BevelLine> win95BevelPass(const QRect& r, const QColor& a, const QColor& b) {
    return {
        {{QPoint(r.x(), bottom(r) - 1), QPoint(right(r) - 1, bottom(r) - 1),
          QPoint(right(r) - 1, r.y() - 1)},
         a},
        {{QPoint(r.x(), bottom(r) - 1), QPoint(r.x(), r.y()), QPoint(right(r), r.y())}, b},
    };
}

} // namespace qm::controls
