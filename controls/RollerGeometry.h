#pragma once

// Window roller maths: where its caption button sits, how tall a rolled-up window stays, and
// the pixels of the button's two triangles.

#include "controls/FormFrame.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace qm::controls {

// The roller's button in window coordinates for a window `windowWidth` wide, just left of
// the caption buttons; an empty rectangle for a window without a border.
QRect rollerButtonRect(int windowWidth, const TFormStyle& style, const TSystemMetrics& m);

// Height of the part of the window that stays visible when it is rolled up: the caption,
// the top frame, a three-pixel bottom edge and the extra `remainHeight`.
int rolledUpHeight(const TFormStyle& style, const TSystemMetrics& m, int remainHeight);

// The caption buttons the bar draws, right to left; empty rectangles for those not shown.
struct CaptionButtonRects {
    QRect close;
    QRect maximize;
    QRect minimize;
    QRect help;
};
CaptionButtonRects captionButtonRects(int windowWidth, const TFormStyle& style,
                                      const TSystemMetrics& m);

// The two triangles in a button of `size` (button coordinates): the upward one in the upper
// half, the downward one in the lower half, both shifted one pixel right and down while the
// button is pushed. `filled` false gives only the outline.
std::vector<QPoint> rollerTrianglePixels(const QSize& size, bool upward, bool filled, bool pushed);

} // namespace qm::controls
