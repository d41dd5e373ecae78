#include "controls/RollerGeometry.h"

#include <algorithm>

namespace qm::controls {

QRect rollerButtonRect(int w, const TFormStyle& s, const TSystemMetrics& m) {
    int r = 0, top = 0, bottom = 0, left = 0;
    switch (s.border) {
    case bsNone:
        return {};
    case bsToolWindow:
    case bsSizeToolWin: {
        const bool fixed = s.border == bsToolWindow;
        r = (fixed ? m.cxFixedFrame : m.cxSizeFrame) + 2;
        if (s.systemMenu)
            r += m.cxSmSize + 2;
        top = (fixed ? m.cyFixedFrame : m.cySizeFrame) + 2;
        bottom = top + m.cySmSize - 4;
        left = w - r - m.cxSmSize + 2;
        break;
    }
    case bsSingle:
    case bsSizeable:
    case bsDialog: {
        r = (s.border == bsSingle ? m.cyFixedFrame : m.cxSizeFrame) + 2;
        if (s.systemMenu) {
            r += m.cxSize + 2;
            if (s.border != bsDialog) {
                if (s.minimize || s.maximize)
                    r += 2 * m.cxSize - 6;
                else if (s.help)
                    r += m.cxSize - 4;
            }
        }
        top = (s.border == bsSizeable ? m.cySizeFrame : m.cyFixedFrame) + 2;
        bottom = top + m.cySize - 4;
        left = w - r - m.cxSize + 2;
        break;
    }
    }
    return QRect(QPoint(left, top), QPoint(w - r - 1, bottom - 1));
}

int rolledUpHeight(const TFormStyle& s, const TSystemMetrics& m, int remainHeight) {
    return m.cyCaption + (hasFixedFrame(s.border) ? m.cyFixedFrame : m.cySizeFrame) + 3 +
           remainHeight;
}

CaptionButtonRects captionButtonRects(int w, const TFormStyle& s, const TSystemMetrics& m) {
    CaptionButtonRects b;
    if (s.border == bsNone || !s.systemMenu)
        return b;
    const bool tool = isToolWindow(s.border);
    const int bw = (tool ? m.cxSmSize : m.cxSize) - 2;
    const int bh = (tool ? m.cySmSize : m.cySize) - 4;
    const int f = frameWidth(s, m);
    const int top = f + 2;
    int right = w - f - 2; // exclusive
    b.close = QRect(right - bw, top, bw, bh);
    right = b.close.left() - 2;
    if (tool)
        return b;
    if (s.minimize || s.maximize) {
        b.maximize = QRect(right - bw, top, bw, bh);
        b.minimize = QRect(b.maximize.left() - bw, top, bw, bh);
    } else if (s.help) {
        b.help = QRect(right - bw, top, bw, bh);
    }
    return b;
}

std::vector<QPoint> rollerTrianglePixels(const QSize& size, bool upward, bool filled, bool pushed) {
    // Rows from the base towards the apex, one pixel narrower at either side (45 degrees);
    // the upward one stops 2 pixels below the top.
    const int x0 = 4, x1 = size.width() - 1 - 4;
    const int middle = size.height() / 2;
    const int baseY = upward ? middle - 2 : middle;
    int rows = (x1 - x0) / 2 + 1;
    if (upward)
        rows = std::min(rows, baseY - 2 + 1);
    const int shift = pushed ? 1 : 0;
    std::vector<QPoint> pixels;
    for (int row = 0; row < rows; ++row) {
        const int y = upward ? baseY - row : baseY + row;
        const int a = x0 + row, b = x1 - row;
        for (int x = a; x <= b; ++x)
            if (filled || row == 0 || row == rows - 1 || x == a || x == b)
                pixels.emplace_back(x + shift, y + shift);
    }
    return pixels;
}

} // namespace qm::controls
