#include "controls/LcdGeometry.h"

#include <algorithm>

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

} // namespace qm::controls
