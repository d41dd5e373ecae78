#include "controls/BalloonGeometry.h"
#include "controls/SystemColors.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using qm::controls::balloonBody;
using qm::controls::BalloonLook;
using qm::controls::balloonMask;
using qm::controls::BalloonPlacement;
using qm::controls::balloonTail;
using qm::controls::balloonTextRect;
using qm::controls::balloonTextWidthLimit;
using qm::controls::balloonWindowSize;
using qm::controls::defaultUiFont;
using qm::controls::effectiveMaxWidth;
using qm::controls::measureBalloonText;
using qm::controls::placeBalloon;
using qm::controls::renderBalloon;

namespace {

const QRect Screen640(0, 0, 640, 480);

// Set bits of a window mask (color1, drawn black) are the part of the window that shows.
bool inMask(const QImage& mask, int x, int y) {
    return qGray(mask.pixel(x, y)) < 128;
}
bool inMask(const QImage& mask, const QPoint& p) {
    return inMask(mask, p.x(), p.y());
}

struct MaxWidthRow {
    const char* name;
    int maxWidth;
    int screenWidth;
    int expected;
};

class EffectiveMaxWidth : public ::testing::TestWithParam<MaxWidthRow> {};

TEST_P(EffectiveMaxWidth, followsSignOfSetting) {
    const MaxWidthRow& r = GetParam();
    EXPECT_EQ(effectiveMaxWidth(r.maxWidth, r.screenWidth), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Balloon, EffectiveMaxWidth,
                         ::testing::Values(MaxWidthRow{"QuarterOf640", -4, 640, 160},
                                           MaxWidthRow{"WholeScreen", -1, 800, 800},
                                           MaxWidthRow{"PixelsBelowScreen", 300, 640, 300},
                                           MaxWidthRow{"PixelsLimitedToScreen", 1000, 640, 640},
                                           MaxWidthRow{"ZeroIsWholeScreenNotADivision", 0, 640,
                                                       640}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlaceRow {
    const char* name;
    TBalloonPosition preferred;
    QPoint pointer;
    TBalloonPosition expected;
};

class Placement : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(Placement, flipsToFitAndKeepsTailAtPointer) {
    const PlaceRow& r = GetParam();
    const int d = 8;
    const QSize size(150, 70);
    const BalloonPlacement place = placeBalloon(r.preferred, r.pointer, size, Screen640);
    EXPECT_EQ(place.direction, r.expected);
    // A balloon that fits anywhere ends up wholly on the screen.
    EXPECT_TRUE(Screen640.contains(QRect(place.topLeft, size)))
        << place.topLeft.x() << "," << place.topLeft.y();
    // The tail's tip is the window corner next to the pointer (shortened by the shadow).
    const QPoint tip = balloonTail(size, place.direction, d).point(0) + place.topLeft;
    EXPECT_LE(std::abs(tip.x() - r.pointer.x()), d + 1);
    EXPECT_LE(std::abs(tip.y() - r.pointer.y()), d + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Balloon, Placement,
    ::testing::Values(PlaceRow{"MiddleKeepsAboveRight", bpAboveRight, {320, 240}, bpAboveRight},
                      PlaceRow{"MiddleKeepsBelowLeft", bpBelowLeft, {320, 240}, bpBelowLeft},
                      PlaceRow{"RightEdgeFlipsLeft", bpAboveRight, {630, 240}, bpAboveLeft},
                      PlaceRow{"TopEdgeFlipsBelow", bpAboveRight, {320, 10}, bpBelowRight},
                      PlaceRow{"LeftEdgeFlipsRight", bpAboveLeft, {5, 240}, bpAboveRight},
                      PlaceRow{"BottomEdgeFlipsAbove", bpBelowRight, {320, 475}, bpAboveRight},
                      PlaceRow{"TopRightCornerFlipsBoth", bpAboveRight, {635, 3}, bpBelowLeft},
                      PlaceRow{"BottomLeftCornerFlipsBoth", bpBelowLeft, {4, 470}, bpAboveRight}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BalloonSize, oneWordIsAtLeast59Wide) {
    const QFont font = defaultUiFont();
    const int d = 8;
    const QSize text = measureBalloonText(font, QStringLiteral("Hi"), 400);
    ASSERT_LT(text.width() + d + 33, 59);
    const QSize size = balloonWindowSize(text, d);
    EXPECT_EQ(size.width(), 59);
    EXPECT_EQ(size.height(), text.height() + d + 38);
}

TEST(BalloonSize, quarterOf640WrapsLongHintWithin160) {
    const QFont font = defaultUiFont();
    const int d = 8;
    const QString hint = QStringLiteral("Makes a new font file containing the data you entered.");
    const int limit =
        balloonTextWidthLimit(320, Screen640, effectiveMaxWidth(-4, Screen640.width()), d);
    EXPECT_EQ(limit, 160 - d - 33);
    const QSize text = measureBalloonText(font, hint, limit);
    const QSize size = balloonWindowSize(text, d);
    EXPECT_LE(size.width(), 160);
    const QFontMetrics fm(font);
    EXPECT_GT(fm.horizontalAdvance(hint), limit);
    EXPECT_GE(text.height(), 2 * fm.lineSpacing()) << "the hint should wrap";
}

TEST(BalloonSize, pointerNearEdgeUsesTheWiderSide) {
    // At x = 600 the left side (600) is the room available, limited by MaxWidth.
    EXPECT_EQ(balloonTextWidthLimit(600, Screen640, 640, 8), 600 - 8 - 33);
    EXPECT_EQ(balloonTextWidthLimit(40, Screen640, 640, 8), 600 - 8 - 33);
    // A tiny maximum still leaves a positive width to wrap in.
    EXPECT_GE(balloonTextWidthLimit(320, Screen640, 10, 16), 1);
}

class Direction : public ::testing::TestWithParam<TBalloonPosition> {};

TEST_P(Direction, textAreaHoldsExactlyTheMeasuredText) {
    const int d = 8;
    const QSize text(97, 26);
    const QSize size = balloonWindowSize(text, d);
    const QRect area = balloonTextRect(size, GetParam(), d);
    EXPECT_EQ(area.width(), text.width());
    EXPECT_GE(area.height(), text.height());
    // The body and tail stay clear of the shadow's strip on the right and bottom.
    const QRect body = balloonBody(size, GetParam(), d);
    EXPECT_LE(body.right(), size.width() - d - 1);
    EXPECT_LE(body.bottom(), size.height() - d - 1);
    EXPECT_GE(body.left(), 0);
    EXPECT_GE(body.top(), 0);
}

TEST_P(Direction, tailTouchesTheBodyAndPointsAway) {
    const int d = 8;
    const QSize size(150, 70);
    const QPolygon tail = balloonTail(size, GetParam(), d);
    const QRect body = balloonBody(size, GetParam(), d);
    EXPECT_FALSE(body.contains(tail.point(0))) << "the tip lies outside the body";
    // The tail's base lies on the body's edge row (within one pixel).
    const int baseY = tail.point(1).y();
    EXPECT_TRUE(std::abs(baseY - body.top()) <= 1 || std::abs(baseY - body.bottom()) <= 1) << baseY;
}

TEST_P(Direction, zeroShadowMaskIsExactlyTheBalloon) {
    const QSize size(120, 60);
    const QImage mask = balloonMask(size, GetParam(), 0, bsRoundRect).toImage();
    BalloonLook look;
    look.shadowDepth = 0;
    look.fill = Qt::yellow;
    look.outline = Qt::black;
    look.textColor = Qt::black;
    QImage background(size, QImage::Format_RGB32);
    background.fill(QColor(10, 200, 30));
    const QImage drawn = renderBalloon(size, GetParam(), look, QString(), background);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool shown = inMask(mask, x, y);
            const bool untouched = drawn.pixel(x, y) == background.pixel(x, y);
            ASSERT_NE(shown, untouched) << x << "," << y;
        }
}

TEST_P(Direction, shadowWidensTheMaskByItsDepth) {
    const QSize size(120, 60);
    const int d = 8;
    const QImage with = balloonMask(size, GetParam(), d, bsRectangle).toImage();
    const QRect body = balloonBody(size, GetParam(), d);
    const QPoint corner = body.bottomRight() + QPoint(d, d);
    EXPECT_TRUE(inMask(with, corner));
    EXPECT_TRUE(inMask(with, body.center()));
}

std::string directionName(const ::testing::TestParamInfo<TBalloonPosition>& info) {
    static const char* const names[] = {"AboveLeft", "AboveRight", "BelowLeft", "BelowRight"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Balloon, Direction,
                         ::testing::Values(bpAboveLeft, bpAboveRight, bpBelowLeft, bpBelowRight),
                         directionName);

struct ShadowRow {
    const char* name;
    TBalloonShadowStyle style;
};

class Shadow : public ::testing::TestWithParam<ShadowRow> {};

TEST_P(Shadow, darkensTheStripBesideTheBalloon) {
    const QSize size(120, 60);
    const int d = 8;
    BalloonLook look;
    look.shadowDepth = d;
    look.shadowStyle = GetParam().style;
    look.shape = bsRectangle;
    look.fill = qm::controls::system::infoBk();
    look.outline = Qt::black;
    look.textColor = Qt::black;
    const QColor behind(10, 200, 30);
    QImage background(size, QImage::Format_RGB32);
    background.fill(behind);
    const QImage drawn = renderBalloon(size, bpAboveLeft, look, QString(), background);
    const QRect body = balloonBody(size, bpAboveLeft, d);
    // Right of the body, inside its shadow only: two neighbouring pixels.
    const int y = body.center().y();
    const int x = body.right() + 3;
    const QRgb a = drawn.pixel(x, y), b = drawn.pixel(x + 1, y);
    if (GetParam().style == ssSolid) {
        EXPECT_EQ(a, qRgb(0, 0, 0));
        EXPECT_EQ(b, qRgb(0, 0, 0));
    } else {
        // Half-tone: pixels with x + y even are black, the others keep the background.
        const QRgb even = (x + y) % 2 == 0 ? a : b;
        const QRgb odd = (x + y) % 2 == 0 ? b : a;
        EXPECT_EQ(even, qRgb(0, 0, 0));
        EXPECT_EQ(odd, behind.rgb());
    }
    // Inside the body: fill; on its top edge: outline; beyond the shadow: background.
    EXPECT_EQ(drawn.pixel(body.center()), look.fill.rgb());
    EXPECT_EQ(drawn.pixel(body.center().x(), body.top()), qRgb(0, 0, 0));
    EXPECT_EQ(drawn.pixel(size.width() - 1, 0), behind.rgb());
}

INSTANTIATE_TEST_SUITE_P(Balloon, Shadow,
                         ::testing::Values(ShadowRow{"Shaded", ssShaded},
                                           ShadowRow{"Solid", ssSolid}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BalloonShape, roundRectCutsTheCornersRectangleDoesNot) {
    const QSize size(120, 60);
    const QImage round = balloonMask(size, bpAboveLeft, 0, bsRoundRect).toImage();
    const QImage square = balloonMask(size, bpAboveLeft, 0, bsRectangle).toImage();
    EXPECT_FALSE(inMask(round, 0, 0));
    EXPECT_TRUE(inMask(square, 0, 0));
    EXPECT_TRUE(inMask(round, 9, 0));
}

} // namespace
