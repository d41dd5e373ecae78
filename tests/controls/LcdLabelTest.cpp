#include "ControlTestUtil.h"

#include "controls/LcdGlyphs.h"
#include "controls/LcdLabel.h"
#include "controls/MessageBox.h"

#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using qm::controls::lcdDotLit;
using qm::controls::lcdGrid;
using qm::controls::LcdMatrix;
using qm::controls::lcdTable;
using qm::controls::MessageBoxRecorder;

namespace {

// The window's counter: mat5x7, 2-pixel square dots, ten characters, one line.
void makeCounter(TLCDLabel& lcd) {
    lcd.setDotMatrix(TLCDLabel::mat5x7);
    lcd.setPixelSize(TLCDLabel::pix2x2);
    lcd.setNoOfChars(10);
    lcd.setTextLines(1);
}

// The counter's glyphs as documented, "#" lit.
const QMap<QChar, QStringList>& documentedGlyphs() {
    static const QMap<QChar, QStringList> glyphs{
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
        {'t', {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."}},
        {'s', {".....", ".....", ".###.", "#....", ".###.", "....#", "####."}},
    };
    return glyphs;
}

} // namespace

TEST(LcdLabel, counterMeasures170By32) {
    TLCDLabel lcd;
    makeCounter(lcd);
    EXPECT_EQ(lcd.size(), QSize(170, 32));
}

TEST(LcdLabel, pix3x3GrowsTheCounterTo220By39) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setPixelSize(TLCDLabel::pix3x3);
    EXPECT_EQ(lcd.size(), QSize(220, 39));
}

TEST(LcdLabel, resizeFromOutsideRefitsCountsAndSnapsSize) {
    TLCDLabel lcd;
    makeCounter(lcd);
    // 300 wide: (300 - 10 + 2) / 16 = 18 characters; 60 high: (60 - 10 + 2) / 22 = 2 lines.
    lcd.resize(300, 60);
    lcd.updateSize(); // what the next paint does
    EXPECT_EQ(lcd.noOfChars(), 18);
    EXPECT_EQ(lcd.textLines(), 2);
    EXPECT_EQ(lcd.size(), QSize(10 + 17 * 2 + 18 * 14 + 2, 10 + 2 + 2 * 20 + 2));
}

TEST(LcdLabel, tinySizeKeepsOneCharacterAndOneLine) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.resize(3, 3);
    grabImage(lcd); // painting fits the counts
    EXPECT_EQ(lcd.noOfChars(), 1);
    EXPECT_EQ(lcd.textLines(), 1);
}

struct Refusal {
    const char* name;
    const char* property;
    int value;
    const char* message;
};

class LcdRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(LcdRefusal, tellsTheCallerAndKeepsOldValue) {
    const Refusal& r = GetParam();
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setCaption(QStringLiteral("0007 Fonts"));
    const int before = lcd.property(r.property).toInt();
    const QImage imageBefore = grabImage(lcd);
    MessageBoxRecorder boxes;
    QSignalSpy refused(&lcd, &TLCDLabel::settingRefused);
    lcd.setProperty(r.property, r.value);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0][0].toString(), QString::fromLatin1(r.message));
    EXPECT_TRUE(boxes.shown().empty()); // showing it is the caller's business
    EXPECT_EQ(lcd.property(r.property).toInt(), before);
    EXPECT_EQ(grabImage(lcd), imageBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LcdRefusal,
    ::testing::Values(
        Refusal{"pixelSpacing", "PixelSpacing", -1, "Pixel spacing can't be less than zero!"},
        Refusal{"charSpacing", "CharSpacing", -2, "Character spacing can't be less than zero!"},
        Refusal{"lineSpacing", "LineSpacing", -1, "Line spacing can't be less than zero!"},
        Refusal{"borderSpace", "BorderSpace", -1, "Border spacing can't be less than zero!"},
        Refusal{"textLines", "TextLines", 0, "Display needs at least on line!"},
        Refusal{"noOfChars", "NoOfChars", 0, "Display needs at least one character!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LcdLabel, zeroSpacingIsAccepted) {
    TLCDLabel lcd;
    QSignalSpy refused(&lcd, &TLCDLabel::settingRefused);
    lcd.setPixelSpacing(0);
    lcd.setBorderSpace(0);
    EXPECT_EQ(refused.size(), 0);
    EXPECT_EQ(lcd.pixelSpacing(), 0);
    EXPECT_EQ(lcd.borderSpace(), 0);
}

TEST(LcdLabel, publishedDefaults) {
    TLCDLabel lcd;
    EXPECT_EQ(lcd.dotMatrix(), TLCDLabel::mat5x8);
    EXPECT_EQ(lcd.pixelSize(), TLCDLabel::pix2x2);
    EXPECT_EQ(lcd.pixelShape(), TLCDLabel::Square);
    EXPECT_EQ(lcd.borderStyle(), TLCDLabel::Lowered);
    EXPECT_EQ(lcd.noOfChars(), 8);
    EXPECT_EQ(lcd.pixelOn(), QColor(0, 255, 0));
    EXPECT_EQ(lcd.pixelOff(), QColor(0, 128, 0));
    EXPECT_EQ(lcd.shadeColor(), QColor(0, 127, 0));
}

TEST(LcdLabel, litAndUnlitDotsOfTheCounterCaption) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setCaption(QStringLiteral("0007 Fonts"));
    const QImage image = grabImage(lcd);
    const QString caption = QStringLiteral("0007 Fonts");
    for (int i = 0; i < caption.size(); ++i) {
        const QStringList rows = documentedGlyphs()[caption[i]];
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                // Border 5 + frame 1, cells 14 + 2 apart, dots 2 + 1 apart.
                const int x = 6 + i * 16 + col * 3;
                const int y = 6 + row * 3;
                const QColor want =
                    rows[row][col] == QLatin1Char('#') ? QColor(0, 255, 0) : QColor(0, 128, 0);
                SCOPED_TRACE(
                    QStringLiteral("cell %1 row %2 col %3").arg(i).arg(row).arg(col).toStdString());
                EXPECT_EQ(pixelAt(image, x, y), want);
                EXPECT_EQ(pixelAt(image, x + 1, y + 1), want);
                // The spacing pixel right of the dot is background.
                EXPECT_EQ(pixelAt(image, x + 2, y), QColor(0, 0, 0));
            }
        }
    }
}

TEST(LcdLabel, loweredFrameIsDarkTopLeftAndLightBottomRight) {
    TLCDLabel lcd;
    makeCounter(lcd);
    const QImage image = grabImage(lcd);
    EXPECT_EQ(pixelAt(image, 50, 0), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(image, 0, 20), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(image, 50, 31), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(image, 169, 20), QColor(255, 255, 255));
    lcd.setBorderStyle(TLCDLabel::Raised);
    const QImage raised = grabImage(lcd);
    EXPECT_EQ(pixelAt(raised, 50, 0), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(raised, 50, 31), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(raised, 169, 20), QColor(128, 128, 128));
}

TEST(LcdLabel, longCaptionShowsOnlyTheCellsItHas) {
    TLCDLabel shown, expected;
    makeCounter(shown);
    makeCounter(expected);
    shown.setCaption(QStringLiteral("10000 Fonts"));
    expected.setCaption(QStringLiteral("10000 Font"));
    EXPECT_EQ(grabImage(shown), grabImage(expected));
}

TEST(LcdLabel, shortCaptionLeavesUnlitGridsInTheRestOfTheCells) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setCaption(QStringLiteral("12"));
    const QImage image = grabImage(lcd);
    // Last cell: every dot unlit, not bare background.
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(pixelAt(image, 6 + 9 * 16 + col * 3, 6 + row * 3), QColor(0, 128, 0));
}

TEST(LcdLabel, sameCaptionDoesNotRepaint) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&lcd));
    lcd.setCaption(QStringLiteral("0001 Fonts"));
    QCoreApplication::processEvents();
    PaintCounter paints(&lcd);
    lcd.setCaption(QStringLiteral("0001 Fonts"));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    lcd.setCaption(QStringLiteral("0002 Fonts"));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 1);
}

TEST(LcdLabel, shapedDotsHaveShadeCornersAndLitCentre) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setPixelSize(TLCDLabel::pix8x8);
    lcd.setPixelShape(TLCDLabel::Shaped);
    lcd.setPixelOn(QColor(200, 100, 51));
    lcd.setCaption(QStringLiteral("F")); // top row fully lit
    EXPECT_EQ(lcd.shadeColor(), QColor(100, 50, 25));
    const QImage image = grabImage(lcd);
    const QPoint dot = lcd.dotOrigin(0, 0, 0, 0);
    EXPECT_EQ(pixelAt(image, dot.x(), dot.y()), QColor(100, 50, 25));
    EXPECT_EQ(pixelAt(image, dot.x() + 4, dot.y() + 4), QColor(200, 100, 51));
}

TEST(LcdLabel, roundDotsLeaveBackgroundCorners) {
    TLCDLabel lcd;
    makeCounter(lcd);
    lcd.setPixelSize(TLCDLabel::pix8x8);
    lcd.setPixelShape(TLCDLabel::Round);
    lcd.setCaption(QStringLiteral("F"));
    const QImage image = grabImage(lcd);
    const QPoint dot = lcd.dotOrigin(0, 0, 0, 0);
    EXPECT_EQ(pixelAt(image, dot.x(), dot.y()), QColor(0, 0, 0));
    EXPECT_EQ(pixelAt(image, dot.x() + 4, dot.y() + 4), QColor(0, 255, 0));
}

// ---- the dot tables ----

struct TableRow {
    const char* name;
    LcdMatrix matrix;
    size_t bytes;
    int columns, rows;
};

class LcdTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(LcdTable, hasDocumentedSizeAndBlankSpace) {
    const TableRow& r = GetParam();
    EXPECT_EQ(lcdTable(r.matrix).size(), r.bytes);
    EXPECT_EQ(lcdGrid(r.matrix).columns, r.columns);
    EXPECT_EQ(lcdGrid(r.matrix).rows, r.rows);
    int lit = 0;
    for (int row = 0; row < r.rows; ++row)
        for (int col = 0; col < r.columns; ++col)
            lit += lcdDotLit(r.matrix, ' ', row, col);
    EXPECT_EQ(lit, 0);
    // Every printable ASCII letter and digit lights some dots.
    for (unsigned char c : QByteArray("AZaz09@")) {
        if (!c)
            continue;
        int any = 0;
        for (int row = 0; row < r.rows; ++row)
            for (int col = 0; col < r.columns; ++col)
                any += lcdDotLit(r.matrix, c, row, col);
        EXPECT_GT(any, 0) << "glyph " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LcdTable,
                         ::testing::Values(TableRow{"mat5x7", LcdMatrix::Mat5x7, 3325, 5, 7},
                                           TableRow{"mat5x8", LcdMatrix::Mat5x8, 3800, 5, 8},
                                           TableRow{"mat7x9", LcdMatrix::Mat7x9, 5985, 7, 9},
                                           TableRow{"mat9x12", LcdMatrix::Mat9x12, 10260, 9, 12},
                                           TableRow{"Hitachi", LcdMatrix::Hitachi, 6720, 5, 7},
                                           TableRow{"Hitachi2", LcdMatrix::Hitachi2, 1500, 5, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {
bool rowLit(LcdMatrix m, unsigned char c, int row) {
    for (int col = 0; col < lcdGrid(m).columns; ++col)
        if (lcdDotLit(m, c, row, col))
            return true;
    return false;
}
} // namespace

TEST(LcdTables, descendersUseTheRowsBelowTheCapitals) {
    EXPECT_TRUE(rowLit(LcdMatrix::Mat5x8, 'g', 7));
    EXPECT_FALSE(rowLit(LcdMatrix::Mat5x8, 'A', 7));
    for (int row : {9, 10, 11})
        EXPECT_TRUE(rowLit(LcdMatrix::Mat9x12, 'g', row)) << row;
    EXPECT_FALSE(rowLit(LcdMatrix::Mat9x12, 'H', 10));
}

TEST(LcdTables, zeroOfMat5x7HasItsSlashAndHitachi223IsSolid) {
    EXPECT_TRUE(lcdDotLit(LcdMatrix::Mat5x7, '0', 4, 1));
    EXPECT_TRUE(lcdDotLit(LcdMatrix::Mat5x7, '0', 2, 3));
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_TRUE(lcdDotLit(LcdMatrix::Hitachi, 223, row, col));
}

TEST(LcdTables, hitachi2BorrowsLowerCodesInItsTopSevenRows) {
    for (unsigned char c : {'A', 'g', '0'})
        for (int row = 0; row < 10; ++row)
            for (int col = 0; col < 5; ++col)
                EXPECT_EQ(lcdDotLit(LcdMatrix::Hitachi2, c, row, col),
                          row < 7 && lcdDotLit(LcdMatrix::Hitachi, c, row, col));
}

TEST(LcdTables, codesOutsideATableAreBlank) {
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col) {
            EXPECT_FALSE(lcdDotLit(LcdMatrix::Mat5x7, 200, row, col));
            EXPECT_FALSE(lcdDotLit(LcdMatrix::Mat5x7, 10, row, col));
            EXPECT_FALSE(lcdDotLit(LcdMatrix::Hitachi, 250, row, col));
        }
}

TEST(LcdLabel, textFlowsIntoTheNextLineWithoutRegardToWords) {
    TLCDLabel lcd;
    lcd.setDotMatrix(TLCDLabel::mat5x7);
    lcd.setNoOfChars(3);
    lcd.setTextLines(2);
    lcd.setCaption(QStringLiteral("ab cdefgh"));
    const QImage image = grabImage(lcd);
    // Line 2 holds "cde"; "fgh" is not shown at all.
    const QString shown[2] = {QStringLiteral("ab "), QStringLiteral("cde")};
    for (int line = 0; line < 2; ++line)
        for (int cell = 0; cell < 3; ++cell)
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col) {
                    const QPoint p = lcd.dotOrigin(line, cell, row, col);
                    const bool lit = lcdDotLit(
                        LcdMatrix::Mat5x7, static_cast<unsigned char>(shown[line][cell].unicode()),
                        row, col);
                    EXPECT_EQ(pixelAt(image, p.x(), p.y()),
                              lit ? QColor(0, 255, 0) : QColor(0, 128, 0));
                }
    EXPECT_EQ(lcd.size(), QSize(10 + 2 * 2 + 3 * 14 + 2, 10 + 2 + 2 * 20 + 2));
}

TEST(LcdLabel, captionKeepsAtMost255Characters) {
    TLCDLabel lcd;
    lcd.setCaption(QString(300, QLatin1Char('x')));
    EXPECT_EQ(lcd.caption().size(), 255);
}

TEST(LcdLabel, hitachi2DrawsTenRowCellsWithItsOwnTallGlyphs) {
    TLCDLabel lcd;
    lcd.setDotMatrix(TLCDLabel::Hitachi2);
    lcd.setNoOfChars(2);
    lcd.setCaption(QString(QChar(223)) + QLatin1Char('A'));
    const QImage image = grabImage(lcd);
    for (int row = 0; row < 10; ++row) {
        const QPoint block = lcd.dotOrigin(0, 0, row, 2);
        EXPECT_EQ(pixelAt(image, block.x(), block.y()), QColor(0, 255, 0)) << row;
        const QPoint a = lcd.dotOrigin(0, 1, row, 0); // "A"'s left stem, rows 2 to 7
        EXPECT_EQ(pixelAt(image, a.x(), a.y()),
                  row >= 1 && row < 7 ? QColor(0, 255, 0) : QColor(0, 128, 0))
            << row;
    }
}
