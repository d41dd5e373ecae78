// "Open with" and files dropped on the window: the result is the one a click on the file in
// the list gives, and a file that cannot be read shows the usual error panel.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "controls/ColorButton.h"
#include "platform/FileNames.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include <fstream>

using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;

namespace qmtest {
namespace {

const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
const QString kMono = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");

class OpenWithTest : public WindowTest {
protected:
    Qt::DropAction lastDropAction_ = Qt::IgnoreAction;

    TFrmMain& w() { return window(); }

    // Everything a load shows or leaves behind, as one comparable list.
    QStringList shownState() {
        QStringList state;
        for (const char* name :
             {"E_FamilyName", "E_Style", "E_FullName", "E_Postscript", "E_Version", "E_FontID",
              "E_Copyright", "E_TradeMark", "LB_CurrentFont", "D_FilePath", "D_FileName",
              "LB_FontFileError", "LB_FontError"})
            state << QStringLiteral("%1=%2").arg(QLatin1String(name), textOf(QLatin1String(name)));
        for (const char* name : {"P_All256Chars", "P_FontError", "B_WhatsNew"})
            state << QStringLiteral("%1 shown=%2").arg(QLatin1String(name)).arg(isShown(name));
        for (const char* name : {"B_CreateFontNow", "B_ViewPrint", "B_RestoreNames"})
            state << QStringLiteral("%1 enabled=%2").arg(QLatin1String(name)).arg(isEnabled(name));
        state << QStringLiteral("folder=") + findAs<DirectoryListBox>(w(), "D_Dir")->directory()
              << QStringLiteral("selected=") + findAs<FileListBox>(w(), "D_File")->fileName()
              << QStringLiteral("registered=") + appFonts().registeredPaths().join(u',')
              << QStringLiteral("strip=") + findAs<QLabel>(w(), "LB_All256Chars")->text();
        return state;
    }

    void clickFile(const QString& name) {
        FileListBox* list = findAs<FileListBox>(w(), "D_File");
        ASSERT_TRUE(list->selectFileName(name)) << name.toStdString();
        QListWidgetItem* item = list->currentItem();
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        settle();
    }

    // The window, with one more font in the start folder.
    void startWithOther() {
        copySystemFont(kMono, QStringLiteral("other.ttf"));
        start();
    }
    // Something else on screen first, so that opening has a state to change.
    void showAnotherFont() {
        ASSERT_TRUE(findAs<DirectoryListBox>(w(), "D_Dir")->setDirectory(fontsFolder()));
        clickFile(QStringLiteral("other.ttf"));
        ASSERT_EQ(textOf("LB_CurrentFont"), fontsFolder() + QStringLiteral("/other.ttf"));
    }

    // A file manager's drag of these files, entering over `target` and dropped there.
    bool drop(QWidget* target, const QList<QUrl>& urls,
              Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
              Qt::DropAction proposed = Qt::CopyAction) {
        QMimeData data;
        data.setUrls(urls);
        // File managers offer the paths as plain text too, which an edit box would take.
        QStringList paths;
        for (const QUrl& url : urls)
            paths << url.toString();
        data.setText(paths.join(QLatin1Char('\n')));
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, {});
        enter.setDropAction(proposed);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), offered, &data, Qt::LeftButton, {});
        dropped.setDropAction(proposed);
        QApplication::sendEvent(target, &dropped);
        settle();
        lastDropAction_ = dropped.dropAction();
        return dropped.isAccepted();
    }
};

struct OpenRow {
    const char* name;
    const char* fileName;
    // Fills the file; nullptr copies a real font.
    const char* bytes;
};

class OpenLikeClickTest : public OpenWithTest, public ::testing::WithParamInterface<OpenRow> {
protected:
    // The file name is bytes, which need not be UTF-8; the path as the window shows it.
    QString makeFile() {
        const QString folder = scratchPath(QStringLiteral("my fonts"));
        QDir().mkpath(folder);
        const std::string path =
            QFile::encodeName(folder).toStdString() + '/' + GetParam().fileName;
        QByteArray bytes = GetParam().bytes;
        if (!GetParam().bytes) {
            QFile font(kDejaVu);
            EXPECT_TRUE(font.open(QIODevice::ReadOnly));
            bytes = font.readAll();
        }
        std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
        return qm::platform::fileNameText(path);
    }
    QStringList stateAfterClick(const QString& path) {
        showAnotherFont();
        EXPECT_TRUE(
            findAs<DirectoryListBox>(w(), "D_Dir")->setDirectory(QFileInfo(path).absolutePath()));
        clickFile(QFileInfo(path).fileName());
        return shownState();
    }
};

TEST_P(OpenLikeClickTest, openingAndDroppingShowWhatAClickShows) {
    const QString path = makeFile();
    startWithOther();
    const QStringList clicked = stateAfterClick(path);
    if (!GetParam().bytes) {
        ASSERT_TRUE(clicked.contains(QStringLiteral("E_FamilyName=DejaVu Sans")))
            << "a click loads it";
    }
    const QStringList clickCues = cues().mid(cues().lastIndexOf(QStringLiteral("MyTick")));

    showAnotherFont();
    clearCues();
    w().openFontFile(path);
    settle();
    EXPECT_EQ(shownState(), clicked);
    EXPECT_EQ(cues().mid(cues().lastIndexOf(QStringLiteral("MyTick"))), clickCues);
    EXPECT_TRUE(findAs<FileListBox>(w(), "D_File")->hasFocus())
        << "the list has the focus, as after a click";

    // Dropped on an edit box, the file still goes to the window, not into the box as text.
    showAnotherFont();
    // File managers put the name's bytes into the URL, percent-encoded.
    const QByteArray bytes = QByteArray::fromStdString(qm::platform::fileNameBytes(path));
    const QUrl url = QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"));
    ASSERT_TRUE(drop(findAs<QLineEdit>(w(), "E_Copyright"), {url}));
    EXPECT_EQ(shownState(), clicked);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenLikeClickTest,
                         ::testing::Values(OpenRow{"RealFont", "Deja Vu.ttf", nullptr},
                                           OpenRow{"Latin1Name", "D\xE9j\xE0 Vu.ttf", nullptr},
                                           OpenRow{"UpperCaseName", "DEJAVU.TTF", nullptr},
                                           OpenRow{"BrokenFont", "broken.ttf", "this is no font\n"},
                                           OpenRow{"EmptyFile", "empty.ttf", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenWithTest, fileThatCannotBeListedShowsTheErrorPanelWithItsPath) {
    const QString folder = scratchPath(QStringLiteral("fonts elsewhere"));
    QDir().mkpath(folder);
    QFile notes(folder + QStringLiteral("/notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a font");
    notes.close();
    const QString missingInFolder = folder + QStringLiteral("/gone.ttf");
    const QString missingFolder = scratchPath(QStringLiteral("no such folder/gone.ttf"));
    startWithOther();

    struct Case {
        QString path;
        QString folderBrowsed;
        QString reason;
    };
    for (const Case& c :
         {Case{missingInFolder, folder, QStringLiteral("Font File Not Found.")},
          Case{notes.fileName(), folder, QStringLiteral("Not a TrueType file.")},
          Case{missingFolder, fontsFolder(), QStringLiteral("Font File Not Found.")}}) {
        showAnotherFont();
        clearCues();
        w().openFontFile(c.path);
        settle();
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_TRUE(isShown("P_FontError"));
        EXPECT_EQ(textOf("LB_FontFileError"), c.path);
        EXPECT_EQ(textOf("LB_FontError"), c.reason);
        EXPECT_EQ(findAs<DirectoryListBox>(w(), "D_Dir")->directory(), c.folderBrowsed);
        EXPECT_TRUE(textOf("E_FamilyName").isEmpty());
        EXPECT_TRUE(appFonts().registeredPaths().isEmpty()) << "the previous font was withdrawn";
        EXPECT_FALSE(isEnabled("B_CreateFontNow"));
        EXPECT_TRUE(cues().contains(QStringLiteral("MyOhOh")));
    }
}

TEST_F(OpenWithTest, relativePathsAndFoldersAreTakenFromTheCurrentFolder) {
    const QString folder = scratchPath(QStringLiteral("here"));
    QDir().mkpath(folder + QStringLiteral("/sub"));
    QFile::copy(kDejaVu, folder + QStringLiteral("/sub/rel.ttf"));
    start();
    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder);
    w().openFontFile(QStringLiteral("sub/../sub/rel.ttf"));
    settle();
    QDir::setCurrent(saved);
    EXPECT_EQ(textOf("LB_CurrentFont"), folder + QStringLiteral("/sub/rel.ttf"));

    // A folder is browsed, and the font shown stays.
    w().openFontFile(folder);
    settle();
    EXPECT_EQ(findAs<DirectoryListBox>(w(), "D_Dir")->directory(), folder);
    EXPECT_EQ(textOf("LB_CurrentFont"), folder + QStringLiteral("/sub/rel.ttf"));
}

TEST_F(OpenWithTest, dropsAreRefusedWhileTheListIsLockedOrForManyOrRemoteFiles) {
    const QString font = copySystemFont(kDejaVu, QStringLiteral("drop.ttf"));
    startWithOther();
    const QUrl local = QUrl::fromLocalFile(font);
    EXPECT_FALSE(drop(findAs<QFrame>(w(), "Panel1"), {local, local}));
    EXPECT_FALSE(
        drop(findAs<QFrame>(w(), "Panel1"), {QUrl(QStringLiteral("https://example.org/a.ttf"))}));
    // Taken as a move, the file manager would delete the font once it was dropped.
    EXPECT_FALSE(drop(findAs<QFrame>(w(), "Panel1"), {local}, Qt::MoveAction, Qt::MoveAction));
    EXPECT_TRUE(textOf("LB_CurrentFont").isEmpty());
    ASSERT_TRUE(drop(findAs<QFrame>(w(), "Panel1"), {local}, Qt::CopyAction | Qt::MoveAction,
                     Qt::MoveAction));
    EXPECT_EQ(lastDropAction_, Qt::CopyAction);
    EXPECT_EQ(textOf("LB_CurrentFont"), font);

    showAnotherFont();
    click("B_CreateFontNow");
    ASSERT_TRUE(findAs<FileListBox>(w(), "D_File")->isLocked());
    const QStringList before = shownState();
    EXPECT_FALSE(drop(findAs<QFrame>(w(), "Panel1"), {local}));
    w().openFontFile(font);
    settle();
    EXPECT_EQ(shownState(), before) << "nothing loads while the new-font panel holds the list";
}

// A folder on a mount that answers nothing until the test lets it (tests/support/gatedfs.py).
class HangingMount {
public:
    HangingMount(const QString& source, const QString& mountPoint, const QString& gate)
        : mountPoint_(mountPoint), gate_(gate) {
        if (!QFileInfo::exists(QStringLiteral("/dev/fuse")) ||
            QStandardPaths::findExecutable(QStringLiteral("fusermount")).isEmpty() ||
            QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"), QStringLiteral("import fusepy")}) != 0) {
            why_ = "needs /dev/fuse, fusermount and python3-fusepy";
            return;
        }
        QDir().mkpath(mountPoint);
        fs_.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral(QM_SOURCE_DIR "/tests/support/gatedfs.py"), source, mountPoint,
                   gate, QString::number(kLimitSeconds)});
        // Read from the kernel's list: a look at the mount itself would wait at the gate.
        // The file system ends at once where this user may not mount.
        if (!QTest::qWaitFor([this] { return mounted() || fs_.state() == QProcess::NotRunning; },
                             10000) ||
            !mounted())
            why_ = "this user may not mount through FUSE here";
    }
    ~HangingMount() {
        if (fs_.state() == QProcess::NotRunning)
            return;
        QProcess::execute(QStringLiteral("fusermount"),
                          {QStringLiteral("-u"), QStringLiteral("-z"), mountPoint_});
        if (!fs_.waitForFinished(5000)) {
            fs_.kill();
            fs_.waitForFinished(5000);
        }
    }
    const char* unavailable() const { return why_; }
    void answer() const { QFile(gate_).open(QIODevice::WriteOnly); }
    // Whether something waited at the gate until the file system gave up and answered.
    bool timedOut() const { return QFileInfo::exists(gate_ + QStringLiteral(".timed-out")); }
    static constexpr int kLimitSeconds = 30;

private:
    bool mounted() const {
        QFile mounts(QStringLiteral("/proc/mounts"));
        return mounts.open(QIODevice::ReadOnly) &&
               mounts.readAll().contains(' ' + mountPoint_.toUtf8() + " fuse");
    }
    QString mountPoint_, gate_;
    QProcess fs_;
    const char* why_ = nullptr;
};

// "quillmark FONT" with the font on a mount that hangs: the window works on while the folder is
// read, under the busy cursor, and once the mount answers, the font shows as "Open with" shows
// it.
TEST_F(OpenWithTest, aFontOnAHangingMountOpensWhenTheMountAnswers) {
    const QString source = scratchPath(QStringLiteral("source"));
    QDir().mkpath(source);
    ASSERT_TRUE(QFile::copy(kDejaVu, source + QStringLiteral("/SLOW.TTF")));
    const HangingMount mount(source, scratchPath(QStringLiteral("mount")),
                             scratchPath(QStringLiteral("gate")));
    if (mount.unavailable())
        GTEST_SKIP() << mount.unavailable();
    const QString font = scratchPath(QStringLiteral("mount/SLOW.TTF"));
    startWithOther();
    const QString startFolder = findAs<DirectoryListBox>(w(), "D_Dir")->directory();

    w().openFontFileAtStart(font);
    settle();
    ASSERT_FALSE(mount.timedOut()) << "the window waited for the mount";
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(findAs<DirectoryListBox>(w(), "D_Dir")->directory(), startFolder);
    // The window answers meanwhile: a panel opens and closes.
    click("B_WhatsNew");
    EXPECT_TRUE(isShown("P_WhatsNew"));
    click("B_WhatsNewClose");
    EXPECT_FALSE(mount.timedOut());

    mount.answer();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !textOf("E_FamilyName").isEmpty(); },
                                HangingMount::kLimitSeconds * 1000));
    settle();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor stays";
    const QStringList opened = shownState();
    EXPECT_TRUE(opened.contains(QStringLiteral("E_FamilyName=DejaVu Sans")));
    EXPECT_TRUE(opened.contains(QStringLiteral("folder=") + scratchPath(QStringLiteral("mount"))));

    // The same as "Open with" while the window runs.
    showAnotherFont();
    w().openFontFile(font);
    settle();
    EXPECT_EQ(shownState(), opened);
    EXPECT_FALSE(mount.timedOut());
}

} // namespace
} // namespace qmtest
