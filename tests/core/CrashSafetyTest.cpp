// make and restore run in child processes that are ended at many moments, or race each other;
// the files on disk must always say what happened.
#include "core/EInOutError.h"
#include "core/InterruptCleanup.h"
#include "core/NameSwap.h"
#include "core/RenamedFontWriter.h"
#include "tests/support/TestFonts.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace testfonts;

namespace {

constexpr int ExitMade = 0;
constexpr int ExitRaised = 2;

FontNames NewNames() {
    FontNames names;
    names.FamilyName = "Crash Test";
    names.FullName = "Crash Test";
    return names;
}

// Runs `job` in a child process, as the command line would (its interrupt handlers installed);
// the child's exit status is the job's.
template <typename Job> pid_t Spawn(Job job) {
    const pid_t child = ::fork();
    if (child == 0) {
        installInterruptHandlers();
        int status = ExitRaised;
        try {
            status = job();
        } catch (const std::exception&) {
        }
        ::_exit(status);
    }
    return child;
}

int WaitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::size_t FilesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

class InterruptedMakeTest : public testing::Test {
protected:
    InterruptedMakeTest() {
        Bytes font = SimpleFont();
        font.resize(8 << 20, 0x5A);
        WriteFile(Source, font);
        const auto start = std::chrono::steady_clock::now();
        WriteRenamedFont(Source, Dir.File("REFERENCE.TTF"), NewNames());
        MakeTime = std::chrono::steady_clock::now() - start;
        Complete = ReadFile(Dir.File("REFERENCE.TTF"));
    }

    pid_t StartMake() {
        return Spawn([this] {
            WriteRenamedFont(Source, Target, NewNames());
            return ExitMade;
        });
    }

    // Whatever ended the make, the new file is missing or complete, and nothing else is left.
    void ExpectNothingOrTheCompleteCopy(const std::string& when) {
        if (std::filesystem::exists(Target)) {
            EXPECT_TRUE(ReadFile(Target) == Complete) << when << ": a partial copy";
            std::filesystem::remove(Target);
        }
        EXPECT_EQ(FilesIn(Dir.Path()), 2u) << when << ": a temporary file stayed";
    }

    TempDir Dir;
    std::string Source = Dir.File("SOURCE.TTF");
    std::string Target = Dir.File("NEW.TTF");
    std::chrono::steady_clock::duration MakeTime{};
    Bytes Complete;
};

TEST_F(InterruptedMakeTest, ASignalAtAnyMomentLeavesNoPartialCopy) {
    constexpr int Moments = 8;
    for (const int signal : {SIGKILL, SIGTERM, SIGINT, SIGHUP}) {
        int interrupted = 0;
        for (int moment = 0; moment <= Moments; ++moment) {
            const pid_t child = StartMake();
            std::this_thread::sleep_for(MakeTime * moment / Moments);
            ::kill(child, signal);
            const int status = WaitFor(child);
            const std::string when = std::string(strsignal(signal)) + " at " +
                                     std::to_string(moment) + "/" + std::to_string(Moments);
            // Either the signal ended it, or the make had finished first.
            EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == signal) ||
                        (WIFEXITED(status) && WEXITSTATUS(status) == ExitMade))
                << when;
            interrupted += WIFSIGNALED(status) ? 1 : 0;
            ExpectNothingOrTheCompleteCopy(when);
        }
        EXPECT_GT(interrupted, 0) << strsignal(signal);
    }
}

TEST_F(InterruptedMakeTest, AFileSizeLimitIsAnErrorThatLeavesNothing) {
    for (const rlim_t limit : {rlim_t{64} << 10, rlim_t{1} << 20, rlim_t{8} << 20}) {
        const pid_t child = Spawn([&] {
            const rlimit limited{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &limited);
            try {
                WriteRenamedFont(Source, Target, NewNames());
            } catch (const EInOutError& error) {
                return error.errnoValue() == EFBIG ? ExitRaised : ExitMade + 1;
            }
            return ExitMade;
        });
        const int status = WaitFor(child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), ExitRaised) << limit;
        ExpectNothingOrTheCompleteCopy("limit " + std::to_string(limit));
        EXPECT_FALSE(std::filesystem::exists(Target));
    }
}

// Restores racing each other: each one's outcome matches the file, which always ends in one of
// its two states.
TEST(RacingRestoreTest, EveryOutcomeMatchesTheFile) {
    TempDir dir;
    const std::string path = dir.File("NEW.TTF");
    WriteFile(dir.File("SOURCE.TTF"), SimpleFont());
    WriteRenamedFont(dir.File("SOURCE.TTF"), path, NewNames());
    const Bytes renamed = ReadFile(path);
    ASSERT_EQ(swapNameTables(path).outcome, SwapOutcome::Swapped);
    const Bytes restored = ReadFile(path);
    ASSERT_EQ(swapNameTables(path).outcome, SwapOutcome::Swapped);

    int swaps = 0;
    for (int round = 0; round < 10; ++round) {
        std::vector<pid_t> children;
        for (int i = 0; i < 6; ++i)
            children.push_back(
                Spawn([&] { return static_cast<int>(swapNameTables(path).outcome); }));
        for (const pid_t child : children) {
            const int status = WaitFor(child);
            ASSERT_TRUE(WIFEXITED(status));
            const auto outcome = static_cast<SwapOutcome>(WEXITSTATUS(status));
            ASSERT_TRUE(outcome == SwapOutcome::Swapped || outcome == SwapOutcome::InUse)
                << WEXITSTATUS(status);
            swaps += outcome == SwapOutcome::Swapped ? 1 : 0;
        }
        EXPECT_TRUE(ReadFile(path) == (swaps % 2 == 0 ? renamed : restored)) << round;
    }
    EXPECT_GT(swaps, 0);
}

} // namespace
