#include "core/NameSwap.h"
#include "core/EInOutError.h"
#include "core/RenamedFontWriter.h"
#include "tests/support/TestFonts.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfonts;

namespace {

class NameSwapTest : public testing::Test {
protected:
    NameSwapTest() {
        FontSpec source;
        source.FamilyName = "Source Family";
        source.FullName = "Source Family";
        WriteFile(Dir.File("SOURCE.TTF"), SimpleFont(source));
        WriteRenamedFont(Dir.File("SOURCE.TTF"), Path, NewNames());
        Written = ReadFile(Path);
    }

    // The trade mark ends in bytes that look like a small name table of their own, which a
    // guess at where the copy's table begins could take for it.
    static FontNames NewNames() {
        FontNames names;
        names.FamilyName = "New Family";
        names.FullName = "New Family";
        names.TradeMark = std::string("F\x01\x12") + "abcd" + "\x43\x01" + std::string(34, 'x');
        return names;
    }

    std::string FamilyAfterRead() {
        const FontRead read = ReadFontNames(Path);
        EXPECT_FALSE(read.ReadFailed) << read.ErrorText;
        return read.FontNames.FamilyName;
    }

    TempDir Dir;
    std::string Path = Dir.File("NEW.TTF");
    Bytes Written;
};

TEST_F(NameSwapTest, OneSwapBringsBackTheSourceNamesChangingExactly16Bytes) {
    ASSERT_EQ(FamilyAfterRead(), "New Family");
    const SwapResult swap = swapNameTables(Path);
    ASSERT_EQ(swap.outcome, SwapOutcome::Swapped);
    EXPECT_EQ(swap.read.FontNames.FamilyName, "Source Family");
    const Bytes swapped = ReadFile(Path);
    ASSERT_EQ(swapped.size(), Written.size());
    // The entry's offset and length and the trailer's saved pair trade places; nothing else moves.
    const std::size_t entry = FindEntry(Written, "name").value();
    const std::size_t trailer = Written.size() - 8;
    const Bytes entryBefore(Written.begin() + entry + 8, Written.begin() + entry + 16);
    const Bytes savedBefore(Written.begin() + trailer, Written.end());
    ASSERT_NE(entryBefore, savedBefore);
    EXPECT_EQ(Bytes(swapped.begin() + entry + 8, swapped.begin() + entry + 16), savedBefore);
    EXPECT_EQ(Bytes(swapped.begin() + trailer, swapped.end()), entryBefore);
    for (std::size_t i = 0; i < trailer; ++i) {
        if (i < entry + 8 || i >= entry + 16) {
            ASSERT_EQ(swapped[i], Written[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(FamilyAfterRead(), "Source Family");
    EXPECT_TRUE(ReadFontNames(Path).IsRenamed);
}

TEST_F(NameSwapTest, TwoSwapsGiveBackTheFileByteForByte) {
    ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
    ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
    EXPECT_EQ(ReadFile(Path), Written);
    EXPECT_EQ(FamilyAfterRead(), "New Family");
}

TEST_F(NameSwapTest, ACapitalisedTagIsFoundLikeALowerCaseOne) {
    Bytes upper = Written;
    const std::size_t entry = FindEntry(upper, "name").value();
    std::copy_n("NAME", 4, upper.begin() + static_cast<long>(entry));
    WriteFile(Path, upper);
    ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
    EXPECT_EQ(FamilyAfterRead(), "Source Family");
}

TEST_F(NameSwapTest, ACopyMadeFromTheRestoredFileSavesTheSourceTable) {
    const std::uint32_t sourceTable = GetU32(Written, Written.size() - 8);
    ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
    WriteRenamedFont(Path, Dir.File("AGAIN.TTF"), NewNames());
    const Bytes again = ReadFile(Dir.File("AGAIN.TTF"));
    EXPECT_EQ(GetU32(again, again.size() - 8), sourceTable);
}

// ---- refusals: the file is left exactly as it was ----

struct RefusalRow {
    const char* name;
    // Spoils the written file (or its surroundings); returns the path to swap.
    std::function<std::string(const std::string& path, Bytes& bytes)> spoil;
    SwapOutcome outcome;
};

class NameSwapRefusalTest : public NameSwapTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(NameSwapRefusalTest, LeavesTheFileUntouched) {
    Bytes bytes = Written;
    std::string target = GetParam().spoil(Path, bytes);
    if (target.empty())
        target = Path;
    if (bytes != Written)
        WriteFile(Path, bytes);
    const Bytes before = std::filesystem::is_regular_file(Path) ? ReadFile(Path) : Bytes{};
    EXPECT_EQ(swapNameTables(target).outcome, GetParam().outcome);
    if (std::filesystem::is_regular_file(Path)) {
        EXPECT_EQ(ReadFile(Path), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NameSwapRefusalTest,
    testing::Values(RefusalRow{"ReadOnly",
                               [](const std::string& path, Bytes&) {
                                   ::chmod(path.c_str(), 0444);
                                   return path;
                               },
                               SwapOutcome::InUse},
                    RefusalRow{"Vanished",
                               [](const std::string& path, Bytes&) {
                                   std::filesystem::remove(path);
                                   return path;
                               },
                               SwapOutcome::InUse},
                    RefusalRow{"Folder",
                               [](const std::string& path, Bytes&) {
                                   return std::filesystem::path(path).parent_path().string() + "/";
                               },
                               SwapOutcome::InUse},
                    RefusalRow{"OrdinaryFont",
                               [](const std::string&, Bytes& bytes) {
                                   bytes = SimpleFont();
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"TinyFile",
                               [](const std::string&, Bytes& bytes) {
                                   bytes.assign(bytes.end() - 50, bytes.end());
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"SavedOffsetBeyondTheFile",
                               [](const std::string&, Bytes& bytes) {
                                   PutU32(bytes, bytes.size() - 8, 0xFFFFFF00);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    // Strict consumers refuse an entry beyond the file or shorter than its
                    // table's records: a restore never writes or saves one.
                    RefusalRow{"SavedLengthBeyondTheFile",
                               [](const std::string&, Bytes& bytes) {
                                   PutU32(bytes, bytes.size() - 4, 0xFFFFFFFF);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"SavedLengthOneByteShortOfTheRecords",
                               [](const std::string&, Bytes& bytes) {
                                   const std::uint32_t table = GetU32(bytes, bytes.size() - 8);
                                   PutU32(bytes, bytes.size() - 4,
                                          6 + 12 * GetU16(bytes, table + 2) - 1);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"OwnTableLengthOneByteShortOfTheRecords",
                               [](const std::string&, Bytes& bytes) {
                                   const std::size_t entry = FindEntry(bytes, "name").value();
                                   const std::uint32_t table = GetU32(bytes, entry + 8);
                                   PutU32(bytes, entry + 12, 6 + 12 * GetU16(bytes, table + 2) - 1);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"SavedLocationIsTheHeadTable",
                               [](const std::string&, Bytes& bytes) {
                                   const std::size_t head = FindEntry(bytes, "head").value();
                                   std::copy_n(bytes.begin() + static_cast<long>(head) + 8, 8,
                                               bytes.end() - 8);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"TwoNameEntries",
                               [](const std::string&, Bytes& bytes) {
                                   const std::size_t maxp = FindEntry(bytes, "maxp").value();
                                   std::copy_n("NAME", 4, bytes.begin() + static_cast<long>(maxp));
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"DirectoryRunsIntoTheTrailer",
                               [](const std::string&, Bytes& bytes) {
                                   const std::size_t entry = FindEntry(bytes, "name").value();
                                   std::copy_n("xxxx", 4, bytes.begin() + static_cast<long>(entry));
                                   PutU16(bytes, 4, 0xFFFF);
                                   return std::string();
                               },
                               SwapOutcome::NotValid},
                    RefusalRow{"NoNameEntry",
                               [](const std::string&, Bytes& bytes) {
                                   const std::size_t entry = FindEntry(bytes, "name").value();
                                   std::copy_n("xxxx", 4, bytes.begin() + static_cast<long>(entry));
                                   return std::string();
                               },
                               SwapOutcome::NoNameEntry}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NameSwapTest, AFileLockedByAnotherProgramIsInUse) {
    const int holder = ::open(Path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    EXPECT_EQ(swapNameTables(Path).outcome, SwapOutcome::InUse);
    ::close(holder);
    EXPECT_EQ(ReadFile(Path), Written);
    EXPECT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
}

// A program that kept no swap state, cut off after its first write, left the entry and the saved
// location equal; the next restore completes it to the restored file, from either direction,
// and never takes the look-alike inside the trade mark for the copy's table.
TEST_F(NameSwapTest, AnUnrecordedSwapCutOffBetweenItsWritesIsCompleted) {
    ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
    const Bytes restored = ReadFile(Path);
    const std::size_t entry = FindEntry(Written, "name").value() + 8;
    const std::size_t saved = Written.size() - 8;
    // Renamed to restored writes the entry first; restored to renamed writes the trailer first.
    Bytes entryWritten = Written;
    std::copy_n(Written.begin() + static_cast<long>(saved), 8,
                entryWritten.begin() + static_cast<long>(entry));
    Bytes trailerWritten = restored;
    std::copy_n(restored.begin() + static_cast<long>(entry), 8,
                trailerWritten.begin() + static_cast<long>(saved));
    for (const Bytes& halfDone : {entryWritten, trailerWritten}) {
        WriteFile(Path, halfDone);
        const SwapResult swap = swapNameTables(Path);
        ASSERT_EQ(swap.outcome, SwapOutcome::Swapped);
        EXPECT_EQ(swap.read.FontNames.FamilyName, "Source Family");
        EXPECT_EQ(ReadFile(Path), restored);
        ASSERT_EQ(swapNameTables(Path).outcome, SwapOutcome::Swapped);
        EXPECT_EQ(ReadFile(Path), Written);
    }
}

} // namespace
