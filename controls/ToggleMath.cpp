#include "controls/ToggleMath.h"

#include <cstdlib>

namespace qm::controls {

QChar acceleratorOf(const QString& caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= caption.size() || caption[amp + 1] == QLatin1Char('&'))
        return QChar();
    return caption[amp + 1];
}

QColor blendColor(const QColor& c, int percent) {
    const int target = percent > 0 ? 255 : 0;
    const int p = std::abs(percent);
    auto move = [&](int v) { return v + p * (target - v) / 100; };
    return QColor(move(c.red()), move(c.green()), move(c.blue()));
}

BoxEdges checkBoxEdges(int controlHeight) {
    const int top = controlHeight / 2 - 6;
    return {1, top, 14, top + 13};
}

std::array<QLine, 4> checkMarkLines(const BoxEdges& b) {
    return {
        QLine(b.left + 2, b.bottom - 6, b.left + 2, b.bottom - 1),
        QLine(b.left + 3, b.bottom - 7, b.left + 3, b.bottom - 2),
        QLine(b.left + 3, b.bottom - 2, b.right - 1, b.top + 2),
        QLine(b.right - 3, b.top + 3, b.left + 1, b.bottom - 1),
    };
}

} // namespace qm::controls
