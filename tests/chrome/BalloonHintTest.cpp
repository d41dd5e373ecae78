#include "controls/BalloonHint.h"
#include "controls/HintTiming.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using qm::controls::balloonBody;
using qm::controls::balloonMask;
using qm::controls::balloonTail;
using qm::controls::defaultUiFont;
using qm::controls::kMaxShadowDepth;
using qm::controls::measureBalloonText;
using qm::controls::setApplicationHintPause;

namespace {

// Stands in for the application's hint switch turned off: tooltip requests stop here.
class HintsOff : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::ToolTip; }
};

const QString Hint = QStringLiteral("Makes a new font file containing the data you entered.");

bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

class BalloonHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        setApplicationHintPause(1000); // the window's own timing
        QCursor::setPos(0, 0);
        form = std::make_unique<QWidget>();
        form->setGeometry(100, 150, 400, 300);
        button = new QPushButton(QStringLiteral("Create New Font Now"), form.get());
        button->setGeometry(50, 200, 160, 30);
        button->setToolTip(Hint);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        hint = std::make_unique<TBalloonHint>();
    }
    void TearDown() override {
        hint.reset();
        form.reset();
        QCursor::setPos(0, 0);
    }

    bool balloonShowing() const { return hint->hintWindow() && hint->hintWindow()->isVisible(); }
    void hoverButton(QPoint at = {80, 15}) { QTest::mouseMove(button, at); }
    bool waitForBalloon(int ms = 2500) {
        return waitUntil([this] { return balloonShowing(); }, ms);
    }

    std::unique_ptr<QWidget> form;
    QPushButton* button = nullptr;
    std::unique_ptr<TBalloonHint> hint;
};

TEST_F(BalloonHintTest, showsAfterThePauseNextToThePointerThenHidesAfterSixSeconds) {
    hint->setHintHidePause(6000);
    hoverButton();
    QTest::qWait(800);
    EXPECT_FALSE(balloonShowing()) << "the hint must wait its pause";
    ASSERT_TRUE(waitForBalloon());
    TBalloonHintWindow* w = hint->hintWindow();
    EXPECT_EQ(w->text(), Hint);
    EXPECT_EQ(hint->hintControl(), button);
    const QPoint pointer = button->mapToGlobal(QPoint(80, 15));
    const QPoint tip =
        balloonTail(w->size(), w->Direction(), hint->ShadowDepth()).point(0) + w->pos();
    EXPECT_LE((tip - pointer).manhattanLength(), 2 * (hint->ShadowDepth() + 1));

    QTest::qWait(5500);
    EXPECT_TRUE(balloonShowing()) << "still within the six seconds";
    EXPECT_TRUE(waitUntil([this] { return !balloonShowing(); }, 1500));
    // Resting on the same control does not bring it back.
    hoverButton({82, 15});
    QTest::qWait(1500);
    EXPECT_FALSE(balloonShowing());
}

TEST_F(BalloonHintTest, noBalloonWhileAMouseButtonIsHeld) {
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(80, 15));
    QTest::mouseMove(button, QPoint(90, 16));
    QTest::qWait(1600);
    EXPECT_FALSE(balloonShowing());

    // Even asked directly, the balloon refuses to show with the button down...
    TBalloonWindow direct(hint.get());
    direct.ActivateHint(QPoint(300, 300), Hint);
    EXPECT_FALSE(direct.isVisible());
    // ...unless told to ignore the buttons.
    hint->setBehavior(hint->Behavior() & ~TBalloonBehaviors(bbNoShowMouseDown));
    direct.ActivateHint(QPoint(300, 300), Hint);
    EXPECT_TRUE(direct.isVisible());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(90, 16));
}

TEST_F(BalloonHintTest, hintSwitchOffMeansNoBalloon) {
    HintsOff off;
    qApp->installEventFilter(&off);
    hoverButton();
    QTest::qWait(1600);
    EXPECT_FALSE(balloonShowing());
    EXPECT_FALSE(QToolTip::isVisible());
    qApp->removeEventFilter(&off);
}

TEST_F(BalloonHintTest, inactiveShowsThePlainTooltip) {
    hint->setActive(false);
    hoverButton();
    ASSERT_TRUE(waitUntil([] { return QToolTip::isVisible(); }, 2500));
    EXPECT_EQ(QToolTip::text(), Hint);
    EXPECT_EQ(hint->hintWindow(), nullptr);
    QToolTip::hideText();
}

TEST_F(BalloonHintTest, leavingTheControlOrClickingHidesIt) {
    hoverButton();
    ASSERT_TRUE(waitForBalloon());
    QTest::mouseMove(form.get(), QPoint(300, 50));
    EXPECT_TRUE(waitUntil([this] { return !balloonShowing(); }, 500));

    hoverButton({60, 10});
    ASSERT_TRUE(waitForBalloon());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_FALSE(balloonShowing());
}

TEST_F(BalloonHintTest, regionsShapeTheWindowToBalloonAndShadow) {
    hoverButton();
    ASSERT_TRUE(waitForBalloon());
    TBalloonHintWindow* w = hint->hintWindow();
    EXPECT_FALSE(w->hooked());
    const QRegion expected(balloonMask(w->size(), w->Direction(), 8, bsRoundRect));
    EXPECT_EQ(w->mask(), expected);
}

TEST_F(BalloonHintTest, withoutRegionsTheSecondMouseMoveCancels) {
    hint->setBehavior(bbNoShowMouseDown | bbHideOnPaint);
    hoverButton();
    ASSERT_TRUE(waitForBalloon());
    TBalloonHintWindow* w = hint->hintWindow();
    EXPECT_TRUE(w->hooked());
    EXPECT_TRUE(w->mask().isEmpty());
    hoverButton({85, 15});
    EXPECT_TRUE(balloonShowing()) << "the first move after showing is ignored";
    hoverButton({90, 15});
    EXPECT_FALSE(balloonShowing());
    EXPECT_FALSE(w->hooked());
}

TEST_F(BalloonHintTest, withoutRegionsAPaintUnderneathCancels) {
    hint->setBehavior(bbNoShowMouseDown | bbHideOnPaint);
    hoverButton();
    ASSERT_TRUE(waitForBalloon());
    form->repaint();
    EXPECT_FALSE(balloonShowing());
}

struct EdgeRow {
    const char* name;
    QPoint pointer;
    TBalloonPosition expected;
};

class BalloonAtScreenEdge : public ::testing::TestWithParam<EdgeRow> {};

TEST_P(BalloonAtScreenEdge, staysOnA640ScreenWithin160Pixels) {
    const QRect screen(0, 0, 640, 480);
    TBalloonBase settings;
    settings.setBehavior(bbUseRegions);
    TBalloonWindow w(&settings);
    w.ActivateHint(GetParam().pointer, Hint, screen);
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.Direction(), GetParam().expected);
    EXPECT_TRUE(screen.contains(w.geometry()));
    EXPECT_LE(w.width(), 160);
    EXPECT_GE(w.height(), 2 * QFontMetrics(defaultUiFont()).lineSpacing() + 8 + 38);
    EXPECT_EQ(w.fillColor(), qm::controls::system::infoBk());
    EXPECT_EQ(w.outlineColor(), qm::controls::system::windowFrame());
}

INSTANTIATE_TEST_SUITE_P(Balloon, BalloonAtScreenEdge,
                         ::testing::Values(EdgeRow{"Right", {630, 240}, bpAboveLeft},
                                           EdgeRow{"Top", {320, 4}, bpBelowRight},
                                           EdgeRow{"Left", {3, 240}, bpAboveRight},
                                           EdgeRow{"Bottom", {320, 478}, bpAboveRight}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BalloonWindow, zeroShadowGivesAWindowExactlyAsLargeAsTheBalloon) {
    TBalloonBase settings;
    settings.setShadowDepth(0);
    TBalloonWindow w(&settings);
    w.ActivateHint(QPoint(300, 300), QStringLiteral("Turns sound on / off."),
                   QRect(0, 0, 640, 480));
    const QSize text =
        measureBalloonText(defaultUiFont(), QStringLiteral("Turns sound on / off."), 160 - 33);
    EXPECT_EQ(w.size(), QSize(std::max(text.width() + 33, 59), text.height() + 38));
    // No shadow: every pixel outside the balloon shape is left as the background.
    const QImage mask = balloonMask(w.size(), w.Direction(), 0, bsRoundRect).toImage();
    EXPECT_EQ(w.mask(), QRegion(QBitmap::fromImage(mask)));
}

TEST(BalloonWindow, customStyleTakesTheComponentsColours) {
    TBalloonBase settings;
    settings.setStyle(hsCustom);
    settings.setColor(QColor(200, 230, 255));
    settings.setBorderColor(QColor(0, 0, 160));
    settings.setShadowDepth(40);
    EXPECT_EQ(settings.ShadowDepth(), kMaxShadowDepth);
    TBalloonWindow w(&settings);
    w.ActivateHint(QPoint(300, 300), QStringLiteral("Custom"), QRect(0, 0, 640, 480));
    EXPECT_EQ(w.fillColor(), QColor(200, 230, 255));
    EXPECT_EQ(w.outlineColor(), QColor(0, 0, 160));
    const QRect body = balloonBody(w.size(), w.Direction(), kMaxShadowDepth);
    // Inside the body, in the margin around the text.
    EXPECT_EQ(w.image().pixel(body.left() + 4, body.center().y()), QColor(200, 230, 255).rgb());
}

} // namespace
