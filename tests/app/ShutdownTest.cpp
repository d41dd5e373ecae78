// Shutdown: settings saved and read back, the goodbye cue, the temporary font withdrawn, a
// failure to save that never keeps the window open.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "controls/CheckBox.h"
#include "platform/AppFonts.h"
#include "platform/RegistryStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace qmtest {
namespace {

const QString kSystemFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

using qm::app::TaggedValue;
using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;
using ShutdownTest = WindowTest;

TEST_F(ShutdownTest, firstCloseWritesTheDefaultsAsTheirStoredKinds) {
    start();
    ASSERT_TRUE(closeWindow());
    const TaggedValue sound = readSetting(QStringLiteral("SoundOn"));
    const TaggedValue help = readSetting(QStringLiteral("Show Help"));
    const TaggedValue saveTo = readSetting(QStringLiteral("Save To"));
    EXPECT_EQ(sound.kind(), TaggedValue::Kind::Integer);
    EXPECT_EQ(sound.toInt(), -1);
    EXPECT_EQ(help.toInt(), -1);
    EXPECT_EQ(saveTo.kind(), TaggedValue::Kind::String);
    EXPECT_TRUE(saveTo.toString().isEmpty());
}

TEST_F(ShutdownTest, soundStoredAsOneIsStoredAsMinusOneAfterClose) {
    writeSetting(QStringLiteral("SoundOn"), 1);
    start();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(readSetting(QStringLiteral("SoundOn")).toInt(), -1);
}

TEST_F(ShutdownTest, switchesChangedByTheUserSurviveARestart) {
    start();
    click(QStringLiteral("C_ShowHelp"));
    click(QStringLiteral("C_AllowSounds"));
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(readSetting(QStringLiteral("Show Help")).toInt(), 0);
    EXPECT_EQ(readSetting(QStringLiteral("SoundOn")).toInt(), 0);

    clearCues();
    TFrmMain& again = start();
    EXPECT_FALSE(findAs<TBWCCCheckBox>(again, "C_AllowSounds")->checked());
    EXPECT_FALSE(findAs<TBWCCCheckBox>(again, "C_ShowHelp")->checked());
    EXPECT_TRUE(cues().isEmpty()) << "sounds stay off from the first moment";
}

TEST_F(ShutdownTest, destinationFolderIsSavedAndRestored) {
    const QString other = scratchPath(QStringLiteral("other fonts"));
    QDir().mkpath(other);
    writeSetting(QStringLiteral("Save To"), QStringLiteral("/data/fonts/"));
    TFrmMain& w = start();
    // The user browses to another folder and fixes it with a click on the destination box.
    ASSERT_TRUE(findAs<DirectoryListBox>(w, "D_Dir")->setDirectory(other));
    click(QStringLiteral("LB_DestinationFile"));
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(readSetting(QStringLiteral("Save To")).toString(), other + QLatin1Char('/'));
    start();
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), other + QLatin1Char('/'));
}

TEST_F(ShutdownTest, goodbyeIsTheLastCueAndPlaysToItsEnd) {
    start();
    clearCues();
    ASSERT_TRUE(closeWindow());
    ASSERT_FALSE(soundRequests().empty());
    const auto& last = soundRequests().back();
    EXPECT_EQ(last.name, QStringLiteral("MyGoodbye"));
    EXPECT_FALSE(last.async);
    EXPECT_EQ(last.source, qm::platform::SoundSource::Resource);
    EXPECT_TRUE(last.found) << "the cue is compiled into the program";
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ShutdownTest, soundOffSkipsTheGoodbye) {
    writeSetting(QStringLiteral("SoundOn"), false);
    start();
    ASSERT_TRUE(closeWindow());
    EXPECT_FALSE(cues().contains(QStringLiteral("MyGoodbye")));
}

TEST_F(ShutdownTest, theRegisteredFontIsWithdrawnAtClose) {
    const QString font = copySystemFont(kSystemFont, QStringLiteral("sans.ttf"));
    start();
    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    const QRect entry = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    settle();
    ASSERT_EQ(appFonts().registeredPaths(), QStringList{font});

    ASSERT_TRUE(closeWindow());
    EXPECT_FALSE(appFonts().isRegistered(font));
}

TEST_F(ShutdownTest, aFailureWhileSavingIsShownOnceAndTheWindowClosesAnyway) {
    const QString font = copySystemFont(kSystemFont, QStringLiteral("sans.ttf"));
    TFrmMain& w = start();
    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    settle();
    ASSERT_TRUE(appFonts().isRegistered(font));
    // The settings folder turns into a plain file: nothing can be stored any more.
    ASSERT_TRUE(QDir(settingsFolder()).removeRecursively());
    QFile blocker(settingsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    clearCues();

    EXPECT_TRUE(closeWindow());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(messages()[0].text.startsWith(QStringLiteral("Reg Error: ")))
        << messages()[0].text.toStdString();
    EXPECT_TRUE(messages()[0].text.split(u'\r').contains(settingsFile()))
        << "names the file it could not save";
    EXPECT_FALSE(w.isVisible());
    // The rest of the shutdown ran.
    EXPECT_FALSE(appFonts().isRegistered(font));
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyGoodbye")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace qmtest
