#pragma once

// Sizing maths of the dot-matrix counter, free of any widget so tests can call it.

#include <QPoint>
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

// Where the dots go in device pixels at a display ratio: every dot the same size, every gap
// between dots, characters and lines the same width, the text centred between the frame
// lines. At ratio 1 it is the logical layout.
struct LcdDeviceLayout {
    int dot;
    int gap;       // between the dots of one character
    int charGap;   // between characters
    int lineGap;   // between lines
    QPoint origin; // top-left dot of the first character
};
LcdDeviceLayout lcdDeviceLayout(QSize grid, LcdCounts counts, int dotSize, const LcdSpacing& s,
                                double ratio, QSize device, int line);

} // namespace qm::controls
