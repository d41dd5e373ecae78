// The what's-new and help panels, the copyright warning, and the two switches.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/HintSwitch.h"
#include "controls/BalloonHint.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/FlashingLabel.h"

#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

namespace qmtest {
namespace {

// What one click does to the panels: the controls then shown and hidden, enabled and disabled,
// and the cue heard.
struct PanelRow {
    const char* name;
    std::vector<const char*> before; // clicks that set the scene
    const char* click;
    std::vector<const char*> shown;
    std::vector<const char*> hidden;
    std::vector<const char*> enabled;
    std::vector<const char*> disabled;
    const char* cue;
};

class PanelHandlerTest : public WindowTest, public ::testing::WithParamInterface<PanelRow> {};

TEST_P(PanelHandlerTest, clickChangesPanelsAndPlaysItsCue) {
    const PanelRow& row = GetParam();
    start();
    for (const char* name : row.before)
        click(QLatin1String(name));
    clearCues();

    click(QLatin1String(row.click));

    for (const char* name : row.shown)
        EXPECT_TRUE(isShown(QLatin1String(name))) << name << " should be shown";
    for (const char* name : row.hidden)
        EXPECT_FALSE(isShown(QLatin1String(name))) << name << " should be hidden";
    for (const char* name : row.enabled)
        EXPECT_TRUE(isEnabled(QLatin1String(name))) << name << " should be enabled";
    for (const char* name : row.disabled)
        EXPECT_FALSE(isEnabled(QLatin1String(name))) << name << " should be disabled";
    EXPECT_EQ(cues(), QStringList{QLatin1String(row.cue)});
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, PanelHandlerTest,
    ::testing::Values(
        PanelRow{"whatsNewOpens",
                 {},
                 "B_WhatsNew",
                 {"P_WhatsNew", "M_WhatsNew"},
                 {"P_All256Chars", "P_FontError"},
                 {},
                 {"B_WhatsNew"},
                 "MyOpen"},
        PanelRow{"whatsNewCloses",
                 {"B_WhatsNew"},
                 "B_WhatsNewClose",
                 {"B_WhatsNew"},
                 {"P_WhatsNew"},
                 {"B_WhatsNew"},
                 {},
                 "MyClose"},
        PanelRow{"helpOpens",
                 {},
                 "B_Help",
                 {"P_Help", "LB_WarnMask"},
                 {"P_All256Chars", "P_FontError", "P_Warning"},
                 {},
                 {"B_Help"},
                 "MyOpen"},
        PanelRow{
            "helpCloses", {"B_Help"}, "B_HelpClose", {}, {"P_Help"}, {"B_Help"}, {}, "MyClose"},
        PanelRow{"warningOpens",
                 {"B_Help"},
                 "LB_WarnMask",
                 {"P_Warning"},
                 {"LB_Warning", "LB_WarnMask"},
                 {},
                 {},
                 "MyOpen"},
        PanelRow{"warningCloses",
                 {"B_Help", "LB_WarnMask"},
                 "LB_WarningOff",
                 {"P_Help"},
                 {"P_Warning"},
                 {},
                 {"B_Help"},
                 "MyClose"}),
    [](const auto& info) { return std::string(info.param.name); });

using InfoPanelsTest = WindowTest;
using qm::app::findAs;
using qm::app::HintSwitch;

// A font load hides the help panel without its close button: "HELP" must work again.
TEST_F(InfoPanelsTest, helpIsEnabledAgainWhenALoadHidesItsPanel) {
    writeFont(QStringLiteral("a.ttf"), testfonts::SimpleFont());
    start();
    click(QStringLiteral("B_Help"));
    ASSERT_FALSE(isEnabled(QStringLiteral("B_Help")));
    auto* list = findAs<QListWidget>(QStringLiteral("D_File"));
    const QList<QListWidgetItem*> items =
        list->findItems(QStringLiteral("a.ttf"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.front()).center());
    settle();
    EXPECT_FALSE(isShown(QStringLiteral("P_Help")));
    EXPECT_TRUE(isEnabled(QStringLiteral("B_Help")));
    click(QStringLiteral("B_Help"));
    EXPECT_TRUE(isShown(QStringLiteral("P_Help")));
}

TEST_F(InfoPanelsTest, helpMakesTheWarningTextFlashUntilItIsClicked) {
    TFrmMain& w = start();
    click(QStringLiteral("B_Help"));
    EXPECT_TRUE(findAs<TFlashingLabel>(w, "LB_Warning")->flashing());
    EXPECT_EQ(findAs<TFlashingLabel>(w, "LB_Warning")->text(),
              QStringLiteral("Click Me -- Important !"));
    click(QStringLiteral("LB_WarnMask"));
    EXPECT_FALSE(findAs<TFlashingLabel>(w, "LB_Warning")->flashing());
}

TEST_F(InfoPanelsTest, theMaskTakesTheClickWhileTheTextIsInItsHiddenPhase) {
    TFrmMain& w = start();
    click(QStringLiteral("B_Help"));
    for (int i = 0; i < 40 && findAs<TFlashingLabel>(w, "LB_Warning")->isVisible(); ++i)
        settle(25);
    ASSERT_FALSE(findAs<TFlashingLabel>(w, "LB_Warning")->isVisible())
        << "the text never blinked off";
    click(QStringLiteral("LB_WarnMask"));
    EXPECT_TRUE(isShown(QStringLiteral("P_Warning")));
}

TEST_F(InfoPanelsTest, helpLiesAboveWhatsNewAndClosingItRevealsWhatsNew) {
    TFrmMain& w = start();
    click(QStringLiteral("B_WhatsNew"));
    click(QStringLiteral("B_Help"));
    ASSERT_TRUE(isShown(QStringLiteral("P_WhatsNew")));
    const QPoint middle = findAs<QFrame>(w, "P_Help")->geometry().center();
    QWidget* top = findAs<QFrame>(w, "Panel1")->childAt(middle);
    EXPECT_TRUE(top == findAs<QFrame>(w, "P_Help") ||
                findAs<QFrame>(w, "P_Help")->isAncestorOf(top));

    click(QStringLiteral("B_HelpClose"));
    top = findAs<QFrame>(w, "Panel1")->childAt(middle);
    EXPECT_TRUE(top == findAs<QFrame>(w, "P_WhatsNew") ||
                findAs<QFrame>(w, "P_WhatsNew")->isAncestorOf(top));
}

TEST_F(InfoPanelsTest, theWarningStaysOpenWhenHelpClosesAndReopens) {
    TFrmMain& w = start();
    click(QStringLiteral("B_Help"));
    click(QStringLiteral("LB_WarnMask"));
    click(QStringLiteral("B_HelpClose"));
    click(QStringLiteral("B_Help"));
    EXPECT_TRUE(isShown(QStringLiteral("P_Warning")));
    EXPECT_TRUE(findAs<TFlashingLabel>(w, "LB_Warning")->flashing());
    EXPECT_TRUE(isShown(QStringLiteral("LB_WarnMask")));
}

TEST_F(InfoPanelsTest, whatsNewListsTheFourChanges) {
    start();
    const QStringList lines = textOf(QStringLiteral("M_WhatsNew")).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_EQ(lines[1], QStringLiteral("  1.  Added this \"What's New\" information panel."));
    EXPECT_EQ(lines[4], QStringLiteral("       new font file was created."));
    EXPECT_EQ(lines[8],
              QStringLiteral("  4.  Cleaned up the Help instructions (now easier to read)."));
    EXPECT_TRUE(lines[9].isEmpty() && lines[10].isEmpty());
    EXPECT_EQ(lines[11], QString(24, QLatin1Char(' ')) +
                             QStringLiteral("--  No other pending or known issues  --"));
    EXPECT_TRUE(findAs<QPlainTextEdit>(QStringLiteral("M_WhatsNew"))->isReadOnly());
}

// Each row of the list reads on one line of the box: no row breaks and leaves a word alone.
TEST_F(InfoPanelsTest, whatsNewShowsEachRowOnOneLine) {
    start();
    click(QStringLiteral("B_WhatsNew"));
    settle();
    auto* list = findAs<QPlainTextEdit>(QStringLiteral("M_WhatsNew"));
    ASSERT_TRUE(list->isVisible());
    int rows = 0;
    for (QTextBlock row = list->document()->begin(); row.isValid(); row = row.next(), ++rows) {
        ASSERT_NE(row.layout(), nullptr);
        EXPECT_EQ(row.layout()->lineCount(), 1) << row.text().toStdString();
    }
    EXPECT_EQ(rows, 12);
}

TEST_F(InfoPanelsTest, switchingSoundOffClicksOnceAndOnAgainPlaysOK) {
    TFrmMain& w = start();
    clearCues();
    click(QStringLiteral("C_AllowSounds"));
    EXPECT_FALSE(findAs<TBWCCCheckBox>(w, "C_AllowSounds")->checked());
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTock")});
    click(QStringLiteral("B_Help"));
    EXPECT_EQ(cues().size(), 1) << "no cue while sounds are off";
    click(QStringLiteral("C_AllowSounds"));
    EXPECT_EQ(cues().last(), QStringLiteral("MyOK"));
}

// Whether a hint request on the control ends in a shown hint (a balloon, or the plain tooltip).
bool hintAppears(TFrmMain& w, QWidget* control) {
    findAs<TBalloonHint>(w, "BalloonHint1")->cancelHint();
    const QPoint at = control->rect().center();
    QHelpEvent request(QEvent::ToolTip, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &request);
    const TBalloonHintWindow* balloon = findAs<TBalloonHint>(w, "BalloonHint1")->hintWindow();
    const bool shown = balloon && balloon->isVisible() && balloon->text() == control->toolTip();
    return shown || (QToolTip::isVisible() && QToolTip::text() == control->toolTip());
}

TEST_F(InfoPanelsTest, helpSwitchTurnsHintsOffAndOnWithATock) {
    TFrmMain& w = start();
    ASSERT_TRUE(hintAppears(w, findAs<TColorButton>(w, "B_Help")));
    clearCues();
    click(QStringLiteral("C_ShowHelp"));
    EXPECT_FALSE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    EXPECT_FALSE(hintAppears(w, findAs<TColorButton>(w, "B_Help")));
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTock")});
    click(QStringLiteral("C_ShowHelp"));
    EXPECT_TRUE(hintAppears(w, findAs<TColorButton>(w, "B_Help")));
    findAs<TBalloonHint>(w, "BalloonHint1")->cancelHint();
}

TEST_F(InfoPanelsTest, helpSwitchWithSoundOffIsSilentButStillSwitches) {
    writeSetting(QStringLiteral("SoundOn"), false);
    TFrmMain& w = start();
    click(QStringLiteral("C_ShowHelp"));
    EXPECT_FALSE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    EXPECT_TRUE(cues().isEmpty());
}

TEST_F(InfoPanelsTest, hintsWaitASecondBeforeShowing) {
    start();
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
    EXPECT_EQ(findAs<HintSwitch>(window(), "Hints")->hintHidePause(), 6000);
}

} // namespace
} // namespace qmtest
