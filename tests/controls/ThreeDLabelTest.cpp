#include "ControlTestUtil.h"

#include "controls/ThreeDLabel.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor kBack(192, 220, 192);
const QColor kBlue(0, 0, 255);
const QColor kShadow(255, 255, 255);

void setUp(TDRLabel& l) {
    QFont f = l.font();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setPixelSize(13);
    f.setBold(true);
    l.setFont(f);
    l.setText(QStringLiteral("Easily"));
    l.setColor(kBack);
    l.setFontColor(kBlue);
    l.resize(80, 20);
}

} // namespace

TEST(DrLabel, defaults) {
    TDRLabel l;
    EXPECT_EQ(l.hiColor(), QColor(0, 0, 255));
    EXPECT_EQ(l.loColor(), QColor(0, 0, 128));
    EXPECT_EQ(l.border(), TDRLabel::boNone);
    EXPECT_TRUE(l.ctl3D());
    EXPECT_EQ(l.blinkInterval(), 300);
    EXPECT_EQ(l.blink(), TDRLabel::blNone);
    EXPECT_EQ(l.shadowColor(), QColor(255, 255, 255));
    EXPECT_EQ(l.deep(), 1);
    EXPECT_FALSE(l.findChild<QTimer*>()->isActive());
}

struct DeepRow {
    const char* name;
    int set;
    int stored;
};

class DrDeep : public ::testing::TestWithParam<DeepRow> {};

TEST_P(DrDeep, acceptsOnlyOneOrTwo) {
    TDRLabel l;
    l.setDeep(GetParam().set);
    EXPECT_EQ(l.deep(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Rows, DrDeep,
                         ::testing::Values(DeepRow{"zero", 0, 1}, DeepRow{"three", 3, 1},
                                           DeepRow{"two", 2, 2}, DeepRow{"negative", -1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrLabel, shadowCopySitsDeepPixelsRightAndDown) {
    for (int deep : {1, 2}) {
        TDRLabel l;
        setUp(l);
        l.setDeep(deep);
        const QImage image = grabImage(l);
        const QRect text = boxOfColor(image, kBlue);
        const QRect shadow = boxOfColor(image, kShadow);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(shadow.bottomRight() - text.bottomRight(), QPoint(deep, deep)) << deep;
    }
}

TEST(DrLabel, textInTheBackgroundColourDrawsNothingButBorder) {
    TDRLabel l;
    setUp(l);
    l.setFontColor(kBack);
    l.setBorder(TDRLabel::boSingle);
    const QImage image = grabImage(l);
    EXPECT_EQ(countColor(image, kShadow), 0);
    EXPECT_EQ(countColor(image, kBack) + countColor(image, QColor(0, 0, 0)),
              image.width() * image.height());
    EXPECT_EQ(pixelAt(image, 10, 0), QColor(0, 0, 0));
    EXPECT_EQ(pixelAt(image, 10, 18), QColor(0, 0, 0)); // one pixel above the bottom edge
    EXPECT_EQ(pixelAt(image, 10, 19), kBack);
}

TEST(DrLabel, disabledDrawsShadowAndGreyText) {
    TDRLabel l;
    setUp(l);
    l.setEnabled(false);
    const QImage image = grabImage(l);
    EXPECT_EQ(countColor(image, kBlue), 0);
    EXPECT_GT(countColor(image, QColor(128, 128, 128)), 10);
    EXPECT_GT(countColor(image, kShadow), 0);
}

TEST(DrLabel, blinkHidesAndShowsAndRestoresColourWhenStopped) {
    TDRLabel l;
    setUp(l);
    l.setBlink(TDRLabel::blBlink);
    EXPECT_TRUE(l.findChild<QTimer*>()->isActive());
    l.blinkStep();
    EXPECT_EQ(l.fontColor(), kBack);
    EXPECT_EQ(countColor(grabImage(l), kShadow), 0); // vanished, shadow included
    l.blinkStep();
    EXPECT_EQ(l.fontColor(), kBlue);
    l.blinkStep(); // vanished again
    l.setBlink(TDRLabel::blNone);
    EXPECT_EQ(l.fontColor(), kBlue);
    EXPECT_FALSE(l.findChild<QTimer*>()->isActive());
}

TEST(DrLabel, coloursTheParentsPaletteChangesAreAnnounced) {
    QWidget parent;
    auto* l = new TDRLabel(&parent);
    QSignalSpy colour(l, &TDRLabel::colorChanged);
    QSignalSpy text(l, &TDRLabel::fontColorChanged);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, kBack);
    parent.setPalette(pal);
    EXPECT_EQ(l->color(), kBack);
    ASSERT_EQ(colour.size(), 1);
    EXPECT_EQ(colour[0][0].value<QColor>(), kBack);
    EXPECT_EQ(text.size(), 0);
    l->setFontColor(kBlue); // its own setting outranks the parent's from now on
    pal.setColor(QPalette::WindowText, kShadow);
    parent.setPalette(pal);
    EXPECT_EQ(text.size(), 1);
    EXPECT_EQ(l->fontColor(), kBlue);
}

TEST(DrLabel, hiLoAlternatesBetweenItsColours) {
    TDRLabel l;
    setUp(l);
    l.setFontColor(QColor(128, 0, 0));
    l.setBlink(TDRLabel::blBlink);
    l.setBlink(TDRLabel::blHiLo); // restores the saved colour first
    EXPECT_EQ(l.fontColor(), QColor(128, 0, 0));
    l.blinkStep();
    EXPECT_EQ(l.fontColor(), l.hiColor());
    l.blinkStep();
    EXPECT_EQ(l.fontColor(), l.loColor());
    l.blinkStep();
    EXPECT_EQ(l.fontColor(), l.hiColor());
}

TEST(DrLabel, timerFollowsBlinkInterval) {
    TDRLabel l;
    l.setBlinkInterval(40);
    EXPECT_EQ(l.findChild<QTimer*>()->interval(), 40);
    QWidget parent;
    auto* shown = new TDRLabel(&parent);
    setUp(*shown);
    shown->setBlinkInterval(10);
    shown->setBlink(TDRLabel::blBlink);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown->fontColor() == kBack; }, 2000));
}

TEST(DrLabel, longCaptionIsCutTo255Characters) {
    TDRLabel cut, full;
    for (TDRLabel* l : {&cut, &full}) {
        setUp(*l);
        l->resize(4000, 20);
        l->setWordWrap(false);
    }
    cut.setText(QString(255, QLatin1Char('i')) + QStringLiteral("WWWW"));
    full.setText(QString(255, QLatin1Char('i')));
    EXPECT_EQ(grabImage(cut), grabImage(full));
}

TEST(DrLabel, negativeBlinkIntervalIsStoredButTimedByItsSize) {
    TDRLabel l;
    l.setBlinkInterval(-250);
    EXPECT_EQ(l.blinkInterval(), -250);
    EXPECT_EQ(l.findChild<QTimer*>()->interval(), 250);
}
