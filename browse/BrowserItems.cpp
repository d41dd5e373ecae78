#include "browse/BrowserItems.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QToolTip>
#include <map>
#include <tuple>

namespace qm::browse {

namespace {

constexpr int kGlyphSize = 16;

// Draws a glyph in its 16-pixel square; `thin` asks for one-device-pixel lines.
using Draw = void (*)(QPainter&, bool thin);

// A glyph drawn by `draw` in a 16-pixel square: at 16 pixels the classic pixels, at any other
// size (a dense screen's 24 or 32) drawn again there, smoothed, instead of a 16-pixel picture
// scaled up and blurred.
class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(Draw draw) : draw_(draw) {}

    QIconEngine* clone() const override { return new GlyphEngine(draw_); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // `size` in device pixels. Each size and mode is drawn once: the lists ask on every paint.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const auto key = std::make_tuple(size.width(), size.height(), int(mode), scale);
        if (const auto found = drawn_.find(key); found != drawn_.end())
            return found->second;
        QPixmap pm(size.expandedTo(QSize(1, 1)));
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            // At whole ratios the lines grow with the glyph and are smoothed where slanted;
            // between them (1.25x, 1.5x) they stay one sharp device pixel, as smoothing a
            // line of 1.25 pixels would only blur it.
            const bool whole = size.width() % kGlyphSize == 0 && size.height() % kGlyphSize == 0;
            if (size != QSize(kGlyphSize, kGlyphSize)) {
                p.setRenderHint(QPainter::Antialiasing, whole);
                p.scale(qreal(size.width()) / kGlyphSize, qreal(size.height()) / kGlyphSize);
                // Strokes on the middle of the pixels the 1x lines fill.
                p.translate(0.5, 0.5);
            }
            draw_(p, !whole);
        }
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        pm.setDevicePixelRatio(scale);
        drawn_.emplace(key, pm);
        return pm;
    }

private:
    Draw draw_;
    std::map<std::tuple<int, int, int, qreal>, QPixmap> drawn_;
};

// Square corners also when drawn smoothed.
QPen line(const QColor& c, bool thin) {
    QPen pen(c, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(thin);
    return pen;
}

QIcon glyph(Draw draw) {
    return QIcon(new GlyphEngine(draw));
}

void drawFolder(QPainter& p, bool thin, bool open) {
    p.setPen(line(QColor(128, 128, 0), thin));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(1, 3, 5, 2); // tab
    if (open) {
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(1, 4, 12, 9);
        p.setBrush(QColor(255, 255, 0));
        p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)}));
    } else {
        p.drawRect(1, 4, 13, 9);
    }
}

} // namespace

QIcon documentGlyph() {
    static const QIcon icon = glyph([](QPainter& p, bool thin) {
        p.setPen(line(Qt::black, thin));
        p.setBrush(Qt::white);
        p.drawPolygon(
            QPolygon({QPoint(3, 1), QPoint(9, 1), QPoint(12, 4), QPoint(12, 14), QPoint(3, 14)}));
        p.drawPolyline(QPolygon({QPoint(9, 1), QPoint(9, 4), QPoint(12, 4)}));
        p.setPen(line(QColor(128, 128, 128), thin));
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(5, y, 10, y);
    });
    return icon;
}

QIcon openFolderGlyph() {
    static const QIcon icon = glyph([](QPainter& p, bool thin) { drawFolder(p, thin, true); });
    return icon;
}

QIcon closedFolderGlyph() {
    static const QIcon icon = glyph([](QPainter& p, bool thin) { drawFolder(p, thin, false); });
    return icon;
}

QIcon driveGlyph() {
    static const QIcon icon = glyph([](QPainter& p, bool thin) {
        p.setPen(line(Qt::black, thin));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(1, 5, 13, 6);
        // The lamp as an outlined square, so it keeps its place when drawn smoothed.
        p.setPen(line(QColor(0, 255, 0), thin));
        p.setBrush(QColor(0, 255, 0));
        p.drawRect(11, 8, 1, 1);
    });
    return icon;
}

QSize BrowserItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setWidth(s.width() + index.data(kDepthRole).toInt() * kIndentStep);
    s.setHeight(kItemHeight);
    return s;
}

bool BrowserItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.rect.adjust(index.data(kDepthRole).toInt() * kIndentStep, 0, 0, 0);
    const QStyle* style = view->style();
    // The room the style gives the text, less the margins it keeps on both sides.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int room =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() - 2 * margin;
    if (item.fontMetrics.horizontalAdvance(item.text) > room) {
        QToolTip::showText(event->globalPos(), item.text, view);
        return true;
    }
    QToolTip::hideText();
    return true;
}

void BrowserItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem indented = option;
    indented.rect.adjust(index.data(kDepthRole).toInt() * kIndentStep, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
}

} // namespace qm::browse
