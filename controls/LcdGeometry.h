#pragma once

// Sizing maths of the dot-matrix counter, free of any widget so tests can call it.

#include <QSize>

namespace qm::controls {

struct LcdCounts {
    int noOfChars;
    int textLines;
};

struct LcdSpacing {
    int pixelSpacing;
    int charSpacing;
    int lineSpacing;
    int borderSpace;
};

// Pixel size of one character cell for a grid of columns x rows dots of edge dotSize.
QSize lcdCellSize(int columns, int rows, int dotSize, int pixelSpacing);

// Rule A: the character and line counts that fit a size (each at least 1).
LcdCounts lcdCountsForSize(QSize size, QSize cell, const LcdSpacing& s);

// Rule B: the size taken by the counts, frame lines included.
QSize lcdSizeForCounts(LcdCounts counts, QSize cell, const LcdSpacing& s);

// A lit dot's shade for the Shaped look: each colour byte halved.
struct LcdRgb {
    int r, g, b;
};
LcdRgb lcdShade(LcdRgb on);

} // namespace qm::controls
