#include "controls/FormFrame.h"

#include "controls/SystemColors.h"

#include <QPainter>
#include <QWidget>

namespace qm::controls {

bool isForm(const QObject* owner) {
    const auto* w = qobject_cast<const QWidget*>(owner);
    if (!w || !w->isWindow())
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

TFormStyle formStyleOf(const QWidget* form) {
    TFormStyle s;
    const Qt::WindowFlags f = form->windowFlags();
    const bool fixed = form->minimumSize() == form->maximumSize();
    if (f.testFlag(Qt::Tool) && form->windowType() == Qt::Tool)
        s.border = fixed ? bsToolWindow : bsSizeToolWin;
    else if (fixed)
        s.border = form->windowType() == Qt::Dialog ? bsDialog : bsSingle;
    else
        s.border = bsSizeable;
    // A close button comes with the system menu.
    s.systemMenu = f.testFlag(Qt::WindowSystemMenuHint) || f.testFlag(Qt::WindowCloseButtonHint);
    s.minimize = f.testFlag(Qt::WindowMinimizeButtonHint);
    s.maximize = f.testFlag(Qt::WindowMaximizeButtonHint);
    s.help = f.testFlag(Qt::WindowContextHelpButtonHint);
    return s;
}

bool isToolWindow(TFormBorderStyle b) {
    return b == bsToolWindow || b == bsSizeToolWin;
}

bool hasFixedFrame(TFormBorderStyle b) {
    return b == bsSingle || b == bsDialog || b == bsToolWindow;
}

int frameWidth(const TFormStyle& style, const TSystemMetrics& m) {
    if (style.border == bsNone)
        return 0;
    return hasFixedFrame(style.border) ? m.cxFixedFrame : m.cxSizeFrame;
}

int captionHeight(const TFormStyle& style, const TSystemMetrics& m) {
    if (style.border == bsNone)
        return 0;
    return isToolWindow(style.border) ? m.cySmCaption : m.cyCaption;
}

QMargins nonClientMargins(const TFormStyle& style, const TSystemMetrics& m) {
    const int f = frameWidth(style, m);
    return {f, f + captionHeight(style, m), f, f};
}

namespace {

void hline(QPainter& p, int x0, int x1, int y, const QColor& c) {
    if (x1 >= x0)
        p.fillRect(x0, y, x1 - x0 + 1, 1, c);
}

void vline(QPainter& p, int x, int y0, int y1, const QColor& c) {
    if (y1 >= y0)
        p.fillRect(x, y0, 1, y1 - y0 + 1, c);
}

// One ring of an edge: top-left colour, bottom-right colour.
void ring(QPainter& p, const QRect& r, const QColor& tl, const QColor& br, bool left, bool top,
          bool right, bool bottom) {
    if (top)
        hline(p, r.left(), r.right() - 1, r.top(), tl);
    if (left)
        vline(p, r.left(), r.top(), r.bottom() - 1, tl);
    if (bottom)
        hline(p, r.left(), r.right(), r.bottom(), br);
    if (right)
        vline(p, r.right(), r.top(), r.bottom(), br);
}

} // namespace

void drawRaisedEdge(QPainter& p, const QRect& r, bool left, bool top, bool right, bool bottom) {
    ring(p, r, qm::controls::system::btnFace(), qm::controls::system::windowFrame(), left, top,
         right, bottom);
    const QRect inner = r.adjusted(left ? 1 : 0, top ? 1 : 0, right ? -1 : 0, bottom ? -1 : 0);
    ring(p, inner, qm::controls::system::btnHighlight(), qm::controls::system::btnShadow(), left,
         top, right, bottom);
}

void drawSunkenEdge(QPainter& p, const QRect& r) {
    ring(p, r, qm::controls::system::btnShadow(), qm::controls::system::btnHighlight(), true, true,
         true, true);
    ring(p, r.adjusted(1, 1, -1, -1), qm::controls::system::windowFrame(),
         qm::controls::system::btnFace(), true, true, true, true);
}

void drawButtonFrame(QPainter& p, const QRect& r, bool pushed) {
    p.fillRect(r, qm::controls::system::btnFace());
    if (pushed)
        drawSunkenEdge(p, r);
    else
        drawRaisedEdge(p, r);
}

void drawWindowFrame(QPainter& p, const QRect& window, const TFormStyle& style,
                     const TSystemMetrics& m) {
    const int f = frameWidth(style, m);
    if (f <= 0)
        return;
    // Fill the band between the edge and the client area with button face first.
    const QRect inner = window.adjusted(2, 2, -2, -2);
    const QRect client = window.adjusted(f, f, -f, -f);
    p.save();
    p.setClipRegion(QRegion(inner).subtracted(QRegion(client)));
    p.fillRect(inner, qm::controls::system::btnFace());
    p.restore();
    drawRaisedEdge(p, window);
}

} // namespace qm::controls
