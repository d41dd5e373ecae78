// The window's own chrome: the caption bar in place of the desktop's frame, the roller with its
// sounds, balloon help under the "Help On" switch, and closing from the caption or Alt+F4.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/HintSwitch.h"
#include "app/MainLayout.h"
#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/ColorButton.h"
#include "controls/RollerGeometry.h"
#include "controls/WindowRoller.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QTest>
#include <QToolTip>

#include <functional>

using qm::app::HintSwitch;
using qm::app::windowCaption;
using qm::controls::CaptionButtonRects;
using qm::controls::captionButtonRects;
using qm::controls::CaptionPart;
using qm::controls::DrawnCaptionPart;
using qm::controls::formStyleOf;

namespace qmtest {
namespace {

bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

class ChromeTest : public WindowTest {
protected:
    TFrmMain& startActive() {
        QCursor::setPos(0, 0);
        TFrmMain& w = start();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    void clickRoller() {
        QWidget* button = findAs<TWinRoller>(window(), "WinRoller")->button();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        settle();
    }
    bool balloonShowing() {
        TBalloonHintWindow* balloon = findAs<TBalloonHint>(window(), "BalloonHint1")->hintWindow();
        return balloon && balloon->isVisible();
    }
    void hover(QWidget* control) { QTest::mouseMove(control, control->rect().center()); }
};

TEST_F(ChromeTest, theCaptionBarReplacesTheFrameAndTheClientAreaKeepsItsSize) {
    TFrmMain& w = start();
    TMSOfficeCaption* titleBar = findAs<TMSOfficeCaption>(w, "TitleBar");
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QMargins frame = titleBar->clientMargins();
    EXPECT_EQ(frame, QMargins(3, 22, 3, 3));
    EXPECT_EQ(w.size().shrunkBy(frame), QSize(621, 432));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "still a fixed-size window";
    EXPECT_EQ(findAs<QFrame>(w, "Panel1")->pos(), QPoint(6, 8) + QPoint(frame.left(), frame.top()))
        << "the whole layout moves below the caption bar";
    EXPECT_TRUE(titleBar->isVisible());
    EXPECT_LE(titleBar->geometry().bottom(), frame.top() - 1);

    // Only the caption proper is filled in: the bar shows the window caption, whole.
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(windowCaption()));
    EXPECT_EQ(titleBar->CaptionText()->Caption(), w.windowTitle());
    EXPECT_TRUE(titleBar->CompanyText()->Caption().isEmpty());
    EXPECT_TRUE(titleBar->AppNameText()->Caption().isEmpty());
    EXPECT_EQ(titleBar->AppNameText()->FontKind(), fkSystemB);
    EXPECT_EQ(titleBar->CaptionText()->FontKind(), fkSystem);
    EXPECT_EQ(titleBar->CompanyText()->FontKind(), fkSystemBI);
    titleBar->captionImage(); // lays the parts out as painted
    const auto& parts = titleBar->drawnParts();
    QString drawn;
    for (const DrawnCaptionPart& part : parts) {
        if (part.part == CaptionPart)
            drawn = part.text;
        else
            EXPECT_TRUE(part.text.isEmpty()) << part.part;
    }
    ASSERT_FALSE(drawn.isEmpty());
    // Whole, or cut with an ellipsis where the bar is too short.
    EXPECT_TRUE(drawn == w.windowTitle() ||
                w.windowTitle().startsWith(drawn.left(drawn.size() - 1)))
        << "drawn: " << drawn.toStdString();

    // The roller button sits left of minimise and close, inside the bar.
    const CaptionButtonRects buttons =
        captionButtonRects(w.width(), formStyleOf(&w), titleBar->metrics());
    const QRect roller = findAs<TWinRoller>(w, "WinRoller")->button()->geometry();
    EXPECT_TRUE(findAs<TWinRoller>(w, "WinRoller")->button()->isVisible());
    EXPECT_LT(roller.right(), buttons.minimize.left());
    EXPECT_LT(buttons.minimize.right(), buttons.close.left());
    EXPECT_TRUE(titleBar->geometry().contains(roller));
}

TEST_F(ChromeTest, rollingUpLeavesOnlyTheCaptionBarAndRollingDownRestoresTheExactSize) {
    TFrmMain& w = start();
    const QRect before = w.geometry();
    clearCues();

    clickRoller();
    ASSERT_TRUE(findAs<TWinRoller>(w, "WinRoller")->Roller());
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyClose")});
    const QRegion shown = w.mask();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.boundingRect(),
              QRect(0, 0, w.width(), findAs<TWinRoller>(w, "WinRoller")->rolledUpHeight()));
    EXPECT_TRUE(shown.contains(findAs<TMSOfficeCaption>(w, "TitleBar")->geometry()));
    EXPECT_FALSE(shown.intersects(findAs<QFrame>(w, "Panel1")->geometry()))
        << "the body is rolled away";
    const QRect button(findAs<TColorButton>(w, "B_ViewPrint")->mapTo(&w, QPoint(0, 0)),
                       findAs<TColorButton>(w, "B_ViewPrint")->size());
    EXPECT_FALSE(shown.intersects(button));

    clearCues();
    clickRoller();
    EXPECT_FALSE(findAs<TWinRoller>(w, "WinRoller")->Roller());
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyOpen")});
    EXPECT_TRUE(w.mask().isEmpty());
    EXPECT_EQ(w.geometry(), before);
    EXPECT_EQ(w.size(), QSize(627, 457));
}

TEST_F(ChromeTest, rollingIsSilentWithSoundOff) {
    writeSetting(QStringLiteral("SoundOn"), false);
    TFrmMain& w = start();
    clearCues();
    clickRoller();
    clickRoller();
    EXPECT_FALSE(findAs<TWinRoller>(w, "WinRoller")->Roller());
    EXPECT_TRUE(cues().isEmpty());
}

TEST_F(ChromeTest, balloonsFollowTheHelpOnSwitch) {
    TFrmMain& w = startActive();
    ASSERT_FALSE(findAs<TColorButton>(w, "B_ViewPrint")->toolTip().isEmpty());

    // "Help On": a balloon, not the plain tooltip, with the control's own hint.
    hover(findAs<TColorButton>(w, "B_Help"));
    ASSERT_TRUE(waitUntil([this] { return balloonShowing(); }, 3000));
    EXPECT_EQ(findAs<TBalloonHint>(w, "BalloonHint1")->hintWindow()->text(),
              findAs<TColorButton>(w, "B_Help")->toolTip());
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(findAs<TBalloonHint>(w, "BalloonHint1")->hintHidePause(), 6000);

    // Switched off by the user: no balloon and no tooltip over a hinted control.
    click(QStringLiteral("C_ShowHelp"));
    ASSERT_FALSE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    EXPECT_FALSE(balloonShowing()) << "the click took the balloon away";
    hover(findAs<TColorButton>(w, "B_ViewPrint"));
    QTest::qWait(1600);
    EXPECT_FALSE(balloonShowing());
    EXPECT_FALSE(QToolTip::isVisible());
    QCursor::setPos(0, 0);
}

TEST_F(ChromeTest, helpOffFromTheSettingsShowsNoBalloonFromTheStart) {
    writeSetting(QStringLiteral("Show Help"), false);
    TFrmMain& w = startActive();
    hover(findAs<TColorButton>(w, "B_CreateFontNow"));
    QTest::qWait(1600);
    EXPECT_FALSE(balloonShowing());
    EXPECT_FALSE(QToolTip::isVisible());
    QCursor::setPos(0, 0);
}

TEST_F(ChromeTest, theCaptionCloseButtonRunsTheShutdown) {
    TFrmMain& w = start();
    click(QStringLiteral("C_AllowSounds")); // off, then on again: both saved at close
    click(QStringLiteral("C_AllowSounds"));
    click(QStringLiteral("C_ShowHelp"));
    clearCues();
    const CaptionButtonRects buttons = captionButtonRects(
        w.width(), formStyleOf(&w), findAs<TMSOfficeCaption>(w, "TitleBar")->metrics());
    const QPoint at = findAs<TMSOfficeCaption>(w, "TitleBar")->mapFrom(&w, buttons.close.center());
    QTest::mouseClick(findAs<TMSOfficeCaption>(w, "TitleBar"), Qt::LeftButton, {}, at);
    settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(readSetting(QStringLiteral("Show Help")).toInt(), 0);
    EXPECT_EQ(readSetting(QStringLiteral("SoundOn")).toInt(), -1);
    ASSERT_FALSE(cues().isEmpty());
    EXPECT_EQ(cues().back(), QStringLiteral("MyGoodbye"));
}

TEST_F(ChromeTest, altF4RunsTheShutdown) {
    TFrmMain& w = startActive();
    clearCues();
    ASSERT_FALSE(settingExists(QStringLiteral("SoundOn")));
    QTest::keyClick(&w, Qt::Key_F4, Qt::AltModifier);
    settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(settingExists(QStringLiteral("SoundOn")));
    EXPECT_TRUE(settingExists(QStringLiteral("Show Help")));
    EXPECT_TRUE(settingExists(QStringLiteral("Save To")));
    ASSERT_FALSE(cues().isEmpty());
    EXPECT_EQ(cues().back(), QStringLiteral("MyGoodbye"));
}

} // namespace
} // namespace qmtest
