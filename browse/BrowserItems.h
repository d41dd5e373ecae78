#pragma once

// What the three browser lists share: the 16-pixel rows, the small glyphs before each entry,
// and the indent of the folder tree.

#include <QIcon>
#include <QStyledItemDelegate>

namespace qm::browse {

constexpr int kItemHeight = 16;
constexpr int kIndentStep = 8;
// Item data roles: the full path an entry stands for, and its tree depth in the folder list.
constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

QIcon documentGlyph();
QIcon openFolderGlyph();
QIcon closedFolderGlyph();
QIcon driveGlyph();

// Rows of fixed height, indented by their kDepthRole.
class BrowserItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // An entry drawn cut with "..." shows its whole name as a tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

} // namespace qm::browse
