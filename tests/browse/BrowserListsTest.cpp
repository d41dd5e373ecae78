// The drive box, folder list and file list on real folders.

#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "tests/support/TestFonts.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>

using qm::browse::DirectoryListBox;
using qm::browse::DriveComboBox;
using qm::browse::FileListBox;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList texts(const QListWidget& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.item(i)->text());
    return out;
}

struct ListingCase {
    const char* name;
    std::vector<const char*> files;   // made as empty files
    std::vector<const char*> folders; // made as folders
    std::vector<const char*> listed;  // what the file list shows, in order
};

class FileListListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(FileListListing, listsTrueTypeFilesOnlyInCaseBlindOrder) {
    const ListingCase& c = GetParam();
    testfonts::TempDir dir;
    const QString root = qs(dir.Path());
    for (const char* f : c.files)
        touch(root + '/' + f);
    for (const char* d : c.folders)
        ASSERT_TRUE(QDir(root).mkdir(d));

    FileListBox list;
    list.setDirectory(root);
    QStringList expected;
    for (const char* f : c.listed)
        expected.append(f);
    EXPECT_EQ(texts(list), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FileListListing,
    ::testing::Values(
        ListingCase{"Empty", {}, {}, {}},
        ListingCase{"MixedCaseExtensions",
                    {"b.TTF", "a.ttf", "c.Ttf", "d.tTF"},
                    {},
                    {"a.ttf", "b.TTF", "c.Ttf", "d.tTF"}},
        ListingCase{"OtherExtensionsLeftOut",
                    {"x.otf", "x.ttf.bak", "ttf", "xttf", "font.ttc", "keep.ttf"},
                    {},
                    {"keep.ttf"}},
        ListingCase{"FoldersLeftOut", {"real.ttf"}, {"folder.ttf", "sub"}, {"real.ttf"}},
        ListingCase{
            "HiddenFilesListed", {".hidden.ttf", "shown.ttf"}, {}, {".hidden.ttf", "shown.ttf"}},
        ListingCase{"CaseBlindOrder",
                    {"beta.ttf", "Alpha.ttf", "ALPHA2.ttf", "gamma.TTF"},
                    {},
                    {"Alpha.ttf", "ALPHA2.ttf", "beta.ttf", "gamma.TTF"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileList, leavesOutPipesNamedLikeFonts) {
    // Reading a FIFO would block the load for ever.
    testfonts::TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.ttf").c_str(), 0600), 0);
    touch(qs(dir.File("font.ttf")));
    FileListBox list;
    list.setDirectory(qs(dir.Path()));
    EXPECT_EQ(texts(list), QStringList{"font.ttf"});
}

TEST(FileList, rowsAreSixteenPixelsHigh) {
    testfonts::TempDir dir;
    touch(qs(dir.File("a.ttf")));
    touch(qs(dir.File("b.ttf")));
    FileListBox list;
    list.resize(170, 165);
    list.setDirectory(qs(dir.Path()));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.visualItemRect(list.item(0)).height(), 16);
    EXPECT_EQ(list.visualItemRect(list.item(1)).top(),
              list.visualItemRect(list.item(0)).bottom() + 1);
    EXPECT_FALSE(list.item(0)->icon().isNull());
}

TEST(FileList, rereadPicksUpNewFiles) {
    testfonts::TempDir dir;
    touch(qs(dir.File("a.ttf")));
    FileListBox list;
    list.setDirectory(qs(dir.Path()));
    ASSERT_EQ(list.count(), 1);
    touch(qs(dir.File("NEW.TTF")));
    list.reread();
    EXPECT_EQ(texts(list), (QStringList{"a.ttf", "NEW.TTF"}));
}

class LinkedFileList : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"one.ttf", "two.ttf", "three.ttf"})
            touch(qs(dir.File(f)));
        list.resize(170, 165);
        list.setDirectory(qs(dir.Path()));
        list.setFileEdit(&edit);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    QPoint centreOf(int row) { return list.visualItemRect(list.item(row)).center(); }

    testfonts::TempDir dir;
    FileListBox list;
    QLineEdit edit;
};

TEST_F(LinkedFileList, attachingWithoutSelectionWritesTheMask) {
    EXPECT_EQ(edit.text(), "*.TTF");
}

TEST_F(LinkedFileList, clickWritesTheNameSelectedWholeThenSignalsRelease) {
    QString nameAtRelease;
    QObject::connect(&list, &FileListBox::mouseReleased, [&] { nameAtRelease = edit.text(); });
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(nameAtRelease, "three.ttf"); // sorted: one, three, two
    EXPECT_EQ(edit.selectedText(), "three.ttf");
}

TEST_F(LinkedFileList, keyReleaseComesAfterTheSelectionMoved) {
    list.setFocus();
    list.setCurrentRow(0);
    QList<std::pair<int, QString>> releases;
    QObject::connect(&list, &FileListBox::keyReleased, [&](int key) {
        releases.append({key, edit.text()});
    });
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_End);
    ASSERT_EQ(releases.size(), 2);
    EXPECT_EQ(releases[0], std::make_pair(int(Qt::Key_Down), QString("three.ttf")));
    EXPECT_EQ(releases[1], std::make_pair(int(Qt::Key_End), QString("two.ttf")));
}

TEST_F(LinkedFileList, autoRepeatedReleasesAreNotSignalled) {
    QSignalSpy spy(&list, &FileListBox::keyReleased);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&list, &repeated);
    EXPECT_EQ(spy.count(), 0);
    QKeyEvent last(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), false);
    QApplication::sendEvent(&list, &last);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(LinkedFileList, lockTurnsSilverForbidsAndDetaches) {
    list.setLocked(true);
    EXPECT_TRUE(list.isLocked());
    EXPECT_EQ(list.palette().color(QPalette::Text), QColor(192, 192, 192));
    EXPECT_EQ(list.cursor().shape(), Qt::ForbiddenCursor);
    edit.setText("MYFONT");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(0));
    EXPECT_EQ(edit.text(), "MYFONT");

    list.clearSelection();
    list.setLocked(false, &edit);
    EXPECT_FALSE(list.isLocked());
    EXPECT_EQ(list.palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_NE(list.cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_EQ(edit.text(), "*.TTF"); // attaching writes at once
}

// ---- Folder list --------------------------------------------------------------------------

class FolderList : public ::testing::Test {
protected:
    void SetUp() override {
        root = qs(dir.Path());
        for (const char* d : {"a", "a/inner", "a/Zeta", "a/beta", "a/.hidden", "b"})
            ASSERT_TRUE(QDir(root).mkpath(d));
        touch(root + "/a/file.ttf");
        touch(root + "/a/other.ttf");
        folders.setFileList(&files);
        folders.resize(170, 91);
    }
    testfonts::TempDir dir;
    QString root;
    FileListBox files;
    DirectoryListBox folders;
};

TEST_F(FolderList, showsTheChainFromTheRootThenVisibleSubfolders) {
    ASSERT_TRUE(folders.setDirectory(root + "/a"));
    QStringList expected;
    QString path;
    for (const QString& part : (root + "/a").split('/', Qt::SkipEmptyParts)) {
        path += '/' + part;
        expected.append(path);
    }
    expected.prepend("/");
    for (const char* d : {"beta", "inner", "Zeta"})
        expected.append(root + "/a/" + d);
    EXPECT_EQ(folders.entryPaths(), expected);
    EXPECT_EQ(folders.currentItem()->text(), "a");
}

TEST_F(FolderList, theFileListIsReadBeforeTheChangeIsSignalled) {
    int countAtSignal = -1;
    QObject::connect(&folders, &DirectoryListBox::directoryChanged,
                     [&] { countAtSignal = files.count(); });
    ASSERT_TRUE(folders.setDirectory(root + "/a"));
    EXPECT_EQ(countAtSignal, 2);
    EXPECT_EQ(files.directory(), root + "/a");
}

TEST_F(FolderList, aMissingFolderChangesNothing) {
    ASSERT_TRUE(folders.setDirectory(root + "/b"));
    QSignalSpy spy(&folders, &DirectoryListBox::directoryChanged);
    EXPECT_FALSE(folders.setDirectory(root + "/gone"));
    EXPECT_FALSE(folders.setDirectory(root + "/a/file.ttf"));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(folders.directory(), root + "/b");
}

TEST_F(FolderList, theRootKeepsItsOneSlash) {
    ASSERT_TRUE(folders.setDirectory("/"));
    EXPECT_EQ(folders.directory(), "/");
    EXPECT_EQ(folders.entryPaths().first(), "/");
    EXPECT_TRUE(folders.entryPaths().contains("/usr"));
}

struct OpenCase {
    const char* name;
    bool byEnter;
};

class FolderListOpening : public FolderList, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FolderListOpening, opensTheEntryAndAnEntryAbove) {
    ASSERT_TRUE(folders.setDirectory(root + "/a"));
    folders.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&folders));
    QSignalSpy spy(&folders, &DirectoryListBox::directoryChanged);
    auto open = [&](const QString& path) {
        const int row = folders.entryPaths().indexOf(path);
        ASSERT_GE(row, 0) << path.toStdString();
        folders.scrollToItem(folders.item(row));
        if (GetParam().byEnter) {
            folders.setCurrentRow(row);
            QTest::keyClick(&folders, Qt::Key_Return);
        } else {
            const QPoint at = folders.visualItemRect(folders.item(row)).center();
            QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(folders.viewport(), Qt::LeftButton, {}, at);
        }
    };
    open(root + "/a/inner");
    EXPECT_EQ(folders.directory(), root + "/a/inner");
    open(root);
    EXPECT_EQ(folders.directory(), root);
    EXPECT_EQ(spy.count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, FolderListOpening,
                         ::testing::Values(OpenCase{"DoubleClick", false}, OpenCase{"Enter", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Drive box ----------------------------------------------------------------------------

TEST(DriveBox, choosingARootMovesTheFolderListAndTheBoxFollowsTheList) {
    testfonts::TempDir dir;
    const QString home = qs(dir.Path());
    ASSERT_TRUE(QDir(home).mkpath("deep/er"));
    DirectoryListBox folders;
    DriveComboBox drives;
    drives.setRoots({"/", home});
    drives.setDirList(&folders);
    EXPECT_EQ(drives.focusPolicy() & Qt::TabFocus, 0);

    ASSERT_TRUE(folders.setDirectory(home + "/deep/er"));
    EXPECT_EQ(drives.currentText(), home);
    ASSERT_TRUE(folders.setDirectory("/usr"));
    EXPECT_EQ(drives.currentText(), "/");

    drives.setCurrentIndex(1);
    emit drives.activated(1);
    EXPECT_EQ(folders.directory(), home);
}

struct RootCase {
    const char* name;
    const char* folder;
    const char* root;
};

class DriveBoxRoots : public ::testing::TestWithParam<RootCase> {};

TEST_P(DriveBoxRoots, theLongestHoldingRootWins) {
    DriveComboBox drives;
    drives.setRoots({"/", "/home/ann", "/media/usb"});
    EXPECT_EQ(drives.rootOf(GetParam().folder), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(Folders, DriveBoxRoots,
                         ::testing::Values(RootCase{"Root", "/", "/"},
                                           RootCase{"SystemFolder", "/usr/share", "/"},
                                           RootCase{"Home", "/home/ann", "/home/ann"},
                                           RootCase{"UnderHome", "/home/ann/fonts", "/home/ann"},
                                           RootCase{"SiblingOfHome", "/home/anna", "/"},
                                           RootCase{"Volume", "/media/usb/x", "/media/usb"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DriveBox, offersTheMachinesRoots) {
    DriveComboBox drives;
    ASSERT_GE(drives.count(), 2);
    EXPECT_EQ(drives.roots().first(), "/");
    EXPECT_TRUE(drives.roots().contains(QDir::homePath()));
}

} // namespace
