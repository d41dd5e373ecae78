#pragma once

// Plain helpers of the toggle controls: accelerator parsing, the colour blend of disabled
// text and the geometry of the check box.

#include <QColor>
#include <QLine>
#include <QRect>
#include <QString>
#include <array>

namespace qm::controls {

// The character after the first '&'; none when that '&' is last or followed by another '&'.
QChar acceleratorOf(const QString& caption);

// Each of red, green and blue moved |percent| % toward white (percent > 0) or black.
QColor blendColor(const QColor& c, int percent);

// The box for a control of the given height: left 1, right 14, top h/2 - 6, 13 high
// (right/bottom exclusive, as the drawing maths use them).
struct BoxEdges {
    int left, top, right, bottom;
};
BoxEdges checkBoxEdges(int controlHeight);

// The check mark's four one-pixel lines, each from its first point to its last point,
// the last point left out.
std::array<QLine, 4> checkMarkLines(const BoxEdges& box);

} // namespace qm::controls
