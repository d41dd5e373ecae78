// Runs over several files, interrupted at every call of the system calls they make: the files
// on disk must always be all or nothing, and the exit status must say which.
#include "tests/cli/TracedCli.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfonts;
using namespace tracedcli;

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const std::vector<std::string> kFamily = {kDejaVu + "DejaVuSans.ttf",
                                          kDejaVu + "DejaVuSans-Bold.ttf",
                                          kDejaVu + "DejaVuSans-Oblique.ttf"};
// The calls that open, lock, write, sync and name files: every step of a run lies between two.
const std::vector<std::string> kCalls = {"openat", "flock",  "pwrite64", "copy_file_range",
                                         "fsync",  "linkat", "unlink"};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Every (call, index) of a normal run, each with one of the three signals in turn; `reset`
// puts the files back before each run, `check` gets the wait status and where the signal was
// placed.
template <typename Reset, typename Check>
void atEveryCall(const std::vector<std::string>& args, const std::string& log, Reset reset,
                 Check check) {
    reset();
    int point = 0;
    for (const auto& [call, count] : callCounts(kCalls, args, log))
        for (int n = 1; n <= count; ++n, ++point) {
            reset();
            const int signal = kSignals[point % 3];
            const int status =
                runTraced({"-e", "inject=" + call + ":signal=" + std::to_string(signal) +
                                     ":when=" + std::to_string(n)},
                          args);
            check(status, signal, call + " #" + std::to_string(n) + " " + strsignal(signal));
        }
}

TEST(InterruptedRun, aFamilyMakeIsAllOrNothingWhereverASignalComes) {
    TempDir dir;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    WriteFile(out + "/KEEP.TTF", Bytes{1, 2, 3});
    std::vector<std::string> args = {"make", "--family", "Quill Demo", "--out-dir", out};
    args.insert(args.end(), kFamily.begin(), kFamily.end());
    ASSERT_EQ(runTraced({}, args), 0);
    const auto complete = contentsOf(out);
    ASSERT_EQ(complete.size(), 4u);
    const auto before = std::map<std::string, Bytes>{{"KEEP.TTF", Bytes{1, 2, 3}}};
    auto reset = [&] {
        for (const auto& [name, bytes] : contentsOf(out))
            if (name != "KEEP.TTF")
                std::filesystem::remove(out + "/" + name);
    };

    int interrupted = 0;
    int finished = 0;
    const TempDir logs;
    atEveryCall(
        args, logs.File("log"), reset, [&](int status, int signal, const std::string& where) {
            if (WIFSIGNALED(status)) {
                EXPECT_EQ(WTERMSIG(status), signal) << where;
                EXPECT_EQ(contentsOf(out), before) << where << ": a copy or temporary file stayed";
                ++interrupted;
            } else {
                // Only a run that made all three says so, and no file is only partly there.
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                    << where << " " << status;
                EXPECT_EQ(contentsOf(out), complete) << where;
                ++finished;
            }
        });
    EXPECT_GT(interrupted, 20);
    EXPECT_GT(finished, 0);
}

TEST(InterruptedRun, aRestoreOfThreeFilesIsAllOrNothingWhereverASignalComes) {
    TempDir dir;
    std::vector<std::string> copies;
    for (const std::string& source : kFamily) {
        copies.push_back(dir.File(std::filesystem::path(source).filename().string()));
        ASSERT_EQ(runTraced({}, {"make", "--family", "Quill Demo", source, copies.back()}), 0);
    }
    const auto renamed = contentsOf(dir.Path());
    std::vector<std::string> args = {"restore"};
    args.insert(args.end(), copies.begin(), copies.end());
    ASSERT_EQ(runTraced({}, args), 0);
    const auto restored = contentsOf(dir.Path());
    ASSERT_NE(restored, renamed);
    auto putBack = [&] {
        for (const auto& [name, bytes] : renamed)
            WriteFile(dir.File(name), bytes);
    };

    int interrupted = 0;
    int finished = 0;
    const TempDir logs;
    atEveryCall(
        args, logs.File("log"), putBack, [&](int status, int signal, const std::string& where) {
            if (WIFSIGNALED(status)) {
                EXPECT_EQ(WTERMSIG(status), signal) << where;
                EXPECT_EQ(contentsOf(dir.Path()), renamed) << where << ": a file stayed swapped";
                ++interrupted;
            } else {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                    << where << " " << status;
                EXPECT_EQ(contentsOf(dir.Path()), restored) << where;
                ++finished;
            }
        });
    EXPECT_GT(interrupted, 20);
    EXPECT_GT(finished, 0);
}

// Stderr of a traced run.
std::string errorsOfTraced(const std::vector<std::string>& straceOptions,
                           const std::vector<std::string>& args, int& status,
                           const std::string& log) {
    status = runTraced(straceOptions, args, log);
    std::ifstream in(log);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// When a run fails and undoing it fails too, the status is not "nothing was changed": it is 4,
// and stderr names exactly the files left changed.
TEST(UndoThatFails, namesEveryFileLeftChangedAndExitsFour) {
    TempDir dir;
    const TempDir logs;
    std::vector<std::string> copies;
    for (const std::string& source : kFamily) {
        copies.push_back(dir.File(std::filesystem::path(source).filename().string()));
        ASSERT_EQ(runTraced({}, {"make", "--family", "Quill Demo", source, copies.back()}), 0);
    }
    const auto renamed = contentsOf(dir.Path());

    // The second file is locked when its turn comes, and so is the first when it is to be
    // swapped back: the first stays swapped. Before the swaps, the run's journal reads each
    // file under a lock and locks itself: 3 + 1 calls.
    int status = 0;
    std::string errors =
        errorsOfTraced({"-e", "inject=flock:error=EAGAIN:when=6+"},
                       {"restore", copies[0], copies[1], copies[2]}, status, logs.File("restore"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << status << errors;
    EXPECT_NE(errors.find(copies[1] + ": Font is in use by another application."),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(copies[0] + ": could not be swapped back; it is left changed"),
              std::string::npos)
        << errors;
    auto now = contentsOf(dir.Path());
    const std::string first = std::filesystem::path(copies[0]).filename().string();
    EXPECT_NE(now[first], renamed.at(first));
    now[first] = renamed.at(first);
    EXPECT_EQ(now, renamed);

    // The second copy of a family cannot be given its name, and the first cannot be removed.
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    errors = errorsOfTraced(
        {"-e", "inject=linkat:error=ENOSPC:when=2", "-e", "inject=unlink:error=EPERM"},
        {"make", "--family", "Other", "--out-dir", out, kFamily[0], kFamily[1]}, status,
        logs.File("make"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << status << errors;
    EXPECT_NE(errors.find(out + "/Other-Book.ttf: could not be removed again; this copy is left "
                                "in place"),
              std::string::npos)
        << errors;
    EXPECT_EQ(contentsOf(out).size(), 1u);
}

} // namespace
