#include "controls/WindowRoller.h"
#include "controls/RollerGeometry.h"
#include "controls/SystemColors.h"

#include <QDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using qm::controls::bsDialog;
using qm::controls::bsNone;
using qm::controls::bsSingle;
using qm::controls::bsSizeable;
using qm::controls::bsToolWindow;
using qm::controls::CaptionButtonRects;
using qm::controls::captionButtonRects;
using qm::controls::rollerButtonRect;
using qm::controls::rollerTrianglePixels;
using qm::controls::TFormStyle;
using qm::controls::TSystemMetrics;

namespace {

// The main window's frame: single border, system menu and minimise box, no maximise box.
std::unique_ptr<QWidget> makeMainForm(QSize size = {627, 457}) {
    auto form = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint |
                                                       Qt::WindowSystemMenuHint |
                                                       Qt::WindowMinimizeButtonHint);
    form->setFixedSize(size);
    return form;
}

TEST(WinRollerOwner, refusesAnythingButAMainWindow) {
    QObject plain;
    QWidget top;
    auto* child = new QPushButton(&top);
    for (QObject* owner : {static_cast<QObject*>(nullptr), &plain, static_cast<QObject*>(child)}) {
        try {
            TWinRoller roller(owner);
            ADD_FAILURE() << "accepted " << (owner ? owner->metaObject()->className() : "null");
        } catch (const EOwnerError& e) {
            EXPECT_STREQ(e.what(), "Class of the owner is not a TForm!");
        }
    }
    EXPECT_TRUE(top.children().contains(child));
}

TEST(WinRollerOwner, acceptsWindowsAndDialogs) {
    QMainWindow main;
    QDialog dialog;
    auto form = makeMainForm();
    EXPECT_NO_THROW(TWinRoller{&main});
    EXPECT_NO_THROW(TWinRoller{&dialog});
    EXPECT_NO_THROW(TWinRoller{form.get()});
}

struct ButtonRow {
    const char* name;
    TFormStyle style;
    int width;
    QRect expected;
};

class RollerButtonPlace : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(RollerButtonPlace, sitsLeftOfTheCaptionButtons) {
    const ButtonRow& r = GetParam();
    EXPECT_EQ(rollerButtonRect(r.width, r.style, TSystemMetrics{}), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Roller, RollerButtonPlace,
    ::testing::Values(
        // 3 frame + 2, close 18 + 2, the min/max pair 2 * 18 - 6: right edge 55 in.
        ButtonRow{"MainWindow", {bsSingle, true, true, false, false}, 627, QRect(556, 5, 16, 14)},
        ButtonRow{"Sizeable", {bsSizeable, true, true, true, false}, 400, QRect(328, 6, 16, 14)},
        ButtonRow{"DialogHasNoMinMaxPair",
                  {bsDialog, true, false, false, false},
                  400,
                  QRect(358, 5, 16, 14)},
        ButtonRow{"HelpOnly", {bsSingle, true, false, false, true}, 400, QRect(345, 5, 16, 14)},
        ButtonRow{
            "NoSystemMenu", {bsSingle, false, false, false, false}, 400, QRect(379, 5, 16, 14)},
        ButtonRow{
            "ToolWindow", {bsToolWindow, true, false, false, false}, 300, QRect(271, 5, 10, 10)},
        ButtonRow{"NoBorder", {bsNone, true, true, true, false}, 300, QRect()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RollerButtonPlace, mainWindowButtonTouchesTheMinimiseButton) {
    const TFormStyle style{bsSingle, true, true, false, false};
    const CaptionButtonRects b = captionButtonRects(627, style, TSystemMetrics{});
    const QRect roller = rollerButtonRect(627, style, TSystemMetrics{});
    EXPECT_EQ(roller.right() + 1, b.minimize.left());
    EXPECT_EQ(roller.top(), b.minimize.top());
    EXPECT_EQ(roller.size(), b.minimize.size());
}

TEST(RollerTriangles, upperPointsUpLowerPointsDownAndPushShiftsBoth) {
    const QSize button(16, 14);
    const auto up = rollerTrianglePixels(button, true, true, false);
    const auto down = rollerTrianglePixels(button, false, true, false);
    auto rows = [](const std::vector<QPoint>& px, int y) {
        return std::count_if(px.begin(), px.end(), [y](const QPoint& p) { return p.y() == y; });
    };
    // Upward: apex 2 below the top, widening to the base 2 above the middle.
    EXPECT_EQ(rows(up, 2), 2);
    EXPECT_EQ(rows(up, 5), 8);
    EXPECT_EQ(rows(up, 1), 0);
    EXPECT_EQ(rows(up, 6), 0);
    // Downward: base on the middle line, narrowing at 45 degrees.
    EXPECT_EQ(rows(down, 7), 8);
    EXPECT_EQ(rows(down, 8), 6);
    EXPECT_EQ(rows(down, 10), 2);
    // Both are centred: as many pixels left of the middle as right of it.
    for (const auto* px : {&up, &down}) {
        const auto left =
            std::count_if(px->begin(), px->end(), [](const QPoint& p) { return p.x() < 8; });
        EXPECT_EQ(left * 2, static_cast<long>(px->size()));
    }
    const auto pushed = rollerTrianglePixels(button, true, true, true);
    ASSERT_EQ(pushed.size(), up.size());
    for (size_t i = 0; i < up.size(); ++i)
        EXPECT_EQ(pushed[i], up[i] + QPoint(1, 1));
    const auto outline = rollerTrianglePixels(button, false, false, false);
    EXPECT_LT(outline.size(), down.size());
    EXPECT_EQ(rows(outline, 7), 8) << "the base is drawn whole";
    EXPECT_EQ(rows(outline, 8), 2) << "inner rows only at their ends";
}

class WinRollerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = makeMainForm();
        form->move(50, 60);
        roller = new TWinRoller(form.get());
        roller->setEnabled(true);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QWidget* button() const { return roller->button(); }
    QPoint onButton() const { return button()->rect().center(); }
    QPoint offButton() const { return onButton() + QPoint(0, 40); }

    std::unique_ptr<QWidget> form;
    TWinRoller* roller = nullptr;
};

TEST_F(WinRollerTest, buttonIsAFrameWidgetAtItsRectangle) {
    ASSERT_NE(button(), nullptr);
    EXPECT_EQ(button()->objectName(), QStringLiteral("WinRollerButton"));
    EXPECT_EQ(button()->geometry(), QRect(556, 5, 16, 14));
    EXPECT_TRUE(button()->isVisible());
    roller->setVisible(false);
    EXPECT_FALSE(button()->isVisible());
}

struct TrackRow {
    const char* name;
    std::vector<int> moves; // 1: onto the button, 0: off it, in order after the press
    bool releaseOnButton;
    bool rolls;
};

class RollerTracking : public WinRollerTest, public ::testing::WithParamInterface<TrackRow> {};

TEST_P(RollerTracking, rollsOnlyWhenReleasedOverTheButton) {
    QSignalSpy spy(roller, &TWinRoller::OnRoller);
    QTest::mousePress(button(), Qt::LeftButton, {}, onButton());
    EXPECT_TRUE(roller->pressed());
    EXPECT_TRUE(roller->tracking());
    for (int on : GetParam().moves) {
        QTest::mouseMove(button(), on ? onButton() : offButton());
        EXPECT_EQ(roller->pressed(), on == 1);
    }
    QTest::mouseRelease(button(), Qt::LeftButton, {},
                        GetParam().releaseOnButton ? onButton() : offButton());
    EXPECT_FALSE(roller->pressed());
    EXPECT_FALSE(roller->tracking());
    EXPECT_EQ(roller->Roller(), GetParam().rolls);
    EXPECT_EQ(spy.count(), GetParam().rolls ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Roller, RollerTracking,
                         ::testing::Values(TrackRow{"Click", {}, true, true},
                                           TrackRow{"DragOffAndRelease", {0}, false, false},
                                           TrackRow{"DragOffAndBack", {0, 1}, true, true},
                                           TrackRow{"WanderAndLeave", {0, 1, 0}, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinRollerTest, rollsUpToTheCaptionAndDownToTheExactSize) {
    QSignalSpy spy(roller, &TWinRoller::OnRoller);
    const QRect before = form->geometry();
    roller->setRoller(true);
    // Caption 19 + frame 3 + bottom edge 3.
    EXPECT_EQ(roller->rolledUpHeight(), 25);
    EXPECT_EQ(form->mask().boundingRect(), QRect(0, 0, 627, 25));
    EXPECT_EQ(form->geometry(), before) << "a rolled window keeps its size";
    auto* edge = form->findChild<QWidget*>(QStringLiteral("WinRollerEdge"));
    ASSERT_NE(edge, nullptr);
    EXPECT_TRUE(edge->isVisible());
    EXPECT_EQ(edge->geometry(), QRect(0, 22, 627, 3));

    roller->setRoller(false);
    EXPECT_TRUE(form->mask().isEmpty());
    EXPECT_EQ(form->geometry(), before);
    EXPECT_FALSE(edge->isVisible());

    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).value<QObject*>(), roller);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 1);
    EXPECT_EQ(spy.at(1).at(1).toInt(), 0);
}

TEST_F(WinRollerTest, noRollAndNoNotificationWhenDisabledOrUnchanged) {
    QSignalSpy spy(roller, &TWinRoller::OnRoller);
    roller->setRoller(false);
    EXPECT_EQ(spy.count(), 0);
    roller->setEnabled(false);
    QTest::mouseClick(button(), Qt::LeftButton, {}, onButton());
    roller->setRoller(true);
    EXPECT_FALSE(roller->Roller());
    EXPECT_TRUE(form->mask().isEmpty());
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(WinRollerTest, remainHeightResizeAndMetricsKeepTheRolledShape) {
    roller->setRoller(true);
    roller->setRemainHeight(40);
    EXPECT_EQ(form->mask().boundingRect(), QRect(0, 0, 627, 65));

    form->setFixedSize(500, 457);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->mask().boundingRect(), QRect(0, 0, 500, 65));
    EXPECT_EQ(button()->geometry(), QRect(500 - 71, 5, 16, 14));

    TSystemMetrics big;
    big.cyCaption = 24;
    big.cxSize = 22;
    big.cySize = 22;
    roller->setMetrics(big);
    EXPECT_EQ(form->mask().boundingRect(), QRect(0, 0, 500, 24 + 3 + 3 + 40));
    EXPECT_EQ(button()->geometry().width(), 20);
}

TEST_F(WinRollerTest, trianglesSwapFillWithTheRollAndEmbossWhenDisabled) {
    const QImage down = roller->buttonImage();
    // Interior pixel of each triangle: (8, 4) in the upper one, (8, 8) in the lower one.
    EXPECT_EQ(down.pixel(8, 4), qm::controls::system::btnText().rgb());
    EXPECT_EQ(down.pixel(8, 8), qm::controls::system::btnFace().rgb());
    roller->setRoller(true);
    const QImage up = roller->buttonImage();
    EXPECT_EQ(up.pixel(8, 4), qm::controls::system::btnFace().rgb());
    EXPECT_EQ(up.pixel(8, 8), qm::controls::system::btnText().rgb());

    roller->setEnabled(false);
    const QImage embossed = roller->buttonImage();
    bool anyBlackInside = false, anyShadow = false, anyHighlight = false;
    for (int y = 2; y < 12; ++y)
        for (int x = 3; x < 13; ++x) {
            const QRgb c = embossed.pixel(x, y);
            anyBlackInside |= c == qm::controls::system::btnText().rgb();
            anyShadow |= c == qm::controls::system::btnShadow().rgb();
            anyHighlight |= c == qm::controls::system::btnHighlight().rgb();
        }
    EXPECT_FALSE(anyBlackInside);
    EXPECT_TRUE(anyShadow);
    EXPECT_TRUE(anyHighlight);
}

TEST_F(WinRollerTest, pressedButtonIsDrawnSunken) {
    const QImage raised = roller->buttonImage();
    QTest::mousePress(button(), Qt::LeftButton, {}, onButton());
    const QImage sunken = roller->buttonImage();
    QTest::mouseRelease(button(), Qt::LeftButton, {}, offButton());
    // Raised: light top-left corner; pushed: dark.
    EXPECT_EQ(raised.pixel(1, 1), qm::controls::system::btnHighlight().rgb());
    EXPECT_EQ(sunken.pixel(0, 0), qm::controls::system::btnShadow().rgb());
}

TEST_F(WinRollerTest, destroyingTheRollerUnrollsTheWindow) {
    roller->setRoller(true);
    delete roller;
    EXPECT_TRUE(form->mask().isEmpty());
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("WinRollerButton")), nullptr);
}

} // namespace
