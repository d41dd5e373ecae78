#include "ControlTestUtil.h"

#include "controls/FlashingLabel.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
int timers(const TFlashingLabel& l) {
    return l.findChildren<QTimer*>().size();
}
} // namespace

TEST(FlashingLabel, defaultsAreSteadyBlack500) {
    TFlashingLabel l;
    EXPECT_FALSE(l.flashing());
    EXPECT_EQ(l.interval(), 500);
    EXPECT_EQ(l.color(), QColor(0, 0, 0));
    EXPECT_EQ(timers(l), 0);
}

TEST(FlashingLabel, flashingTwiceMakesOneTimer) {
    TFlashingLabel l;
    l.setFlashing(true);
    l.setFlashing(true);
    EXPECT_EQ(timers(l), 1);
    EXPECT_TRUE(l.findChild<QTimer*>()->isActive());
    EXPECT_EQ(l.findChild<QTimer*>()->interval(), 500);
    l.setFlashing(false);
    EXPECT_EQ(timers(l), 0);
}

TEST(FlashingLabel, switchingOffWhenAlreadyOffDoesNotShowTheLabel) {
    TFlashingLabel l;
    l.setHidden(true);
    l.setFlashing(false);
    EXPECT_TRUE(l.isHidden());
}

TEST(FlashingLabel, switchingOffWhileHiddenLeavesItVisible) {
    TFlashingLabel l;
    l.setFlashing(true);
    l.setHidden(true); // the phase a tick would leave
    l.setFlashing(false);
    EXPECT_FALSE(l.isHidden());
}

struct IntervalRow {
    const char* name;
    int set;
    int stored;
};

class FlashingInterval : public ::testing::TestWithParam<IntervalRow> {};

TEST_P(FlashingInterval, isStoredWithoutSign) {
    TFlashingLabel l;
    l.setInterval(GetParam().set);
    EXPECT_EQ(l.interval(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Rows, FlashingInterval,
                         ::testing::Values(IntervalRow{"negative", -300, 300},
                                           IntervalRow{"positive", 250, 250},
                                           IntervalRow{"zero", 0, 0},
                                           IntervalRow{"lowest", INT_MIN, INT_MAX}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FlashingLabel, intervalChangeReachesTheRunningTimer) {
    TFlashingLabel l;
    l.setFlashing(true);
    QTimer* timer = l.findChild<QTimer*>();
    l.setInterval(-120);
    EXPECT_EQ(l.findChild<QTimer*>(), timer);
    EXPECT_EQ(timer->interval(), 120);
    EXPECT_TRUE(timer->isActive());
}

TEST(FlashingLabel, ticksToggleVisibility) {
    QWidget parent;
    auto* l = new TFlashingLabel(&parent);
    parent.show();
    l->setInterval(10);
    l->setFlashing(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return l->isHidden(); }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !l->isHidden(); }, 2000));
    l->setFlashing(false);
    EXPECT_FALSE(l->isHidden());
}

TEST(FlashingLabel, colourSetsTheTextColourOnlyWhenChanged) {
    TFlashingLabel l;
    l.show();
    l.setColor(QColor(0, 0, 255));
    EXPECT_EQ(l.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(l.palette().color(QPalette::Window), QLabel().palette().color(QPalette::Window));
    QCoreApplication::processEvents();
    PaintCounter paints(&l);
    l.setColor(QColor(0, 0, 255));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
}
