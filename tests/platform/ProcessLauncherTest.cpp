#include "platform/ProcessLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qm::platform;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// 'R', 'S', 'Z', ... from /proc/<pid>/stat; 0 when the process is gone (reaped).
char processState(int pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() ? stat[close + 2] : 0;
}

TEST(LaunchProcess, eachArgumentStaysWholeEvenWithBlanks) {
    QTemporaryDir dir;
    const std::string out = dir.filePath("args.txt").toStdString();
    const LaunchResult r = launchProcess("/bin/sh",
                                         {"-c", "printf '%s|' \"$#\" \"$@\" > \"$0\"", out,
                                          "/tmp/My Fonts/Old Face.ttf", "", "a\"b"},
                                         true);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(readAll(QString::fromStdString(out)), "3|/tmp/My Fonts/Old Face.ttf||a\"b|");
}

TEST(LaunchProcess, waitingReturnsAfterTheEndWithTheExitCode) {
    QTemporaryDir dir;
    const std::string out = dir.filePath("late.txt").toStdString();
    const LaunchResult r =
        launchProcess("/bin/sh", {"-c", "sleep 0.3; echo done > \"$0\"; exit 7", out}, true);
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(readAll(QString::fromStdString(out)), "done\n");
    EXPECT_EQ(processState(r.pid), 0) << "already reaped";
}

TEST(LaunchProcess, notWaitingLeavesNoZombie) {
    const LaunchResult r = launchProcess("/bin/true", {}, false);
    ASSERT_EQ(r.error, 0);
    ASSERT_GT(r.pid, 0);
    QElapsedTimer clock;
    clock.start();
    while (processState(r.pid) != 0 && clock.elapsed() < 10000) {
        QThread::msleep(20);
    }
    EXPECT_EQ(processState(r.pid), 0) << "state " << processState(r.pid);
}

TEST(LaunchProcess, notWaitingReturnsWhileTheProgramRuns) {
    const LaunchResult r = launchProcess("/bin/sleep", {"5"}, false);
    ASSERT_EQ(r.error, 0);
    EXPECT_NE(processState(r.pid), 0);
    ::kill(r.pid, SIGTERM);
}

TEST(LaunchProcess, findsAProgramNameOnPath) {
    const LaunchResult r = launchProcess("true", {}, true);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.exitCode, 0);
}

struct FailureRow {
    const char* name;
    QString program; // "%1" is replaced by a temporary folder
    int code;
};

class LaunchFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(LaunchFailure, givesTheSystemCode) {
    QTemporaryDir dir;
    // A plain file, one with the execute bit but no known format, and a folder.
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a program\n");
    plain.close();
    QFile junk(dir.filePath("junk"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray("\x01\x02\x03\x04garbage", 11));
    junk.close();
    ::chmod(QFile::encodeName(junk.fileName()).constData(), 0755);
    QDir(dir.path()).mkdir("folder");

    const std::string program =
        QString(GetParam().program).replace(QLatin1String("%1"), dir.path()).toStdString();
    const LaunchResult r = launchProcess(program, {"x"}, false);
    EXPECT_EQ(r.error, GetParam().code);
    EXPECT_EQ(r.pid, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, LaunchFailure,
    ::testing::Values(FailureRow{"Missing", "%1/Glyphsee", 2},
                      FailureRow{"MissingFolder", "%1/nowhere/Glyphsee", 2},
                      FailureRow{"MissingOnPath", "qm-no-such-program-anywhere", 2},
                      FailureRow{"Empty", "", 2}, FailureRow{"FileAsFolder", "%1/plain/x", 3},
                      FailureRow{"NotExecutable", "%1/plain", 5},
                      FailureRow{"Folder", "%1/folder", 5},
                      FailureRow{"UnknownFormat", "%1/junk", 11}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrnoRow {
    int err;
    int code;
};

class ErrnoMapping : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(ErrnoMapping, followsTheTable) {
    EXPECT_EQ(win32FromErrno(GetParam().err), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Codes, ErrnoMapping,
                         ::testing::Values(ErrnoRow{ENOENT, 2}, ErrnoRow{ENOTDIR, 3},
                                           ErrnoRow{EACCES, 5}, ErrnoRow{ENOMEM, 8},
                                           ErrnoRow{ENOEXEC, 11}, ErrnoRow{E2BIG, 31}),
                         [](const auto& info) { return "errno" + std::to_string(info.param.err); });

TEST(ChangeCurrentFolder, reportsFailureAndChangesOnSuccess) {
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    EXPECT_FALSE(changeCurrentFolder(dir.filePath("missing").toStdString()).empty());
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_TRUE(changeCurrentFolder(dir.path().toStdString()).empty());
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    changeCurrentFolder(before.toStdString());
}

} // namespace
