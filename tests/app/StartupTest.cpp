// Start-up: stored settings, the version reminder, the start folder, the overlay places.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/HintSwitch.h"
#include "browse/DirectoryListBox.h"
#include "controls/CheckBox.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QListWidget>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace qmtest {
namespace {

const QString kSystemFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

bool checked(WindowTest& t, const char* name) {
    auto* box = t.findAs<TBWCCCheckBox>(QLatin1String(name));
    return box && box->checked();
}

using qm::app::HintSwitch;
using qm::browse::DirectoryListBox;
using StartupTest = WindowTest;

TEST_F(StartupTest, firstStartUsesDefaultsAndRemembersTheDayWithoutReminding) {
    ASSERT_FALSE(QFile::exists(settingsFile()));
    TFrmMain& w = start();

    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(checked(*this, "C_AllowSounds"));
    EXPECT_TRUE(checked(*this, "C_ShowHelp"));
    EXPECT_TRUE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    // No folder fixed: the destination box follows the browsed folder.
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fontsFolder() + QLatin1Char('/'));
    EXPECT_EQ(readSetting(QStringLiteral("Version Reminder")).toInt(), TFrmMain::TodayNumber());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTaDa")});
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Quillmark 2.3 - ")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass must be gone";
}

// The pictures and cursors are PNG, which Qt reads itself; its image plug-ins (and the libraries
// they need) would be loaded only to be asked whether they claim each picture.
TEST_F(StartupTest, startingLoadsNoImagePlugin) {
    start();
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("/imageformats/"));
}

TEST_F(StartupTest, theThreeOtherSettingsAreNotWrittenBeforeTheFirstClose) {
    start();
    EXPECT_FALSE(settingExists(QStringLiteral("SoundOn")));
    EXPECT_FALSE(settingExists(QStringLiteral("Show Help")));
    EXPECT_FALSE(settingExists(QStringLiteral("Save To")));
}

struct ReminderRow {
    const char* name;
    int daysAgo;
    bool reminds;
};

class VersionReminderTest : public WindowTest, public ::testing::WithParamInterface<ReminderRow> {};

TEST_P(VersionReminderTest, remindsOnlyFromThe121stDay) {
    const ReminderRow row = GetParam();
    const int stored = TFrmMain::TodayNumber() - row.daysAgo;
    writeSetting(QStringLiteral("Version Reminder"), stored);
    start();

    if (row.reminds) {
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].title, QStringLiteral("Information"));
        const QStringList lines = messages()[0].text.split(QLatin1Char('\r'));
        ASSERT_GE(lines.size(), 8);
        EXPECT_EQ(lines[0], QStringLiteral("Just A Quick Reminder:"));
        EXPECT_EQ(lines[1], QString());
        EXPECT_EQ(lines[2], QStringLiteral("There may be a newer version of"));
        EXPECT_EQ(lines[3], QStringLiteral("Quillmark available on our web site:"));
        EXPECT_EQ(lines.last(), QStringLiteral("(This message will not be shown again)."));
        EXPECT_EQ((QStringList{QStringLiteral("MyDing"), QStringLiteral("MyTaDa")}), cues());
        EXPECT_EQ(readSetting(QStringLiteral("Version Reminder")).toInt(), TFrmMain::TodayNumber());
    } else {
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTaDa")});
        EXPECT_EQ(readSetting(QStringLiteral("Version Reminder")).toInt(), stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Ages, VersionReminderTest,
                         ::testing::Values(ReminderRow{"today", 0, false},
                                           ReminderRow{"exactly120Days", 120, false},
                                           ReminderRow{"day121", 121, true},
                                           ReminderRow{"aYearAgo", 365, true},
                                           ReminderRow{"inTheFuture", -30, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, aReminderShownOnceIsNotShownAtTheNextStart) {
    writeSetting(QStringLiteral("Version Reminder"), TFrmMain::TodayNumber() - 200);
    start();
    ASSERT_EQ(messages().size(), 1u);
    discardWindow();
    clearMessages();
    start();
    EXPECT_TRUE(messages().empty());
}

TEST_F(StartupTest, soundStoredOffSilencesTheGreeting) {
    writeSetting(QStringLiteral("SoundOn"), false);
    start();
    EXPECT_FALSE(checked(*this, "C_AllowSounds"));
    EXPECT_TRUE(cues().isEmpty());
}

TEST_F(StartupTest, soundStoredOffStillDingsADueReminder) {
    // The reminder runs before the stored switch is loaded.
    writeSetting(QStringLiteral("SoundOn"), false);
    writeSetting(QStringLiteral("Version Reminder"), TFrmMain::TodayNumber() - 121);
    start();
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyDing")});
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(StartupTest, soundStoredAsOneReadsAsOn) {
    writeSetting(QStringLiteral("SoundOn"), 1);
    start();
    EXPECT_TRUE(checked(*this, "C_AllowSounds"));
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTaDa")});
}

TEST_F(StartupTest, helpStoredOffTocksOnceAndSwitchesHintsOff) {
    writeSetting(QStringLiteral("Show Help"), false);
    TFrmMain& w = start();
    EXPECT_FALSE(checked(*this, "C_ShowHelp"));
    EXPECT_FALSE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    EXPECT_EQ((QStringList{QStringLiteral("MyTock"), QStringLiteral("MyTaDa")}), cues());
}

TEST_F(StartupTest, helpAndSoundStoredOffStartInSilence) {
    writeSetting(QStringLiteral("Show Help"), false);
    writeSetting(QStringLiteral("SoundOn"), false);
    TFrmMain& w = start();
    EXPECT_FALSE(findAs<HintSwitch>(w, "Hints")->ShowHint());
    EXPECT_TRUE(cues().isEmpty());
}

TEST_F(StartupTest, storedDestinationFolderIsRead) {
    writeSetting(QStringLiteral("Save To"), QStringLiteral("/srv/new fonts/"));
    start();
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), QStringLiteral("/srv/new fonts/"));
}

TEST_F(StartupTest, browsingStartsSilentlyInTheFontsFolderWithItsCount) {
    copySystemFont(kSystemFont, QStringLiteral("one.ttf"));
    copySystemFont(kSystemFont, QStringLiteral("TWO.TTF"));
    copySystemFont(kSystemFont, QStringLiteral("three.Ttf"));
    TFrmMain& w = start();
    EXPECT_EQ(findAs<DirectoryListBox>(w, "D_Dir")->directory(), fontsFolder());
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fontsFolder() + QLatin1Char('/'));
    EXPECT_EQ(textOf(QStringLiteral("LCD_FontTotal")), QStringLiteral("0003 Fonts"));
    EXPECT_FALSE(cues().contains(QStringLiteral("MyTick")));
}

TEST_F(StartupTest, aMissingFontsFolderStartsInTheHomeFolder) {
    ASSERT_TRUE(QDir(fontsFolder()).removeRecursively());
    TFrmMain& w = start();
    EXPECT_EQ(findAs<DirectoryListBox>(w, "D_Dir")->directory(), QDir::homePath());
    EXPECT_TRUE(messages().empty());
}

TEST_F(StartupTest, theWindowStartsWithNoCurrentFont) {
    start();
    for (const char* box : {"E_FamilyName", "E_Style", "E_FullName", "E_Version", "E_FontID",
                            "E_Postscript", "E_Copyright", "E_TradeMark"})
        EXPECT_TRUE(textOf(QLatin1String(box)).isEmpty()) << box;
    for (const char* button : {"B_CreateFontNow", "B_ViewPrint", "B_RestoreNames"})
        EXPECT_FALSE(isEnabled(QLatin1String(button))) << button;
    EXPECT_TRUE(isShown(QStringLiteral("B_WhatsNew")));
    for (const char* panel :
         {"P_All256Chars", "P_FontError", "P_MakeFont", "P_Advanced", "P_WhatsNew", "P_Help"})
        EXPECT_FALSE(isShown(QLatin1String(panel))) << panel;
    EXPECT_EQ(textOf(QStringLiteral("P_Scroll256")), QStringLiteral("065"));
}

TEST_F(StartupTest, aDamagedSettingsFileGivesTheDefaults) {
    QDir().mkpath(settingsFolder());
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    static const char garbage[] = "\x00\xff garbage [[[ \"SoundOn\"=dword:zz\n";
    file.write(garbage, sizeof garbage - 1);
    file.close();
    TFrmMain& w = start();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(checked(*this, "C_AllowSounds"));
    EXPECT_TRUE(checked(*this, "C_ShowHelp"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(StartupTest, aSettingsFolderThatCannotBeMadeIsNamedOnceAndTheWindowWorksWithDefaults) {
    copySystemFont(kSystemFont, QStringLiteral("sans.ttf"));
    // A plain file where the settings folder belongs: nothing can be stored.
    QDir().mkpath(QFileInfo(settingsFolder()).path());
    QFile blocker(settingsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    TFrmMain& w = start();
    ASSERT_EQ(messages().size(), 1u) << "one box, however many settings failed";
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    // The user learns which file and why, in the system's words.
    const QStringList lines = messages()[0].text.split(u'\r');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Reg Error: ")))
        << lines.first().toStdString();
    EXPECT_TRUE(lines.contains(settingsFile())) << messages()[0].text.toStdString();
    EXPECT_TRUE(lines.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR)) + u'.'))
        << messages()[0].text.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The rest of the start-up ran, with the defaults.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(checked(*this, "C_AllowSounds"));
    EXPECT_TRUE(checked(*this, "C_ShowHelp"));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Quillmark 2.3 - ")));
    EXPECT_EQ(findAs<DirectoryListBox>(QStringLiteral("D_Dir"))->directory(), fontsFolder());
    for (const char* button : {"B_CreateFontNow", "B_RestoreNames", "B_ViewPrint"})
        EXPECT_FALSE(isEnabled(QLatin1String(button))) << button << " acts without a font";
    EXPECT_TRUE(cues().contains(QStringLiteral("MyTaDa")));

    // And the window works: a click in the file list loads the font.
    auto* list = findAs<QListWidget>(QStringLiteral("D_File"));
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    settle();
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(isEnabled(QStringLiteral("B_CreateFontNow")));

    // Closing fails to save for the same cause: the user has been told, and the window closes.
    EXPECT_TRUE(closeWindow());
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(StartupTest, aFifoAtTheSettingsFileIsSetAsideWithoutWaiting) {
    QDir().mkpath(settingsFolder());
    ASSERT_EQ(::mkfifo(QFile::encodeName(settingsFile()).constData(), 0600), 0);
    TFrmMain& w = start();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(checked(*this, "C_AllowSounds"));

    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(readSetting(QStringLiteral("SoundOn")).toInt(), -1);
    struct stat kept {};
    ASSERT_EQ(
        ::lstat(QFile::encodeName(settingsFile() + QStringLiteral(".damaged")).constData(), &kept),
        0);
    EXPECT_TRUE(S_ISFIFO(kept.st_mode)) << "kept for the user as it was";
}

// The overlays cover the places they were drawn for: the strip and the error panel over the
// title, the make-font and Advanced panels over the button rows, the information panels below
// the title, whatever density the screen has.
TEST_F(StartupTest, overlaysLieOverThePlacesTheyCover) {
    start();
    const auto cover = [this](const char* overlay, const char* covered) {
        const QWidget* o = find(QLatin1String(overlay));
        const QWidget* c = find(QLatin1String(covered));
        EXPECT_TRUE(o->geometry().contains(c->geometry())) << overlay << " over " << covered;
    };
    cover("P_Advanced", "Panel12");
    cover("P_MakeFont", "Panel13");
    cover("P_WhatsNew", "DRLabel1");
    cover("P_Help", "Bevel1");
    cover("P_All256Chars", "Bevel1");
    cover("P_FontError", "Bevel1");
}

TEST(ScaleToScreenTest, scalesOnlyForAnotherDensity) {
    EXPECT_EQ(TFrmMain::ScaleToScreen(19), 19);
    EXPECT_EQ(TFrmMain::ScaleToScreen(337, 96), 337);
    EXPECT_EQ(TFrmMain::ScaleToScreen(19, 120), 23);
    EXPECT_EQ(TFrmMain::ScaleToScreen(54, 120), 66);
    EXPECT_EQ(TFrmMain::ScaleToScreen(337, 120), 414);
}

TEST_F(StartupTest, overlaysAreStackedWithHelpOnTop) {
    TFrmMain& w = start();
    const QObjectList& stack = findAs<QFrame>(w, "Panel1")->children(); // bottom to top
    const char* order[] = {"P_Advanced",  "P_MakeFont", "P_All256Chars",
                           "P_FontError", "P_WhatsNew", "P_Help"};
    int previous = -1;
    for (const char* name : order) {
        const int at = stack.indexOf(find(QLatin1String(name)));
        EXPECT_GT(at, previous) << name;
        previous = at;
    }
    EXPECT_EQ(stack.last(), find(QStringLiteral("P_Help")));
}

struct DayRow {
    const char* name;
    const char* text;
    int expected;
};

class DayNumberTest : public ::testing::TestWithParam<DayRow> {};

TEST_P(DayNumberTest, givesTheJulianDayNumberOrZero) {
    EXPECT_EQ(TFrmMain::DayNumber(QLatin1String(GetParam().text)), GetParam().expected);
}

// Julian day numbers from the astronomical tables; 0 for what is not a date.
INSTANTIATE_TEST_SUITE_P(
    Dates, DayNumberTest,
    ::testing::Values(DayRow{"millennium", "2000-01-01", 2451545},
                      DayRow{"unixEpoch", "1970-01-01", 2440588},
                      DayRow{"modifiedJulianEpoch", "1858-11-17", 2400001},
                      DayRow{"afterLeapDay", "2024-03-01", 2460371},
                      DayRow{"newYearsEve", "1999-12-31", 2451544},
                      DayRow{"tooShort", "2000-1-01", 0}, DayRow{"tooLong", "2000-01-011", 0},
                      DayRow{"empty", "", 0}, DayRow{"monthZero", "2000-00-10", 0},
                      DayRow{"month13", "2000-13-10", 0}, DayRow{"day32", "2000-01-32", 0},
                      DayRow{"dayZero", "2000-01-00", 0}, DayRow{"letters", "20x0-01-01", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DayNumber, countsDaysAcrossMonthsYearsAndLeapDays) {
    for (const QDate from :
         {QDate(2023, 11, 1), QDate(2024, 1, 15), QDate(1999, 10, 20), QDate(2100, 2, 1)}) {
        const QDate to = from.addDays(121);
        const auto text = [](QDate d) { return d.toString(QStringLiteral("yyyy-MM-dd")); };
        EXPECT_EQ(TFrmMain::DayNumber(text(to)) - TFrmMain::DayNumber(text(from)), 121)
            << text(from).toStdString();
    }
}

TEST(DayNumber, todayIsTheJulianDayOfTheLocalDate) {
    EXPECT_EQ(TFrmMain::TodayNumber(), QDate::currentDate().toJulianDay());
}

} // namespace
} // namespace qmtest
