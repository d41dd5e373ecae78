// "View / Print": the viewer found beside the program or in the system folder, started as a real
// process with the current path as its one argument, and a viewer that does not start.
// The viewer here is a small shell script named glyphsee that writes down how it was called.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/AppExec.h"
#include "browse/DirectoryListBox.h"
#include "controls/PathLabel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextStream>

#include <unistd.h>

using qm::browse::DirectoryListBox;

namespace qmtest {
namespace {

struct ViewerRun {
    QString program;  // $0: which copy started
    QStringList args; // one line each
};

class ViewPrintTest : public WindowTest {
protected:
    QString runsFolder() const { return scratchPath(QStringLiteral("runs")); }

    // A stand-in viewer in `folder` that records $0 and each argument on its own line.
    QString installViewer(const QString& folder) {
        QDir().mkpath(runsFolder());
        const QString path = folder + QStringLiteral("/glyphsee");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        QTextStream out(&script);
        out << "#!/bin/sh\n"
            << "out='" << runsFolder() << "/run-'$$\n"
            << "printf '%s\\n' \"$0\" \"$@\" > \"$out.tmp\"\n"
            << "mv \"$out.tmp\" \"$out\"\n";
        out.flush();
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    // Waits until `count` runs have been written down (a process start is not instant).
    std::vector<ViewerRun> waitForRuns(int count) {
        QDeadlineTimer deadline(10000);
        QStringList names;
        while (!deadline.hasExpired()) {
            names = QDir(runsFolder()).entryList({QStringLiteral("run-*")}, QDir::Files);
            names.removeIf([](const QString& n) { return n.endsWith(QLatin1String(".tmp")); });
            if (names.size() >= count)
                break;
            QTest::qWait(20);
        }
        std::vector<ViewerRun> runs;
        for (const QString& name : names) {
            QFile file(runsFolder() + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            if (!lines.isEmpty() && lines.back().isEmpty())
                lines.removeLast();
            ViewerRun run;
            if (!lines.isEmpty())
                run.program = lines.takeFirst();
            run.args = lines;
            runs.push_back(run);
        }
        return runs;
    }

    void loadFont(const QString& fileName) {
        writeFont(fileName, testfonts::SimpleFont());
        if (!started())
            start();
        auto* list = window().findChild<QListWidget*>(QStringLiteral("D_File"));
        ASSERT_NE(list, nullptr);
        const QList<QListWidgetItem*> items = list->findItems(fileName, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << fileName.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.front()).center());
        settle();
        ASSERT_TRUE(isEnabled(QStringLiteral("B_ViewPrint")));
    }
};

// Children of this process, and how many of them are zombies.
struct Children {
    int all = 0;
    int zombies = 0;
};

Children childrenOfThisProcess() {
    Children found;
    const QString self = QString::number(::getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid ...": comm may hold blanks, so read after the last ')'.
        const QString text = QString::fromLatin1(stat.readAll());
        const QStringList fields =
            text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        if (fields.size() < 2 || fields[1] != self)
            continue;
        ++found.all;
        if (fields[0] == QLatin1String("Z"))
            ++found.zombies;
    }
    return found;
}

TEST_F(ViewPrintTest, aPathWithBlanksReachesTheViewerAsOneArgument) {
    const QString viewer = installViewer(programFolder());
    loadFont(QStringLiteral("Sample Sans Bold.ttf"));
    const QString path = findAs<TFileLabel>(window(), "D_FilePath")->fileName();
    ASSERT_EQ(path, fontsFolder() + QStringLiteral("/Sample Sans Bold.ttf"));
    clearCues();

    click(QStringLiteral("B_ViewPrint"));
    const auto runs = waitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, viewer);
    EXPECT_EQ(runs[0].args, QStringList{path});
    EXPECT_EQ(cues(), QStringList{QStringLiteral("MyTock")});
    EXPECT_TRUE(messages().empty());
}

TEST_F(ViewPrintTest, theCopyBesideTheProgramComesBeforeTheSystemOne) {
    const QString besides = installViewer(programFolder());
    installViewer(systemFolder());
    loadFont(QStringLiteral("a.ttf"));
    click(QStringLiteral("B_ViewPrint"));
    const auto runs = waitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, besides);
}

TEST_F(ViewPrintTest, withTheViewerOnlyInTheSystemFolderThatOneStarts) {
    const QString system = installViewer(systemFolder());
    loadFont(QStringLiteral("a.ttf"));
    clearCues();
    click(QStringLiteral("B_ViewPrint"));
    const auto runs = waitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, system);
    EXPECT_EQ(runs[0].args, QStringList{fontsFolder() + QStringLiteral("/a.ttf")});
    EXPECT_FALSE(cues().contains(QStringLiteral("MyOhOh")));
}

TEST_F(ViewPrintTest, aMissingViewerIsOnlyHeard) {
    loadFont(QStringLiteral("a.ttf"));
    clearCues();
    clearMessages();
    click(QStringLiteral("B_ViewPrint"));
    EXPECT_EQ(findAs<TAppExec>(window(), "AppExec")->ErrNo(), 2);
    EXPECT_EQ(TAppExec::ErrNoText(findAs<TAppExec>(window(), "AppExec")->ErrNo()),
              QStringLiteral("Fichier non trouv\u00e9"));
    EXPECT_EQ(cues(), (QStringList{QStringLiteral("MyTock"), QStringLiteral("MyOhOh")}));
    EXPECT_TRUE(messages().empty()) << "no message is shown";
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(isEnabled(QStringLiteral("B_ViewPrint")));
}

TEST_F(ViewPrintTest, aViewerThatCannotRunIsOnlyHeard) {
    // Beside the program but not executable: that one is still the one tried.
    const QString viewer = installViewer(programFolder());
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner);
    installViewer(systemFolder());
    loadFont(QStringLiteral("a.ttf"));
    clearCues();
    click(QStringLiteral("B_ViewPrint"));
    EXPECT_EQ(findAs<TAppExec>(window(), "AppExec")->ErrNo(), 5);
    EXPECT_EQ(cues(), (QStringList{QStringLiteral("MyTock"), QStringLiteral("MyOhOh")}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(ViewPrintTest, twoClicksStartTwoViewersAndLeaveNoZombie) {
    installViewer(programFolder());
    loadFont(QStringLiteral("a.ttf"));
    clearCues();
    click(QStringLiteral("B_ViewPrint"));
    click(QStringLiteral("B_ViewPrint"));
    const auto runs = waitForRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    for (const ViewerRun& run : runs)
        EXPECT_EQ(run.args, QStringList{fontsFolder() + QStringLiteral("/a.ttf")});
    EXPECT_EQ(cues().count(QStringLiteral("MyTock")), 2);
    EXPECT_FALSE(cues().contains(QStringLiteral("MyOhOh")));

    // Both viewers end by themselves; nothing of them may stay behind as a zombie.
    QDeadlineTimer deadline(10000);
    Children children = childrenOfThisProcess();
    while (children.all > 0 && !deadline.hasExpired()) {
        QTest::qWait(20);
        children = childrenOfThisProcess();
    }
    EXPECT_EQ(children.zombies, 0);
    EXPECT_EQ(children.all, 0);
}

TEST_F(ViewPrintTest, afterAFolderChangeTheViewerGetsTheFontOnShow) {
    installViewer(programFolder());
    const QString folder = fontsFolder() + QStringLiteral("/more fonts");
    ASSERT_TRUE(QDir().mkpath(folder));
    loadFont(QStringLiteral("a.ttf"));
    const QString font = findAs<TFileLabel>(window(), "D_FilePath")->fileName();

    // Into the subfolder with the folder list, as the user does; the font stays loaded.
    auto* dirs = findAs<DirectoryListBox>(QStringLiteral("D_Dir"));
    ASSERT_NE(dirs, nullptr);
    const int row = static_cast<int>(dirs->entryPaths().indexOf(folder));
    ASSERT_GE(row, 0);
    const QPoint at = dirs->visualItemRect(dirs->item(row)).center();
    QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, at);
    settle();
    ASSERT_EQ(dirs->directory(), folder);
    ASSERT_TRUE(isEnabled(QStringLiteral("B_ViewPrint")));

    click(QStringLiteral("B_ViewPrint"));
    const auto runs = waitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, QStringList{font});
}

} // namespace
} // namespace qmtest
