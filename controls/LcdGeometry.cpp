#include "controls/LcdGeometry.h"

#include <algorithm>
#include <cmath>

namespace qm::controls {

QSize lcdCellSize(int columns, int rows, int dotSize, int pixelSpacing) {
    return QSize(columns * dotSize + (columns - 1) * pixelSpacing,
                 rows * dotSize + (rows - 1) * pixelSpacing);
}

LcdCounts lcdCountsForSize(QSize size, QSize cell, const LcdSpacing& s) {
    // C++ integer division truncates toward zero, as the rule wants.
    const int chars =
        (size.width() - 2 * s.borderSpace + s.charSpacing) / (cell.width() + s.charSpacing);
    const int lines =
        (size.height() - 2 * s.borderSpace + s.lineSpacing) / (cell.height() + s.lineSpacing);
    return {std::max(chars, 1), std::max(lines, 1)};
}

QSize lcdSizeForCounts(LcdCounts c, QSize cell, const LcdSpacing& s) {
    // The two extra pixels are the frame lines.
    return QSize(
        2 * s.borderSpace + (c.noOfChars - 1) * s.charSpacing + c.noOfChars * cell.width() + 2,
        2 * s.borderSpace + (c.textLines - 1) * s.lineSpacing + c.textLines * cell.height() + 2);
}

LcdRgb lcdShade(LcdRgb on) {
    return {on.r / 2, on.g / 2, on.b / 2};
}

namespace {

// Gaps round as lines do (half down); one the 1x look has never vanishes.
int scaledGap(int logical, double ratio) {
    return logical > 0 ? std::max(1, static_cast<int>(std::ceil(logical * ratio - 0.5))) : 0;
}

struct AxisLayout {
    int dot, gap, between;
};

// One axis: `cells` cells of `dots` dots each, the cells `betweenSize` apart at 1x.
AxisLayout axisLayout(int dots, int cells, int dotSize, int gapSize, int betweenSize, double ratio,
                      int device, int line) {
    const int interior = device - 2 * line;
    const int logicalCell = dots * dotSize + (dots - 1) * gapSize;
    const long ideal = std::lround((cells * logicalCell + (cells - 1) * betweenSize) * ratio);
    int dot = std::max(1, static_cast<int>(std::lround(dotSize * ratio)));
    int gap = scaledGap(gapSize, ratio);
    auto cellOf = [&] { return dots * dot + (dots - 1) * gap; };
    auto between = [&] {
        if (cells < 2)
            return 0;
        const long rest = ideal - static_cast<long>(cells) * cellOf();
        int b = static_cast<int>(std::max(rest, 0L) / (cells - 1));
        // Characters stay further apart than their dots when they were so at 1x.
        if (betweenSize > gapSize)
            b = std::max(b, gap + 1);
        else if (betweenSize > 0)
            b = std::max(b, 1);
        return b;
    };
    auto total = [&] { return cells * cellOf() + (cells - 1) * between(); };
    // Rounding up can overfill a small frame: shrink the gaps first, then the dots.
    while (total() > interior && gap > (gapSize > 0 ? 1 : 0))
        --gap;
    while (total() > interior && dot > 1)
        --dot;
    return {dot, gap, between()};
}

} // namespace

LcdDeviceLayout lcdDeviceLayout(QSize grid, LcdCounts counts, int dotSize, const LcdSpacing& s,
                                double ratio, QSize device, int line) {
    if (ratio == 1.0)
        return {dotSize, s.pixelSpacing, s.charSpacing, s.lineSpacing,
                QPoint(s.borderSpace + 1, s.borderSpace + 1)};
    const AxisLayout h = axisLayout(grid.width(), counts.noOfChars, dotSize, s.pixelSpacing,
                                    s.charSpacing, ratio, device.width(), line);
    const AxisLayout v = axisLayout(grid.height(), counts.textLines, dotSize, s.pixelSpacing,
                                    s.lineSpacing, ratio, device.height(), line);
    // Dots stay square and evenly spaced in both directions: the smaller choice of the two.
    const int dot = std::min(h.dot, v.dot);
    const int gap = std::min(h.gap, v.gap);
    auto origin = [&](int dots, int cells, int between, int device) {
        const int total = cells * (dots * dot + (dots - 1) * gap) + (cells - 1) * between;
        return line + std::max(device - 2 * line - total, 0) / 2;
    };
    return {dot, gap, h.between, v.between,
            QPoint(origin(grid.width(), counts.noOfChars, h.between, device.width()),
                   origin(grid.height(), counts.textLines, v.between, device.height()))};
}

} // namespace qm::controls
