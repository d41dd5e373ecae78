#include "controls/FormFrame.h"

#include "controls/DevicePixels.h"
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

// Lines in logical pixels, laid on the device pixels `g` gives each (none: the same pixels).
void fill(QPainter& p, const DeviceGrid* g, const QRect& r, const QColor& c) {
    p.fillRect(g ? g->map(r) : r, c);
}

void hline(QPainter& p, const DeviceGrid* g, int x0, int x1, int y, const QColor& c) {
    if (x1 >= x0)
        fill(p, g, QRect(x0, y, x1 - x0 + 1, 1), c);
}

void vline(QPainter& p, const DeviceGrid* g, int x, int y0, int y1, const QColor& c) {
    if (y1 >= y0)
        fill(p, g, QRect(x, y0, 1, y1 - y0 + 1), c);
}

// One ring of an edge: top-left colour, bottom-right colour.
void ring(QPainter& p, const DeviceGrid* g, const QRect& r, const QColor& tl, const QColor& br,
          bool left, bool top, bool right, bool bottom) {
    if (top)
        hline(p, g, r.left(), r.right() - 1, r.top(), tl);
    if (left)
        vline(p, g, r.left(), r.top(), r.bottom() - 1, tl);
    if (bottom)
        hline(p, g, r.left(), r.right(), r.bottom(), br);
    if (right)
        vline(p, g, r.right(), r.top(), r.bottom(), br);
}

} // namespace

void drawRaisedEdge(QPainter& p, const QRect& r, bool left, bool top, bool right, bool bottom,
                    const DeviceGrid* grid) {
    ring(p, grid, r, qm::controls::system::btnFace(), qm::controls::system::windowFrame(), left,
         top, right, bottom);
    const QRect inner = r.adjusted(left ? 1 : 0, top ? 1 : 0, right ? -1 : 0, bottom ? -1 : 0);
    ring(p, grid, inner, qm::controls::system::btnHighlight(), qm::controls::system::btnShadow(),
         left, top, right, bottom);
}

void drawSunkenEdge(QPainter& p, const QRect& r, const DeviceGrid* grid) {
    ring(p, grid, r, qm::controls::system::btnShadow(), qm::controls::system::btnHighlight(), true,
         true, true, true);
    ring(p, grid, r.adjusted(1, 1, -1, -1), qm::controls::system::windowFrame(),
         qm::controls::system::btnFace(), true, true, true, true);
}

void drawButtonFrame(QPainter& p, const QRect& r, bool pushed, const DeviceGrid* grid) {
    fill(p, grid, r, qm::controls::system::btnFace());
    if (pushed)
        drawSunkenEdge(p, r, grid);
    else
        drawRaisedEdge(p, r, true, true, true, true, grid);
}

void drawWindowFrame(QPainter& p, const QRect& window, const TFormStyle& style,
                     const TSystemMetrics& m) {
    const int f = frameWidth(style, m);
    if (f <= 0)
        return;
    // Fill the band between the edge and the client area with button face first.
    const QRect inner = window.adjusted(2, 2, -2, -2);
    const QRect client = window.adjusted(f, f, -f, -f);
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    if (ratio == 1.0) {
        p.save();
        p.setClipRegion(QRegion(inner).subtracted(QRegion(client)));
        p.fillRect(inner, qm::controls::system::btnFace());
        p.restore();
        drawRaisedEdge(p, window);
        return;
    }
    // Above 1x in device pixels: the two edge rings whole device lines, the band of button
    // face reaching to where the client area's first device pixel lies.
    p.save();
    p.setWorldTransform(p.deviceTransform().inverted() * p.worldTransform());
    auto device = [&](const QRect& r) {
        const int l = qRound(r.left() * ratio), t = qRound(r.top() * ratio);
        return QRect(QPoint(l, t), QPoint(qRound((r.left() + r.width()) * ratio) - 1,
                                          qRound((r.top() + r.height()) * ratio) - 1));
    };
    const QRect whole = device(window);
    const int line = deviceLine(ratio);
    const QRect band = whole.adjusted(2 * line, 2 * line, -2 * line, -2 * line);
    p.setClipRegion(QRegion(band).subtracted(QRegion(device(client))));
    p.fillRect(band, qm::controls::system::btnFace());
    p.setClipping(false);
    const DeviceGrid grid{DeviceAxis(window.width(), whole.width(), 2, line),
                          DeviceAxis(window.height(), whole.height(), 2, line)};
    p.translate(whole.topLeft());
    drawRaisedEdge(p, window.translated(-window.topLeft()), true, true, true, true, &grid);
    p.restore();
}

} // namespace qm::controls
