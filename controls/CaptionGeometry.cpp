#include "controls/CaptionGeometry.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace qm::controls {

int mulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

std::vector<GradientBand> gradientBands(const QRect& area, const QColor& start, const QColor& end,
                                        int numColors) {
    std::vector<GradientBand> bands;
    if (numColors < 1)
        return bands;
    const int w = area.width();
    const int steps = numColors - 1;
    auto channel = [&](int from, int to, int i) {
        return steps == 0 ? from : from + mulDiv(i, to - from, steps);
    };
    for (int i = 0; i < numColors; ++i) {
        const int x0 = area.left() + mulDiv(i, w, numColors);
        const int x1 = area.left() + mulDiv(i + 1, w, numColors);
        const QColor c(channel(start.red(), end.red(), i), channel(start.green(), end.green(), i),
                       channel(start.blue(), end.blue(), i));
        bands.push_back({QRect(x0, area.top(), x1 - x0, area.height()), c});
    }
    return bands;
}

bool gradientShown(TGradEnabled enabled, bool active, int depth) {
    switch (enabled) {
    case geAlways:
        return true;
    case geNever:
        return false;
    case geWhenActive:
        return active;
    case geSmart:
        break;
    }
    return active ? depth >= 8 : depth > 8;
}

QRect captionRect(int w, const TFormStyle& s, const TSystemMetrics& m) {
    const int f =
        s.border == bsSizeable || s.border == bsSizeToolWin ? m.cxSizeFrame : m.cxFixedFrame;
    // Bottom exclusive minus one: the caption's last line belongs to the frame.
    return QRect(f, f, w - 2 * f, captionHeight(s, m) - 1);
}

QRect captionTextArea(int w, const TFormStyle& s, const TSystemMetrics& m) {
    QRect r = captionRect(w, s, m);
    const int bw = isToolWindow(s.border) ? m.cxSmSize : m.cxSize;
    int buttons = 0;
    if (s.systemMenu) {
        buttons += bw + 2;
        if (!isToolWindow(s.border)) {
            if (s.minimize || s.maximize)
                buttons += 2 * bw;
            else if (s.help)
                buttons += bw + 2;
        }
    }
    r.setRight(r.right() - buttons);
    if (r.width() < 2)
        r.setWidth(2);
    return r;
}

bool captionHasIcon(const TFormStyle& s) {
    return s.systemMenu && (s.border == bsSingle || s.border == bsSizeable);
}

std::vector<DrawnCaptionPart> layoutCaptionParts(const QRect& area,
                                                 const std::array<CaptionPartText, 3>& parts,
                                                 TJustification justification) {
    std::array<int, 3> widths{};
    for (int i = 0; i < 3; ++i)
        widths[i] = QFontMetrics(parts[i].font).horizontalAdvance(parts[i].text) + 3;
    auto total = [&](int from) {
        int sum = 0;
        for (int i = from; i < 3; ++i)
            if (parts[i].visible)
                sum += widths[i];
        return sum;
    };
    int first = CaptionPart;
    if (total(CompanyPart) <= area.width())
        first = CompanyPart;
    else if (total(AppNamePart) <= area.width())
        first = AppNamePart;
    const int drawnWidth = total(first);

    int x = area.left();
    if (drawnWidth <= area.width()) {
        // New-style bars leave automatic justification at the left.
        if (justification == jCenter)
            x += (area.width() - drawnWidth) / 2;
        else if (justification == jRight)
            x += area.width() - drawnWidth;
    }

    std::vector<DrawnCaptionPart> drawn;
    for (int i = first; i < 3; ++i) {
        if (!parts[i].visible)
            continue;
        const QRect r(QPoint(x + 3, area.top()), QPoint(area.right(), area.bottom()));
        const QString text =
            QFontMetrics(parts[i].font).elidedText(parts[i].text, Qt::ElideRight, r.width());
        drawn.push_back({i, r, text});
        x += widths[i];
    }
    return drawn;
}

QString joinCaptionParts(const std::array<QString, 3>& captions,
                         const std::array<bool, 3>& visible) {
    QString s;
    for (int i = 0; i < 3; ++i) {
        if (!visible[i])
            continue;
        s += captions[i];
        const bool visibleRight =
            std::any_of(visible.begin() + i + 1, visible.end(), [](bool v) { return v; });
        if (!captions[i].isEmpty() && visibleRight)
            s += QLatin1Char(' ');
    }
    return s;
}

namespace {

// Everything up to and including the first `prefix`, then one blank. A prefix that is not
// there removes nothing, so an unrelated caption is never cut.
QString stripPrefix(QString s, const QString& prefix) {
    if (!prefix.isEmpty()) {
        const int at = s.indexOf(prefix);
        if (at < 0)
            return s;
        s.remove(0, at + prefix.size());
        if (s.startsWith(QLatin1Char(' ')))
            s.remove(0, 1);
    }
    return s;
}

} // namespace

QString captionPartOf(const QString& windowCaption, const QString& company, bool companyVisible,
                      const QString& appName, bool appNameVisible) {
    QString s = windowCaption;
    if (companyVisible)
        s = stripPrefix(s, company);
    if (appNameVisible)
        s = stripPrefix(s, appName);
    return s;
}

QFont fontFittingHeight(const QFont& font, const QFont& reference) {
    const QFontMetrics ref(reference);
    const int target = ref.ascent() + ref.descent();
    QFont f = font;
    for (int px = std::max(target, 1); px > 1; --px) {
        f.setPixelSize(px);
        const QFontMetrics fm(f);
        if (fm.ascent() + fm.descent() <= target)
            return f;
    }
    f.setPixelSize(1);
    return f;
}

} // namespace qm::controls
