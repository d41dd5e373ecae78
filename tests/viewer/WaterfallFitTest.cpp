// No waterfall line runs past the page's right margin, however wide the face: on screen, in
// the PDF glyphsee writes and on a printed page. And the window fits the screen it opens on.

#include "ViewerTestSupport.h"
#include "viewer/SampleSheet.h"
#include "viewer/SheetOutput.h"
#include "viewer/ViewerWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

constexpr int kDpi = 144;

// A drawn sheet and where its page lies in the image, in pixels.
struct DrawnSheet {
    QImage image;
    QRectF page;
};

// The white page on the grey desk of the viewer's window.
QRectF WhitePage(const QImage& shot) {
    QRect found;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == qRgb(255, 255, 255))
                found |= QRect(x, y, 1, 1);
    return QRectF(found.adjusted(0, 0, 1, 1));
}

DrawnSheet OnScreen(const QString& font, const QTemporaryDir&) {
    ViewerWindow window(loadFontSample(font));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Large enough for a cut stem to be seen.
    window.resize(1700, 1000);
    auto* sheet = window.findChild<QWidget*>(QStringLiteral("Sheet"));
    if (!sheet)
        return {};
    const QImage shot = sheet->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return {shot, WhitePage(shot)};
}

DrawnSheet InGlyphseePdf(const QString& font, const QTemporaryDir& dir) {
    const QString out = dir.filePath(QStringLiteral("sheet.pdf"));
    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out, font});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage page = RenderPdfPage(out, kDpi);
    return {page, QRectF(page.rect())};
}

DrawnSheet Printed(const QString& font, const QTemporaryDir& dir) {
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    EXPECT_EQ(printSampleSheet(loadFontSample(font), printer), QString());
    // The sheet is fitted into the printer's printable area.
    const QRectF area = printer.pageLayout().paintRectPoints();
    const QRectF sheet = fitSheet(area);
    const qreal scale = kDpi / 72.0;
    return {RenderPdfPage(out, kDpi), QRectF(sheet.topLeft() * scale, sheet.size() * scale)};
}

struct Output {
    const char* name;
    DrawnSheet (*draw)(const QString& font, const QTemporaryDir& dir);
};

class WaterfallFitTest : public ::testing::TestWithParam<std::tuple<Output, const char*>> {};

TEST_P(WaterfallFitTest, everyLineEndsBeforeTheRightMarginAndStillShowsText) {
    QTemporaryDir dir;
    const auto [output, font] = GetParam();
    const DrawnSheet drawn = output.draw(SystemFont(QString::fromUtf8(font)), dir);
    ASSERT_FALSE(drawn.image.isNull());
    ASSERT_FALSE(drawn.page.isEmpty());
    const qreal scale = drawn.page.width() / kSheetSize.width();
    const auto toImage = [&](const QRectF& points) {
        return QRectF(drawn.page.topLeft() + points.topLeft() * scale, points.size() * scale)
            .toAlignedRect();
    };

    const SheetLayout layout = layoutSampleSheet();
    const QList<int> sizes = waterfallSizes();
    for (int i = 0; i < layout.waterfall.size(); ++i) {
        const QRectF line = layout.waterfall[i];
        // From just before the margin to two points inside the page's edge: a glyph cut at the
        // margin, or one drawn past it, leaves ink here.
        const QRectF beyond(line.right() - 0.75, line.top(),
                            kSheetSize.width() - line.right() - 1.25, line.height());
        EXPECT_EQ(InkFraction(drawn.image, toImage(beyond)), 0.0) << sizes[i] << " pt";
        const QRectF start(line.left() + 40, line.top(), 120, line.height());
        EXPECT_GT(InkFraction(drawn.image, toImage(start)), 0.02) << sizes[i] << " pt";
    }
}

INSTANTIATE_TEST_SUITE_P(WideFaces, WaterfallFitTest,
                         ::testing::Combine(::testing::Values(Output{"Screen", OnScreen},
                                                              Output{"GlyphseePdf", InGlyphseePdf},
                                                              Output{"Printer", Printed}),
                                            ::testing::Values("dejavu/DejaVuSansMono-Bold.ttf",
                                                              "liberation/LiberationMono-Bold.ttf",
                                                              "dejavu/DejaVuSerif-BoldItalic.ttf")),
                         [](const auto& info) {
                             std::string font = std::get<1>(info.param);
                             font = font.substr(font.find('/') + 1);
                             font = font.substr(0, font.find('.'));
                             font.erase(std::remove(font.begin(), font.end(), '-'), font.end());
                             return std::string(std::get<0>(info.param).name) + font;
                         });

TEST(SheetTitleTest, aLongFullNameIsSetSmallerAndNeverCut) {
    FontSample sample =
        loadFontSample(SystemFont(QStringLiteral("dejavu/DejaVuSansMono-Bold.ttf")));
    ASSERT_TRUE(sample.ok());
    sample.fullName = QStringLiteral("DejaVu Sans Mono Bold Extra Expanded Display Oblique Small "
                                     "Caps Book Edition For Very Long Names Indeed");
    QImage page(QSize(kSheetSize.width() * 2, kSheetSize.height() * 2), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    paintSampleSheet(painter, QRectF(page.rect()), sample);
    painter.end();
    const QRectF title = layoutSampleSheet().title;
    const auto pixels = [](const QRectF& points) {
        return QRectF(points.topLeft() * 2, points.size() * 2).toAlignedRect();
    };
    // The name's own line, above the path.
    const QRectF name(title.left(), title.top(), title.width(), 36);
    EXPECT_EQ(InkFraction(page, pixels(QRectF(name.right() - 0.75, name.top(),
                                              kSheetSize.width() - name.right() - 1.25, 36))),
              0.0);
    EXPECT_GT(InkFraction(page, pixels(name.adjusted(0, 0, -name.width() / 2, 0))), 0.02);
}

TEST(ViewerWindowSizeTest, windowFitsTheAvailableScreenWhateverTheSheetWants) {
    ViewerWindow window(loadFontSample(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf"))));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QRect room = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // The compositor places the window, and the panels it keeps are not told: a tenth
        // of the screen, such as a top bar and a dock, must stay free.
        room.setHeight(room.height() * 9 / 10);
        room.moveTopLeft(frame.topLeft());
    }
    EXPECT_TRUE(room.contains(frame))
        << frame.width() << "x" << frame.height() << " on " << room.width() << "x" << room.height();
}

} // namespace
