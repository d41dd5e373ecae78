// The sheet's geometry and what it draws, in process.

#include "viewer/SampleSheet.h"
#include "ViewerTestSupport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

constexpr int kDpi = 144; // two pixels per point

QImage RenderSheet(const FontSample& sample) {
    QImage image(ToPixels(QRectF(QPointF(0, 0), kSheetSize), kDpi).size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSampleSheet(painter, QRectF(image.rect()), sample);
    return image;
}

QRect SamplePart(const SheetLayout& layout) {
    // The waterfall and the grid draw only the face, never the font's names.
    return ToPixels(layout.waterfall.first().united(layout.grid), kDpi);
}

} // namespace

TEST(SheetLayoutTest, partsStayInsideTheMarginsTopToBottom) {
    const SheetLayout layout = layoutSampleSheet();
    const QRectF content(kSheetMargin, kSheetMargin, kSheetSize.width() - 2 * kSheetMargin,
                         kSheetSize.height() - 2 * kSheetMargin);
    const QList<QRectF> parts = {layout.title,
                                 layout.names,
                                 layout.waterfallHeading,
                                 layout.waterfall.first(),
                                 layout.waterfall.last(),
                                 layout.gridHeading,
                                 layout.grid};
    for (int i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(content.contains(parts[i])) << "part " << i;
        if (i > 0) {
            EXPECT_LE(parts[i - 1].bottom(), parts[i].top() + 1e-9) << "part " << i;
        }
    }
}

TEST(SheetLayoutTest, waterfallGrowsAndEveryLineHoldsItsSize) {
    const SheetLayout layout = layoutSampleSheet();
    const QList<int> sizes = waterfallSizes();
    ASSERT_EQ(layout.waterfall.size(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        EXPECT_GE(layout.waterfall[i].height(), sizes[i]) << sizes[i];
        if (i > 0) {
            EXPECT_GT(sizes[i], sizes[i - 1]);
            EXPECT_DOUBLE_EQ(layout.waterfall[i].top(), layout.waterfall[i - 1].bottom());
        }
    }
}

TEST(SheetLayoutTest, gridHasOneCellPerCodeInRowsOfSixteenWithoutOverlap) {
    const SheetLayout layout = layoutSampleSheet();
    ASSERT_EQ(layout.cells.size(), kGridLastCode - kGridFirstCode + 1);
    for (int i = 0; i < layout.cells.size(); ++i) {
        const QRectF cell = layout.cells[i];
        EXPECT_TRUE(layout.grid.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(cell)) << i;
        if (i % kGridColumns != 0) {
            EXPECT_NEAR(cell.left(), layout.cells[i - 1].right(), 1e-6) << i;
            EXPECT_DOUBLE_EQ(cell.top(), layout.cells[i - 1].top()) << i;
        } else if (i > 0) {
            EXPECT_NEAR(cell.top(), layout.cells[i - 1].bottom(), 1e-6) << i;
        }
    }
}

struct FitCase {
    const char* name;
    QRectF target;
};

class FitSheetTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitSheetTest, keepsProportionsCentredAndFillsOneDirection) {
    const QRectF target = GetParam().target;
    const QRectF fitted = fitSheet(target);
    EXPECT_NEAR(fitted.width() / fitted.height(), kSheetSize.width() / kSheetSize.height(), 1e-9);
    EXPECT_NEAR(fitted.center().x(), target.center().x(), 1e-9);
    EXPECT_NEAR(fitted.center().y(), target.center().y(), 1e-9);
    EXPECT_TRUE(target.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(fitted));
    const bool fillsWidth = std::abs(fitted.width() - target.width()) < 1e-6;
    const bool fillsHeight = std::abs(fitted.height() - target.height()) < 1e-6;
    EXPECT_TRUE(fillsWidth || fillsHeight);
}

INSTANTIATE_TEST_SUITE_P(Targets, FitSheetTest,
                         ::testing::Values(FitCase{"a4Itself", QRectF(QPointF(0, 0), kSheetSize)},
                                           FitCase{"letterAt1200Dpi", QRectF(0, 0, 10200, 13200)},
                                           FitCase{"wideWindow", QRectF(10, 20, 1600, 400)},
                                           FitCase{"narrowStrip", QRectF(-50, 0, 100, 3000)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterSetTest, followsWindows1252ForEveryCodeFrom32To255) {
    const QString chars = characterSet();
    ASSERT_EQ(chars.size(), kGridLastCode - kGridFirstCode + 1);
    const auto at = [&](int code) { return chars.at(code - kGridFirstCode).unicode(); };
    EXPECT_EQ(at(0x20), u' ');
    EXPECT_EQ(at(0x41), u'A');
    EXPECT_EQ(at(0x80), 0x20AC); // euro sign
    EXPECT_EQ(at(0x99), 0x2122); // trademark sign
    EXPECT_EQ(at(0x9F), 0x0178); // Y with diaeresis
    EXPECT_EQ(at(0x81), 0x0081); // undefined in 1252: same code point
    EXPECT_EQ(at(0xA9), 0x00A9);
    EXPECT_EQ(at(0xFF), 0x00FF);
}

class SheetInkTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SheetInkTest, everyPartOfTheSheetIsDrawn) {
    const FontSample sample = loadFontSample(SystemFont(QString::fromUtf8(GetParam())));
    ASSERT_TRUE(sample.ok()) << sample.error.toStdString();
    const QImage image = RenderSheet(sample);
    const SheetLayout layout = layoutSampleSheet(sample);
    EXPECT_GT(InkFraction(image, ToPixels(layout.title, kDpi)), 0.01);
    EXPECT_GT(InkFraction(image, ToPixels(layout.names, kDpi)), 0.01);
    for (int i = 0; i < layout.waterfall.size(); ++i)
        EXPECT_GT(InkFraction(image, ToPixels(layout.waterfall[i], kDpi)), 0.01) << i;
    EXPECT_GT(InkFraction(image, ToPixels(layout.grid, kDpi)), 0.02);
}

INSTANTIATE_TEST_SUITE_P(RealFonts, SheetInkTest,
                         ::testing::Values("dejavu/DejaVuSans.ttf",
                                           "liberation/LiberationSerif-Italic.ttf",
                                           "dejavu/DejaVuSansMono-Bold.ttf",
                                           "liberation/LiberationSansNarrow-Regular.ttf"));

TEST(SheetGlyphsTest, fontClaimingAnInstalledFamilyStillDrawsItsOwnGlyphs) {
    QTemporaryDir dir;
    const QString original = SystemFont(QStringLiteral("liberation/LiberationSerif-Italic.ttf"));
    const QString impostor = dir.filePath(QStringLiteral("impostor.ttf"));
    ASSERT_EQ(RenameFamily(original, impostor, QStringLiteral("DejaVu Sans")), QString());

    const FontSample claimed = loadFontSample(impostor);
    ASSERT_TRUE(claimed.ok()) << claimed.error.toStdString();
    ASSERT_EQ(claimed.names.front().second, QStringLiteral("DejaVu Sans"));
    const FontSample own = loadFontSample(original);
    const FontSample installed =
        loadFontSample(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")));

    const QRect part = SamplePart(layoutSampleSheet());
    const QImage claimedImage = RenderSheet(claimed);
    EXPECT_EQ(DifferingPixels(claimedImage, RenderSheet(own), part), 0);
    EXPECT_GT(DifferingPixels(claimedImage, RenderSheet(installed), part), 5000);
}

TEST(SheetGlyphsTest, codesTheFontLacksAreShadedAndOthersDrawTheirGlyph) {
    const FontSample sample = loadFontSample(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")));
    ASSERT_TRUE(sample.ok());
    const QImage image = RenderSheet(sample);
    const SheetLayout layout = layoutSampleSheet(sample);
    const auto cell = [&](int code) {
        // The cell's inside, clear of its border and of the code printed in its corner.
        const QRectF r = layout.cells[code - kGridFirstCode];
        return ToPixels(r.adjusted(2, r.height() / 3, -2, -2), kDpi);
    };
    const auto backgroundOf = [&](int code) {
        const QRect r = cell(code);
        return qGray(image.pixel(r.right() - 1, r.bottom() - 1));
    };
    // 0x81 has no character in 1252, and DejaVu Sans has no glyph for U+0081.
    EXPECT_LT(backgroundOf(0x81), 250);
    EXPECT_EQ(backgroundOf(0x99), 255);
    EXPECT_GT(InkFraction(image, cell(0x99)), 0.02); // the trademark sign
    EXPECT_GT(InkFraction(image, cell(0x80)), 0.02); // the euro sign
    EXPECT_EQ(InkFraction(image, cell(0x20)), 0.0);  // a blank draws nothing
}
