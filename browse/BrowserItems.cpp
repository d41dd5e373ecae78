#include "browse/BrowserItems.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace qm::browse {

namespace {

QPixmap blankGlyph() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

QPixmap folderPixmap(bool open) {
    QPixmap pm = blankGlyph();
    QPainter p(&pm);
    p.setPen(QColor(128, 128, 0));
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
    return pm;
}

} // namespace

QIcon documentGlyph() {
    static const QIcon icon = [] {
        QPixmap pm = blankGlyph();
        QPainter p(&pm);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawPolygon(
            QPolygon({QPoint(3, 1), QPoint(9, 1), QPoint(12, 4), QPoint(12, 14), QPoint(3, 14)}));
        p.drawPolyline(QPolygon({QPoint(9, 1), QPoint(9, 4), QPoint(12, 4)}));
        p.setPen(QColor(128, 128, 128));
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(5, y, 10, y);
        return QIcon(pm);
    }();
    return icon;
}

QIcon openFolderGlyph() {
    static const QIcon icon(folderPixmap(true));
    return icon;
}

QIcon closedFolderGlyph() {
    static const QIcon icon(folderPixmap(false));
    return icon;
}

QIcon driveGlyph() {
    static const QIcon icon = [] {
        QPixmap pm = blankGlyph();
        QPainter p(&pm);
        p.setPen(Qt::black);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(1, 5, 13, 6);
        p.fillRect(11, 8, 2, 2, QColor(0, 255, 0));
        return QIcon(pm);
    }();
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
