#include "viewer/SheetView.h"

#include "viewer/SampleSheet.h"

#include <QPainter>
#include <cmath>

namespace qm::viewer {

namespace {
constexpr int kPageGap = 12;
}

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

void SheetView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRectF page = fitSheet(QRectF(rect()).adjusted(kPageGap, kPageGap, -kPageGap, -kPageGap));
    painter.fillRect(page.translated(3, 3), QColor(80, 80, 80));
    paintSampleSheet(painter, page, sample_);
}

} // namespace qm::viewer
