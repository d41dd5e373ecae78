#include "ControlTestUtil.h"

#include "controls/ButtonMath.h"
#include "controls/ColorButton.h"
#include "controls/SystemColors.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);

void tealButton(TColorButton& b, int bevel) {
    b.setColor(kTeal);
    b.setFontColor(kWhite);
    b.setBevelSize(bevel);
    b.resize(120, 27);
    QFont f = b.font();
    f.setStyleStrategy(QFont::NoAntialias); // whole pixels, so colours can be probed exactly
    b.setFont(f);
}

} // namespace

struct DerivedRow {
    const char* name;
    QColor face, highlight, shadow;
};

class DerivedColors : public ::testing::TestWithParam<DerivedRow> {};

TEST_P(DerivedColors, areFaceLightenedAndDarkenedBy64) {
    TColorButton b;
    b.setColor(GetParam().face);
    EXPECT_EQ(b.highlightColor(), GetParam().highlight);
    EXPECT_EQ(b.shadowColor(), GetParam().shadow);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DerivedColors,
    ::testing::Values(DerivedRow{"teal", {0, 128, 128}, {64, 192, 192}, {0, 64, 64}},
                      DerivedRow{"white", {255, 255, 255}, {255, 255, 255}, {191, 191, 191}},
                      DerivedRow{"black", {0, 0, 0}, {64, 64, 64}, {0, 0, 0}},
                      DerivedRow{"buttonFace", {192, 192, 192}, {255, 255, 255}, {128, 128, 128}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorButton, defaults) {
    TColorButton b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(b.color(), qm::controls::system::btnFace());
    EXPECT_EQ(b.bevelSize(), 2);
    EXPECT_EQ(b.borderSize(), 2);
    EXPECT_EQ(b.bevelStyle(), TColorButton::bvRaised);
    EXPECT_EQ(b.bevelType(), TColorButton::ctPlain);
    EXPECT_EQ(b.captionAlignment(), TColorButton::alMiddleCenter);
    EXPECT_EQ(b.state(), TColorButton::bsUp);
}

TEST(ColorButton, raisedTealBevelIsLightTopLeftAndDarkBottomRight) {
    TColorButton b;
    tealButton(b, 4);
    const QImage up = grabImage(b);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pixelAt(up, 60, i), QColor(64, 192, 192)) << i;   // top
        EXPECT_EQ(pixelAt(up, i, 13), QColor(64, 192, 192)) << i;   // left
        EXPECT_EQ(pixelAt(up, 60, 26 - i), QColor(0, 64, 64)) << i; // bottom
        EXPECT_EQ(pixelAt(up, 119 - i, 13), QColor(0, 64, 64)) << i;
    }
    EXPECT_EQ(pixelAt(up, 60, 4), kTeal); // inside the bevel

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(60, 13));
    EXPECT_EQ(b.state(), TColorButton::bsPressed);
    const QImage pressed = grabImage(b);
    EXPECT_EQ(pixelAt(pressed, 60, 0), QColor(0, 64, 64));
    EXPECT_EQ(pixelAt(pressed, 0, 13), QColor(0, 64, 64));
    EXPECT_EQ(pixelAt(pressed, 60, 26), kTeal);
    EXPECT_EQ(pixelAt(pressed, 119, 13), kTeal);

    QSignalSpy clicks(&b, &TColorButton::clicked);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 13));
    EXPECT_EQ(b.state(), TColorButton::bsUp);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grabImage(b), up);
}

TEST(ColorButton, loweredBevelSwapsTheColours) {
    TColorButton b;
    tealButton(b, 2);
    b.setBevelStyle(TColorButton::bvLowered);
    const QImage image = grabImage(b);
    EXPECT_EQ(pixelAt(image, 60, 0), QColor(0, 64, 64));
    EXPECT_EQ(pixelAt(image, 60, 26), QColor(64, 192, 192));
}

struct ShiftRow {
    const char* name;
    int bevel;
    int shift;
};

class PressedShift : public ::testing::TestWithParam<ShiftRow> {};

TEST_P(PressedShift, movesTheCaptionByHalfTheBevel) {
    TColorButton b;
    tealButton(b, GetParam().bevel);
    b.setCaption(QStringLiteral("HELP"));
    const QRect up = boxOfColor(grabImage(b), kWhite);
    ASSERT_FALSE(up.isEmpty());
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(60, 13));
    const QRect down = boxOfColor(grabImage(b), kWhite);
    EXPECT_EQ(down.topLeft() - up.topLeft(), QPoint(GetParam().shift, GetParam().shift));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(60, 13));
}

INSTANTIATE_TEST_SUITE_P(Rows, PressedShift,
                         ::testing::Values(ShiftRow{"bevel4", 4, 2}, ShiftRow{"bevel3", 3, 1},
                                           ShiftRow{"bevel1", 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ColorButton, releasedOffTheButtonDoesNotClick) {
    TColorButton b;
    tealButton(b, 4);
    QSignalSpy clicks(&b, &TColorButton::clicked);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(60, 13));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(300, 13));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(b.state(), TColorButton::bsUp);
}

TEST(ColorButton, disabledShowsEngravedCaptionAndIgnoresPresses) {
    TColorButton b;
    tealButton(b, 4);
    b.setCaption(QStringLiteral("HELP"));
    b.setEnabled(false);
    EXPECT_EQ(b.state(), TColorButton::bsDisabled);
    const QImage image = grabImage(b);
    EXPECT_EQ(countColor(image, kWhite), 0);
    const QRect light = boxOfColor(image.copy(4, 4, 112, 19), QColor(64, 192, 192));
    const QRect dark = boxOfColor(image.copy(4, 4, 112, 19), QColor(0, 64, 64));
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_EQ(light.bottomRight() - dark.bottomRight(), QPoint(1, 1));
    // The bevel stays raised.
    EXPECT_EQ(pixelAt(image, 60, 0), QColor(64, 192, 192));

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(60, 13));
    EXPECT_EQ(b.state(), TColorButton::bsDisabled);
    b.setEnabled(true);
    EXPECT_EQ(b.state(), TColorButton::bsUp);
    EXPECT_GT(countColor(grabImage(b), kWhite), 0);
}

TEST(ColorButton, noBevelLeavesTheFaceToTheEdge) {
    for (auto setup : {+[](TColorButton& b) { b.setBevelStyle(TColorButton::bvNone); },
                       +[](TColorButton& b) { b.setBevelSize(0); }}) {
        TColorButton b;
        tealButton(b, 4);
        setup(b);
        const QImage image = grabImage(b);
        EXPECT_EQ(pixelAt(image, 0, 0), kTeal);
        EXPECT_EQ(pixelAt(image, 119, 26), kTeal);
    }
}

TEST(ColorButton, win95FrameHasBlackOuterEdgeThatTurnsWhenPressed) {
    TColorButton b;
    b.setBevelType(TColorButton::ctWin95);
    b.setColor(qm::controls::system::btnFace());
    const QImage up = grabImage(b);
    EXPECT_EQ(pixelAt(up, 30, 0), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(up, 30, 24), QColor(0, 0, 0));
    EXPECT_EQ(pixelAt(up, 74, 12), QColor(0, 0, 0));
    EXPECT_EQ(pixelAt(up, 30, 23), QColor(128, 128, 128));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 12));
    const QImage down = grabImage(b);
    EXPECT_EQ(pixelAt(down, 30, 0), QColor(0, 0, 0));
    EXPECT_EQ(pixelAt(down, 30, 24), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(down, 30, 1), QColor(128, 128, 128));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 12));
}

TEST(ColorButton, autoSizeFitsPictureWithBevelAndBorder) {
    TColorButton b;
    b.setPictureMode(TColorButton::pmAutoSize);
    QPixmap pm(32, 32);
    pm.fill(Qt::red);
    b.setPicture(pm);
    EXPECT_EQ(b.size(), QSize(40, 40));
    b.setBevelSize(4);
    EXPECT_EQ(b.size(), QSize(44, 44));
}

struct PlaceRow {
    const char* name;
    TColorButton::TAlignment align;
    QPoint topLeft; // of an 8x8 picture in a 60x40 button with bevel 2, border 2
};

class PicturePlacement : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(PicturePlacement, followsPictureAlignment) {
    TColorButton b;
    b.resize(60, 40);
    QPixmap pm(8, 8);
    pm.fill(Qt::red);
    b.setPicture(pm);
    b.setPictureAlignment(GetParam().align);
    EXPECT_EQ(boxOfColor(grabImage(b), Qt::red), QRect(GetParam().topLeft, QSize(8, 8)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PicturePlacement,
    ::testing::Values(PlaceRow{"topLeft", TColorButton::alTopLeft, {4, 4}},
                      PlaceRow{
                          "middleCenter", TColorButton::alMiddleCenter, {4 + 26 - 4, 4 + 16 - 4}},
                      PlaceRow{"bottomRight", TColorButton::alBottomRight, {56 - 8, 36 - 8}},
                      PlaceRow{"topRight", TColorButton::alTopRight, {48, 4}},
                      PlaceRow{"bottomLeft", TColorButton::alBottomLeft, {4, 28}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorButton, longCaptionWrapsIntoSeveralLines) {
    TColorButton b;
    tealButton(b, 2);
    b.resize(80, 60);
    b.setCaption(QStringLiteral("Click to Learn What's New"));
    const QRect text = boxOfColor(grabImage(b), kWhite);
    const int line = QFontMetrics(b.font()).height();
    EXPECT_GT(text.height(), line);
    EXPECT_LE(text.width(), 80 - 8);
}
