#include "platform/Folders.h"
#include "platform/HandCursor.h"

#include <QBitmap>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::platform;

namespace {

struct RootsRow {
    const char* name;
    QString home;
    QStringList mounts;
    QStringList roots;
};

class FileSystemRoots : public ::testing::TestWithParam<RootsRow> {};

TEST_P(FileSystemRoots, offerRootHomeAndUserVolumes) {
    EXPECT_EQ(fileSystemRoots(GetParam().home, GetParam().mounts), GetParam().roots);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, FileSystemRoots,
    ::testing::Values(RootsRow{"HomeOnly", "/home/ann", {"/", "/proc", "/sys"}, {"/", "/home/ann"}},
                      RootsRow{"SystemMountsHidden",
                               "/home/ann",
                               {"/", "/boot/efi", "/run/user/1000", "/dev/shm"},
                               {"/", "/home/ann"}},
                      RootsRow{
                          "VolumesSorted",
                          "/home/ann",
                          {"/run/media/ann/USB", "/media/cdrom", "/mnt/data", "/"},
                          {"/", "/home/ann", "/media/cdrom", "/mnt/data", "/run/media/ann/USB"}},
                      RootsRow{"HomeIsRoot", "/", {"/media/x", "/media/x"}, {"/", "/media/x"}},
                      RootsRow{"NoHome", "", {}, {"/"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Read from the kernel's list without asking each file system, the roots are still every
// mounted volume Qt finds there, names with spaces included.
TEST(FileSystemRoots, onThisMachineStartWithRootAndHomeThenEveryVolume) {
    const QStringList roots = fileSystemRoots();
    ASSERT_GE(roots.size(), 2);
    EXPECT_EQ(roots[0], "/");
    EXPECT_EQ(roots[1], QDir::homePath());
    QStringList volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        volumes.append(volume.rootPath());
    EXPECT_EQ(roots, fileSystemRoots(QDir::homePath(), volumes));
}

TEST(PathCase, leavesPathsAsTheyAre) {
    for (const QString& p : {QStringLiteral("/usr/share/fonts/DejaVuSans.ttf"),
                             QStringLiteral("/Home/ÄÖÜ/Fonts/"), QString()}) {
        EXPECT_EQ(pathCase(p), p);
    }
}

TEST(SystemFolders, defaultToTheSharedDataAndProgramFolders) {
    const SystemFolders folders;
    EXPECT_EQ(folders.windowsFolder(), "/usr/share");
    EXPECT_EQ(folders.systemFolder(), "/usr/bin");
}

TEST(SystemFolders, fontsStartFolderFallsBackToHomeWhenThereIsNoFontsFolder) {
    QTemporaryDir withFonts;
    QTemporaryDir withoutFonts;
    ASSERT_TRUE(QDir(withFonts.path()).mkdir("fonts"));
    SystemFolders folders(withFonts.path(), "/usr/bin");
    EXPECT_EQ(folders.fontsStartFolder(), withFonts.path() + "/fonts");
    folders.setWindowsFolder(withoutFonts.path());
    EXPECT_EQ(folders.fontsStartFolder(), QDir::homePath());
}

// The sandbox gives each test a home of its own, so the default folder is made there.
TEST(SystemFolders, newFontsGoToTheUsersOwnFontFolderWhichIsMadeWhenMissing) {
    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString fromData = SystemFolders().newFontFolder();
    // The XDG rule: a relative XDG_DATA_HOME counts as unset.
    qputenv("XDG_DATA_HOME", "relative/data");
    const QString fromHome = SystemFolders().newFontFolder();
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);

    EXPECT_EQ(fromData, data.path() + "/fonts/");
    EXPECT_EQ(fromHome, QDir::homePath() + "/.local/share/fonts/");
    for (const QString& folder : {fromData, fromHome})
        EXPECT_TRUE(QFileInfo(folder).isDir() && QFileInfo(folder).isWritable())
            << qPrintable(folder);
    EXPECT_EQ(SystemFolders("/usr/share", "/usr/bin").newFontFolder(), "")
        << "injected folders keep new fonts in the browsed folder";
}

TEST(HandCursor, isThe32PixelHandWithItsFingertipHotSpot) {
    const QCursor hand = loadHandCursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(5, 0));
    const QImage img = hand.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(img.pixel(5, 0)), 255) << "the hot spot is on the fingertip";
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(img.pixel(31, 31)), 0);
    // Monochrome: only black, white and transparent.
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) != 0) {
                EXPECT_TRUE(qGray(c) == 0 || qGray(c) == 255) << x << "," << y;
            }
        }
    }
}

TEST(ProgramIcon, offersEverySize) {
    const QIcon icon = loadProgramIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 48, 64, 128, 256}) {
        EXPECT_EQ(icon.pixmap(size, size).size(), QSize(size, size)) << size;
    }
}

} // namespace
