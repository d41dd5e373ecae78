#include "viewer/SheetView.h"

#include "viewer/SampleSheet.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <cmath>

namespace qm::viewer {

namespace {
constexpr int kPageGap = 12;
// The focus frame lies in the grey gap around the page, clear of its shadow.
constexpr int kFocusFrameGap = 6;
} // namespace

SheetView::SheetView(const FontSample& sample, QWidget* parent) : QWidget(parent), sample_(sample) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize SheetView::sizeHint() const {
    // The page at its printed size on this screen.
    const int width = int(std::lround(kSheetSize.width() * logicalDpiX() / 72.0));
    return {width + 2 * kPageGap, heightForWidth(width + 2 * kPageGap)};
}

int SheetView::heightForWidth(int width) const {
    const qreal pageWidth = std::max(1, width - 2 * kPageGap);
    return int(std::lround(pageWidth * kSheetSize.height() / kSheetSize.width())) + 2 * kPageGap;
}

QSize SheetView::zoomedSize(int fitWidth, qreal zoom) {
    const qreal pageWidth = std::max(1, fitWidth - 2 * kPageGap) * zoom;
    const int width = int(std::lround(pageWidth)) + 2 * kPageGap;
    return {std::max(fitWidth, width),
            int(std::lround(pageWidth * kSheetSize.height() / kSheetSize.width())) + 2 * kPageGap};
}

QAccessibleInterface* sheetAccessibleFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<SheetView*>(object))
        return new QAccessibleWidget(view, QAccessible::Graphic);
    // The scroll area that holds the sheet and its focus is the document being read.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->objectName() == QLatin1String("SheetScroll"))
        return new QAccessibleWidget(widget, QAccessible::Document);
    return nullptr;
}

void SheetView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRectF page = fitSheet(QRectF(rect()).adjusted(kPageGap, kPageGap, -kPageGap, -kPageGap));
    painter.fillRect(page.translated(3, 3), QColor(80, 80, 80));
    paintSampleSheet(painter, page, sample_);
    // Shown as the styles show theirs: once the focus has been moved with the keyboard.
    if (focusHolder_ && focusHolder_->hasFocus() &&
        window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        // The highlight alone is too close to the desk's grey: a white line runs inside it.
        const QRectF frame =
            page.adjusted(-kFocusFrameGap, -kFocusFrameGap, kFocusFrameGap, kFocusFrameGap);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.drawRect(frame);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(frame.adjusted(2, 2, -2, -2));
    }
}

} // namespace qm::viewer
