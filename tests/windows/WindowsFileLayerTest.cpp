// The promises of the Windows file layer, on the Windows build itself (run under Wine): a copy
// never replaces a file and leaves no hidden file behind, a swap holds its lock, a file open
// elsewhere is reported and left alone, and names Windows cannot hold are refused, with nothing
// created or changed. Every case goes through the command line, as users reach it.

#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/InterruptCleanup.h"
#include "core/NameSwap.h"
#include "core/UnpublishedCopy.h"
#include "core/windows/WideText.h"
#include "tests/cli/CliOutcome.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <thread>
#include <windows.h>

namespace {

using qm::core::systemPathOf;
using qm::core::utf8OfWide;

// A real font of the machine, through Wine's drive for the Unix root.
const std::string kSourceFont = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";

std::string bytesOf(const std::string& path) {
    const FileHandle file = FileHandle::openShared(path);
    std::string bytes(file.openedSize(), '\0');
    file.readExact(0, bytes.data(), bytes.size());
    return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    FileHandle file = FileHandle::createNew(path);
    file.writeAll(bytes.data(), bytes.size());
    file.close();
}

// Every name in `folder`, hidden ones included.
std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE listing = ::FindFirstFileW((systemPathOf(folder) + L"\\*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = utf8OfWide(entry.cFileName);
        if (name != "." && name != "..")
            names.insert(name);
    } while (::FindNextFileW(listing, &entry));
    ::FindClose(listing);
    return names;
}

// A folder of its own for each case, under a path in three scripts and longer than 260
// characters, so that every case also proves UTF-16 and long paths.
class WindowsFileLayer : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
        folder_ = utf8OfWide(temp) + "quillmark-" + std::to_string(::GetCurrentProcessId()) +
                  "\\Łukasz\\Шрифты\\日本";
        while (folder_.size() < 300)
            folder_ += "\\" + std::string(40, 'x');
        for (std::size_t at = folder_.find('\\', 3); at != std::string::npos;
             at = folder_.find('\\', at + 1))
            ::CreateDirectoryW(systemPathOf(folder_.substr(0, at)).c_str(), nullptr);
        ASSERT_TRUE(::CreateDirectoryW(systemPathOf(folder_).c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        source_ = in("source.ttf");
        writeBytes(source_, bytesOf(kSourceFont));
    }
    void TearDown() override {
        for (const std::string& name : namesIn(folder_)) {
            ::SetFileAttributesW(systemPathOf(in(name)).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(systemPathOf(in(name)).c_str());
        }
    }
    std::string in(const std::string& name) const { return folder_ + "\\" + name; }

    // A renamed copy of the source at `name`.
    std::string madeCopy(const std::string& name) {
        const CliOutcome made = runCommand({"make", source_, in(name), "--family", "Quill Demo"});
        EXPECT_EQ(made.status, 0) << made.err;
        return in(name);
    }

    std::string folder_;
    std::string source_;
};

TEST_F(WindowsFileLayer, aCopyNeverReplacesAFileAndLeavesNoHiddenFileBehind) {
    const std::string taken = in("Taken.ttf");
    writeBytes(taken, "not a font, and it stays so");
    const CliOutcome refused = runCommand({"make", source_, taken, "--family", "Quill Demo"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("already exists"), std::string::npos) << refused.err;
    EXPECT_EQ(bytesOf(taken), "not a font, and it stays so");

    // The name taken between the check and the publish: the copy is refused there, and its
    // hidden file goes.
    {
        qm::core::UnpublishedCopy copy(in("Late.ttf"));
        copy.file().writeAll("copy", 4);
        copy.file().sync();
        writeBytes(in("Late.ttf"), "came first");
        try {
            copy.publish(in("Late.ttf"));
            ADD_FAILURE() << "published over an existing file";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.errorCode(), 80) << error.what();
        }
    }
    EXPECT_EQ(bytesOf(in("Late.ttf")), "came first");
    EXPECT_EQ(namesIn(folder_), (std::set<std::string>{"Late.ttf", "Taken.ttf", "source.ttf"}));

    // A good copy in the long Unicode path reads, restores and leaves only itself.
    const std::string copy = madeCopy("Quill Demo 日本.ttf");
    EXPECT_NE(runCommand({"read", copy}).out.find("Family name:     Quill Demo"),
              std::string::npos);
    const CliOutcome restored = runCommand({"restore", copy});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(restored.out.find("Family name:     DejaVu Sans"), std::string::npos);
    EXPECT_EQ(namesIn(folder_), (std::set<std::string>{"Late.ttf", "Quill Demo 日本.ttf",
                                                       "Taken.ttf", "source.ttf"}));
}

TEST_F(WindowsFileLayer, aSwapHoldsAnExclusiveLockThatKeepsOthersOut) {
    const std::string copy = madeCopy("Locked.ttf");
    const std::string before = bytesOf(copy);
    int error = 0;
    FileHandle swapping = FileHandle::openExclusive(copy, error);
    ASSERT_TRUE(swapping.isOpen()) << error;
    // Another swap, and any reader, is kept out while the lock is held.
    const CliOutcome second = runCommand({"restore", copy});
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find(SwapResult::kFontInUseText), std::string::npos) << second.err;
    EXPECT_EQ(runCommand({"read", copy}).status, 1);
    // A program that shares everything may open it, but takes no lock of its own. (Windows also
    // keeps its reads and writes off the locked bytes; Wine does not enforce that.)
    const HANDLE other = ::CreateFileW(systemPathOf(copy).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    OVERLAPPED whole{};
    EXPECT_FALSE(::LockFileEx(other, LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));
    ::CloseHandle(other);
    // The holder itself reads.
    char bytes[16];
    EXPECT_EQ(swapping.tryRead(0, bytes, sizeof bytes), 16);
    swapping.discard();
    EXPECT_EQ(bytesOf(copy), before);
}

TEST_F(WindowsFileLayer, aFileHeldOpenElsewhereIsReportedAndLeftAlone) {
    const std::string copy = madeCopy("Held.ttf");
    const std::string before = bytesOf(copy);
    // Held as a program that shares nothing holds it.
    const HANDLE held = ::CreateFileW(systemPathOf(copy).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const CliOutcome restore = runCommand({"restore", copy});
    EXPECT_EQ(restore.status, 1);
    EXPECT_NE(restore.err.find(SwapResult::kFontInUseText), std::string::npos) << restore.err;
    // A read names the sharing violation in the two-line form, the second line the system's.
    const CliOutcome read = runCommand({"read", copy});
    EXPECT_EQ(read.status, 1);
    const std::size_t code = read.out.find("I/O error 32");
    ASSERT_NE(code, std::string::npos) << read.out;
    const CliOutcome make = runCommand({"make", copy, in("Other.ttf"), "--family", "Other"});
    EXPECT_EQ(make.status, 1);
    EXPECT_NE(make.err.find("I/O error 32\n"), std::string::npos) << make.err;
    EXPECT_GT(make.err.size(), make.err.find("I/O error 32\n") + 14) << make.err;
    ::CloseHandle(held);
    EXPECT_EQ(bytesOf(copy), before);
    EXPECT_EQ(namesIn(folder_), (std::set<std::string>{"Held.ttf", "source.ttf"}));
}

TEST_F(WindowsFileLayer, namesWindowsCannotHoldAndReadOnlyFilesAreRefusedUnchanged) {
    for (const std::string name : {"CON", "nul", "COM1", "com1.ttf", "Lpt9.font.ttf", "Trail.ttf.",
                                   "Trail.ttf ", "a?b.ttf"}) {
        const CliOutcome made = runCommand({"make", source_, in(name), "--family", "Quill Demo"});
        EXPECT_EQ(made.status, 1) << name;
        EXPECT_NE(made.err.find("quillmark-cli: " + in(name) + ": "), std::string::npos)
            << made.err;
    }
    const CliOutcome intoFolder = runCommand({"make", source_, folder_, "--family", "Quill Demo"});
    EXPECT_EQ(intoFolder.status, 1);
    const CliOutcome folderRestore = runCommand({"restore", folder_});
    EXPECT_NE(folderRestore.err.find(SwapResult::kFolderText), std::string::npos);

    const std::string copy = madeCopy("ReadOnly.ttf");
    const std::string before = bytesOf(copy);
    ASSERT_TRUE(::SetFileAttributesW(systemPathOf(copy).c_str(), FILE_ATTRIBUTE_READONLY));
    const CliOutcome restore = runCommand({"restore", copy});
    EXPECT_EQ(restore.status, 1);
    EXPECT_NE(restore.err.find(SwapResult::kReadOnlyText), std::string::npos) << restore.err;
    EXPECT_EQ(bytesOf(copy), before);
    EXPECT_EQ(namesIn(folder_), (std::set<std::string>{"ReadOnly.ttf", "source.ttf"}));
}

// Ctrl+C during a run is held for the run to undo its changes, as SIGINT is on POSIX: the
// console's handler, on a thread of its own, only records it.
TEST(ConsoleInterrupts, aCtrlCDuringARunIsHeldForTheRun) {
    const bool console = ::AllocConsole() || ::GetConsoleWindow() != nullptr ||
                         ::GetLastError() == ERROR_ACCESS_DENIED;
    // ctest runs this case a second time under a terminal, where it must not skip.
    if (!console && std::getenv("QM_NEEDS_CONSOLE") == nullptr)
        GTEST_SKIP() << "no console to send Ctrl+C in without a terminal; "
                        "windows.consoleInterruptsUnderATerminal runs it under one";
    ASSERT_TRUE(console) << "no console under a terminal";
    installInterruptHandlers();
    const qm::core::HeldInterrupts held;
    EXPECT_EQ(qm::core::heldInterrupt(), 0);
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (qm::core::heldInterrupt() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(qm::core::heldInterrupt(), SIGINT);
}

} // namespace
