// The window without a mouse: Tab, Space and Enter, Escape, the access keys and the focus
// frame, driven by key presses on the real window; what is made is read back by fontTools.

#include "tests/app/WindowFixture.h"

#include "browse/FileListBox.h"
#include "controls/CaptionBar.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/WindowRoller.h"

#include <QApplication>
#include <QFileInfo>
#include <QFocusFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTest>

namespace qmtest {
namespace {

const QString kSystemFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

// Every control the issue of keyboard use names, and the boxes and lists a user types into.
const QStringList kOperable = {"SB_All256Chars", "C_AllowSounds",      "C_ShowHelp",
                               "B_WhatsNew",     "E_FamilyName",       "E_Style",
                               "E_Version",      "E_FontID",           "E_Copyright",
                               "E_TradeMark",    "B_CreateFontNow",    "B_RestoreNames",
                               "B_Help",         "B_ViewPrint",        "B_Advanced",
                               "D_File",         "LB_DestinationFile", "D_Drive",
                               "D_Dir",          "D_FileName",         "B_MakeFont",
                               "B_CancelMake",   "LB_WarnMask",        "LB_WarningOff",
                               "B_HelpClose",    "M_WhatsNew",         "B_WhatsNewClose",
                               "B_SetFolder",    "B_SetFolderCancel"};

// The family name fontTools reads from a file, as other programs will.
QString familyByFontTools(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys\nfrom fontTools.ttLib import TTFont\n"
                                 "print(TTFont(sys.argv[1])['name'].getDebugName(1))"),
                  path});
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

class KeyboardTest : public WindowTest {
protected:
    TFrmMain& startActive() {
        TFrmMain& w = start();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    QString focusedName() const { return focused() ? focused()->objectName() : QString(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QWidget* to = focused() ? focused() : &window();
        QTest::keyClick(to, k, mods);
        settle();
    }
    // What a user can click now: shown, enabled, and the control the pointer finds there.
    QStringList clickable() {
        QStringList found;
        for (const QString& name : kOperable) {
            QWidget* w = find(name);
            if (!w || !w->isVisible() || !w->isEnabled())
                continue;
            QWidget* hit = window().childAt(w->mapTo(&window(), w->rect().center()));
            if (hit == w || w->isAncestorOf(hit))
                found << name;
        }
        return found;
    }
    // The controls Tab visits, once round, and Shift+Tab's visit in the other direction.
    QStringList tabRound(Qt::Key k = Qt::Key_Tab) {
        QStringList seen;
        for (int i = 0; i < 2 * kOperable.size(); ++i) {
            key(k);
            const QString name = focusedName();
            if (seen.contains(name))
                break;
            seen << name;
        }
        return seen;
    }
    void expectTabReachesWhatAClickCan(const char* state) {
        SCOPED_TRACE(state);
        const QStringList forward = tabRound();
        QStringList sortedForward = forward, wanted = clickable();
        sortedForward.sort();
        wanted.sort();
        EXPECT_EQ(sortedForward, wanted);
        // Shift+Tab goes the same way back.
        QStringList backward = tabRound(Qt::Key_Backtab);
        std::reverse(backward.begin(), backward.end());
        ASSERT_EQ(backward.size(), forward.size());
        const qsizetype shift = forward.indexOf(backward.front());
        ASSERT_GE(shift, 0);
        std::rotate(backward.begin(), backward.end() - shift, backward.end());
        EXPECT_EQ(backward, forward);
    }
};

TEST_F(KeyboardTest, tabReachesEveryControlAClickCanInTheWindowAndEachPanel) {
    copySystemFont(kSystemFont, QStringLiteral("SANS.TTF"));
    startActive();
    expectTabReachesWhatAClickCan("nothing loaded");
    // Enter and Space switch a check box.
    while (focusedName() != "C_AllowSounds")
        key(Qt::Key_Tab);
    auto* sound = findAs<TBWCCCheckBox>("C_AllowSounds");
    ASSERT_TRUE(sound->checked());
    key(Qt::Key_Return);
    EXPECT_FALSE(sound->checked());
    key(Qt::Key_Space);
    EXPECT_TRUE(sound->checked());

    // Each panel takes the focus when opened by its access key; Escape gives it back. The
    // make panel needs a font on show: the file list's Home picks the first.
    const struct {
        const char* panel;
        Qt::Key accessKey;
        const char* opener;
        const char* firstInside;
    } panels[] = {{"P_Help", Qt::Key_H, "B_Help", "LB_WarnMask"},
                  {"P_WhatsNew", Qt::Key_W, "B_WhatsNew", "M_WhatsNew"},
                  {"P_Advanced", Qt::Key_A, "B_Advanced", "B_SetFolder"},
                  {"P_MakeFont", Qt::Key_C, "B_CreateFontNow", "D_FileName"}};
    for (const auto& p : panels) {
        SCOPED_TRACE(p.panel);
        if (p.accessKey == Qt::Key_C) {
            while (focusedName() != "D_File")
                key(Qt::Key_Tab);
            key(Qt::Key_Home);
            ASSERT_TRUE(isShown("P_All256Chars"));
            expectTabReachesWhatAClickCan("a font on show");
        }
        key(p.accessKey, Qt::AltModifier);
        ASSERT_TRUE(isShown(p.panel));
        EXPECT_EQ(focusedName(), p.firstInside);
        expectTabReachesWhatAClickCan(p.panel);
        key(Qt::Key_Escape);
        EXPECT_FALSE(isShown(p.panel));
        EXPECT_EQ(focusedName(), p.opener);
    }

    // Space on "Click Me" opens the warning over the help panel; Escape closes the topmost.
    key(Qt::Key_H, Qt::AltModifier);
    key(Qt::Key_Space);
    ASSERT_TRUE(isShown("P_Warning"));
    expectTabReachesWhatAClickCan("the warning");
    key(Qt::Key_Escape);
    EXPECT_FALSE(isShown("P_Warning"));
    EXPECT_TRUE(isShown("P_Help"));
    key(Qt::Key_Escape);
    EXPECT_FALSE(isShown("P_Help"));
    EXPECT_EQ(focusedName(), "B_Help");
    // With nothing open, Escape does nothing, and keys sent to a closed panel's button too.
    clearCues();
    key(Qt::Key_Escape);
    QTest::keyClick(find("B_HelpClose"), Qt::Key_Space);
    QTest::keyClick(find("B_HelpClose"), Qt::Key_Return);
    settle();
    EXPECT_TRUE(cues().isEmpty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(KeyboardTest, aKeyboardUserMakesAndRestoresACopyAndRepeatedKeysActOnce) {
    copySystemFont(kSystemFont, QStringLiteral("SANS.TTF"));
    const QString family = familyByFontTools(kSystemFont);
    ASSERT_FALSE(family.isEmpty()) << "fontTools cannot read " << kSystemFont.toStdString();
    startActive();
    while (focusedName() != "D_File")
        key(Qt::Key_Tab);
    key(Qt::Key_Down);
    ASSERT_EQ(textOf("E_FamilyName"), family);

    // The family box, by Shift+Tab from the buttons; Space on a button presses it.
    while (focusedName() != "E_FamilyName")
        key(Qt::Key_Backtab);
    key(Qt::Key_Home);
    key(Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClicks(focused(), QStringLiteral("Keyed Sans"));
    while (focusedName() != "B_CreateFontNow")
        key(Qt::Key_Tab);
    key(Qt::Key_Space);
    ASSERT_TRUE(isShown("P_MakeFont"));
    ASSERT_EQ(focusedName(), "D_FileName");
    QTest::keyClicks(focused(), QStringLiteral("keyed.ttf"));

    // Enter twice before the window catches up: one copy, and no "file exists" refusal.
    QWidget* box = focused();
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, {}));
    }
    settle();
    const QString made = fontsFolder() + QStringLiteral("/KEYED.TTF");
    ASSERT_TRUE(QFileInfo::exists(made));
    EXPECT_EQ(familyByFontTools(made), QStringLiteral("Keyed Sans"));
    EXPECT_FALSE(isShown("P_MakeFont"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(focusedName(), "B_CreateFontNow");

    // Alt+R twice: the names come back once, not back and forth.
    QWidget* at = focused();
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::postEvent(at,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_R, Qt::AltModifier));
        QCoreApplication::postEvent(at,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_R, Qt::AltModifier));
    }
    settle();
    EXPECT_EQ(familyByFontTools(made), family);
    EXPECT_EQ(textOf("E_FamilyName"), family);
    EXPECT_TRUE(messages().empty());
}

// The roller's caption button takes no keys: the window menu rolls the window up and down,
// with the same sounds and the same shape as the button gives. Rolled up, keys edit nothing
// hidden; rolled down, typing goes on where it was.
TEST_F(KeyboardTest, theWindowMenuRollsTheWindowUpAndDown) {
    TFrmMain& w = startActive();
    ASSERT_EQ(focusedName(), "E_FamilyName");
    key(Qt::Key_A);
    const QString typed = textOf("E_FamilyName");
    auto* roller = findAs<TWinRoller>(w, "WinRoller");
    QMenu* menu = findAs<TMSOfficeCaption>(w, "TitleBar")->systemMenu();
    const auto openMenu = [&] {
        key(Qt::Key_Space, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isVisible() && a->isEnabled())
                entries << a->text();
        return entries;
    };
    clearCues();
    EXPECT_EQ(openMenu(), QStringList({"Mi&nimize", "Roll &Up", "&Close"}));
    QTest::keyClick(menu, Qt::Key_U);
    settle();
    ASSERT_TRUE(roller->Roller());
    EXPECT_EQ(w.mask().boundingRect(), QRect(0, 0, w.width(), roller->rolledUpHeight()));
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyClose")});
    for (const Qt::Key k :
         {Qt::Key_B, Qt::Key_Tab, Qt::Key_C, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Space}) {
        key(k);
        EXPECT_TRUE(focused() == nullptr || focused() == &w) << focusedName().toStdString();
    }
    EXPECT_EQ(textOf("E_FamilyName"), typed);

    clearCues();
    EXPECT_EQ(openMenu(), QStringList({"Mi&nimize", "Roll &Down", "&Close"}));
    QTest::keyClick(menu, Qt::Key_D);
    settle();
    EXPECT_FALSE(roller->Roller());
    EXPECT_TRUE(w.mask().isEmpty());
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyOpen")});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(focusedName(), "E_FamilyName");
    key(Qt::Key_D);
    EXPECT_EQ(textOf("E_FamilyName"), typed + QLatin1Char('d'));
}

TEST_F(KeyboardTest, theFocusFrameAppearsOnlyOnceTheKeyboardIsUsed) {
    copySystemFont(kSystemFont, QStringLiteral("SANS.TTF"));
    TFrmMain& w = startActive();
    // A mouse user: clicks on buttons and a font leave the focus where it was, and no frame.
    click("B_WhatsNew");
    click("B_WhatsNewClose");
    auto* list = findAs<qm::browse::FileListBox>("D_File");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    settle();
    EXPECT_FALSE(qobject_cast<TColorButton*>(focused()));
    EXPECT_TRUE(w.findChildren<QFocusFrame*>().isEmpty());

    // The first Tab draws a frame on the control it reaches, and nowhere else.
    // The first Tab draws a frame on the control it reaches; only that control and the one
    // that lost the focus change.
    QWidget* was = focused();
    ASSERT_NE(was, nullptr);
    const QImage before = w.grab().toImage();
    key(Qt::Key_Tab);
    QWidget* now = focused();
    ASSERT_NE(now, nullptr);
    ASSERT_NE(now, was);
    const QImage after = w.grab().toImage();
    const QRect gained(now->mapTo(&w, QPoint(0, 0)), now->size());
    const QRect lost(was->mapTo(&w, QPoint(0, 0)), was->size());
    int inGained = 0, elsewhere = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                inGained += gained.contains(x, y) && !lost.contains(x, y);
                elsewhere += !gained.contains(x, y) && !lost.contains(x, y);
            }
    EXPECT_GT(inGained, 0) << now->objectName().toStdString();
    EXPECT_EQ(elsewhere, 0);
}

} // namespace
} // namespace qmtest
