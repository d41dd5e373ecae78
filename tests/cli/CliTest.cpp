#include "cli/CliCommands.h"
#include "core/NameRecords.h"
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfonts;

namespace {

// The value of a key in one line of our JSON (texts only; enough for these tests).
std::string jsonText(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\": \"";
    const std::size_t start = line.find(marker);
    if (start == std::string::npos)
        return "<missing " + key + ">";
    std::string value;
    for (std::size_t i = start + marker.size(); i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\')
            value += line[i++];
        value += line[i];
    }
    return value;
}

std::string jsonBool(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\": ";
    const std::size_t start = line.find(marker);
    if (start == std::string::npos)
        return "<missing>";
    return line.substr(start + marker.size(), line[start + marker.size()] == 't' ? 4 : 5);
}

class CliTest : public testing::Test {
protected:
    CliTest() {
        FontSpec fontSpec;
        fontSpec.FamilyName = "Quote \"Sans\"";
        fontSpec.FullName = "Quote \"Sans\"";
        fontSpec.MacStyle = 1;
        Bytes font = SimpleFont(fontSpec);
        WriteFile(Source, font);
    }
    TempDir Dir;
    std::string Source = Dir.File("SOURCE.TTF");
};

TEST_F(CliTest, readJsonGivesOneObjectPerFontInOrder) {
    WriteFile(Dir.File("BAD.TTF"), Bytes{0, 9, 0, 0});
    const CliOutcome run =
        runCommand({"read", "--json", Source, Dir.File("BAD.TTF"), Dir.File("NONE.TTF")});
    EXPECT_EQ(run.status, 1);
    const auto lines = LinesOf(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(jsonText(lines[0], "path"), Source);
    EXPECT_EQ(jsonBool(lines[0], "ReadFailed"), "false");
    EXPECT_EQ(jsonText(lines[0], "FamilyName"), "Quote \\\"Sans\\\"");
    EXPECT_EQ(jsonText(lines[0], "Style"), "Regular");
    EXPECT_EQ(jsonBool(lines[0], "Bold"), "true");
    EXPECT_EQ(jsonBool(lines[0], "Italic"), "false");
    EXPECT_EQ(jsonBool(lines[0], "IsRenamed"), "false");
    EXPECT_EQ(jsonBool(lines[1], "ReadFailed"), "true");
    EXPECT_EQ(jsonText(lines[1], "ErrorText"), "Not a TrueType file.");
    EXPECT_EQ(jsonText(lines[1], "Version"), "*** No Ver. I.D. Found ***");
    EXPECT_EQ(jsonText(lines[2], "ErrorText"), "Font File Not Found.");
    for (const char* key : {"path", "ErrorText", "FamilyName", "FullName", "Style", "Postscript",
                            "Version", "FontID", "Copyright", "TradeMark"})
        EXPECT_EQ(jsonText(lines[0], key).find("<missing"), std::string::npos) << key;
}

TEST_F(CliTest, readOfGoodFontsExitsZero) {
    const CliOutcome run =
        runCommand({"read", Source, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Quote \"Sans\""), std::string::npos);
    EXPECT_NE(run.out.find("DejaVu Sans"), std::string::npos);
}

TEST_F(CliTest, aFileThatCannotBeOpenedIsAFailedReadWithTheIoErrorText) {
    const int holder = ::open(Source.c_str(), O_RDWR);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const CliOutcome run = runCommand({"read", "--json", Source});
    ::close(holder);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(jsonBool(run.out, "ReadFailed"), "true");
    EXPECT_EQ(jsonText(run.out, "ErrorText"), "I/O error 32\\rResource temporarily unavailable");
}

TEST_F(CliTest, textsAreDecodedByTheirRecordsEncodingAndEscaped) {
    FontSpec fontSpec;
    fontSpec.FamilyName = "Mark";
    fontSpec.FullName = "Mark";
    Bytes font = FontBuilder()
                     .AddTable("head", HeadTable())
                     .AddTable("name", NameTable({MsName(1, u"Mark\u2122"), MsName(4, u"Mark!\""),
                                                  MacName(3, "a\x81"
                                                             "b\tc\x01"
                                                             "d"),
                                                  MacName(0, "\xA9 caf\x8E")}))
                     .Build();
    WriteFile(Dir.File("TM.TTF"), font);
    const CliOutcome run = runCommand({"read", "--json", Dir.File("TM.TTF")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(jsonText(run.out, "FamilyName"), "Mark\xE2\x84\xA2");
    // A '!' '"' pair is two characters: the trade mark sign is read as itself.
    EXPECT_EQ(jsonText(run.out, "FullName"), "Mark!\\\"");
    // Macintosh records are Macintosh Roman.
    EXPECT_EQ(jsonText(run.out, "FontID"), "a\xC3\x85"
                                           "b\\tc\\u0001d");
    EXPECT_EQ(jsonText(run.out, "Copyright"), "\xC2\xA9 caf\xC3\xA9");
}

TEST_F(CliTest, makeWritesTheCopyWithDerivedNames) {
    const std::string newFile = Dir.File("NEW.TTF");
    const CliOutcome run = runCommand(
        {"make", "--json", Source, newFile, "--family", "  Quill  Mark ", "--style", "bold ITALIC",
         "--version", "Version 2\xE2\x84\xA2", "--copyright", "\xC2\xA9 2024 \xE4\xB8\x80"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonText(run.out, "path"), newFile);
    EXPECT_EQ(jsonText(run.out, "FamilyName"), "Quill  Mark");
    EXPECT_EQ(jsonText(run.out, "Style"), "Bold Italic");
    EXPECT_EQ(jsonText(run.out, "FullName"), "Quill  Mark Bold Italic");
    EXPECT_EQ(jsonText(run.out, "Postscript"), "QuillMark-BoldItalic");
    EXPECT_EQ(jsonText(run.out, "Version"), "Version 2\xE2\x84\xA2");
    EXPECT_EQ(jsonText(run.out, "Copyright"), "\xC2\xA9 2024 \xE4\xB8\x80");
    EXPECT_EQ(jsonText(run.out, "FontID"), "TestFoundry: Test Sans");
    EXPECT_EQ(jsonBool(run.out, "IsRenamed"), "true");

    const CliOutcome back = runCommand({"read", "--json", newFile});
    EXPECT_EQ(back.status, 0);
    // The trade mark byte is written as U+0099, so it comes back whole, even in the version.
    for (const char* key : {"FamilyName", "Style", "FullName", "Postscript", "Copyright", "FontID",
                            "TradeMark", "Version"})
        EXPECT_EQ(jsonText(back.out, key), jsonText(run.out, key)) << key;
    EXPECT_EQ(jsonBool(back.out, "IsRenamed"), "true");
}

TEST_F(CliTest, aRecordThatCannotHoldTheNewFamilyIsLeftOutAndSaid) {
    // A Japanese Macintosh typographic family cannot hold "Grün"; the Microsoft one can.
    std::vector<NameRecord> records = StandardRecords({});
    records.push_back(RawName(1, 1, 11, 16, {'T', 'e', 's', 't'}));
    records.push_back(MsName(16, u"Test"));
    WriteFile(
        Dir.File("JP.TTF"),
        FontBuilder().AddTable("head", HeadTable()).AddTable("name", NameTable(records)).Build());
    const std::string copy = Dir.File("COPY.TTF");
    const CliOutcome run =
        runCommand({"make", "--json", Dir.File("JP.TTF"), copy, "--family", "Gr\xC3\xBCn"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("name ID 16 for platform 1, encoding 1, language 11"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("\"Warnings\": [\"The record of name ID 16"), std::string::npos)
        << run.out;
    const NameTableListing listing = listFontNameTables(copy).live;
    std::vector<std::string> family;
    for (const NameRecordEntry& r : listing.records)
        if (r.nameID == 16)
            family.push_back(std::to_string(r.platformID) + "=" + r.string.text);
    EXPECT_EQ(family, std::vector<std::string>{"3=Gr\xC3\xBCn"});
}

TEST_F(CliTest, makeKeepsTextsLongerThanTheWindowsFieldsWhole) {
    const std::string newFile = Dir.File("LONG.TTF");
    const CliOutcome run = runCommand({"make", "--json", Source, newFile, "--family",
                                       std::string(70, 'F'), "--trademark", std::string(200, 'T')});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(jsonText(run.out, "FamilyName"), std::string(70, 'F'));
    EXPECT_EQ(jsonText(run.out, "FullName"), std::string(70, 'F'));
    EXPECT_EQ(jsonText(run.out, "TradeMark"), std::string(200, 'T'));
}

TEST_F(CliTest, makeRefusesAnExistingFileAndAnUnreadableSource) {
    WriteFile(Dir.File("EXISTS.TTF"), Bytes{7});
    CliOutcome run = runCommand({"make", Source, Dir.File("EXISTS.TTF")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("already exists"), std::string::npos);
    EXPECT_EQ(ReadFile(Dir.File("EXISTS.TTF")), Bytes{7});

    WriteFile(Dir.File("JUNK.TTF"), Bytes(100, 0xEE));
    run = runCommand({"make", Dir.File("JUNK.TTF"), Dir.File("OUT.TTF")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Not a TrueType file."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("OUT.TTF")));
}

TEST_F(CliTest, restoreSwapsBackAndForth) {
    const std::string newFile = Dir.File("NEW.TTF");
    ASSERT_EQ(runCommand({"make", Source, newFile, "--family", "Fresh"}).status, 0);
    const Bytes written = ReadFile(newFile);
    CliOutcome run = runCommand({"restore", "--json", newFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonText(run.out, "FamilyName"), "Quote \\\"Sans\\\"");
    EXPECT_EQ(jsonBool(run.out, "IsRenamed"), "true");
    run = runCommand({"restore", "--json", newFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonText(run.out, "FamilyName"), "Fresh");
    EXPECT_EQ(ReadFile(newFile), written);
}

// Each refusal names its cause, exits 1 and changes no file: the target nor the renamed copy
// beside it.
struct RefusalRow {
    const char* name;
    // Puts the case in place, given a renamed copy; returns the path to restore.
    std::function<std::string(const std::string& copy)> arrange;
    const char* cause;
};

class RestoreRefusalTest : public CliTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(RestoreRefusalTest, namesTheCauseAndChangesNothing) {
    const std::string copy = Dir.File("NEW.TTF");
    const std::string good = Dir.File("GOOD.TTF");
    ASSERT_EQ(runCommand({"make", Source, copy}).status, 0);
    ASSERT_EQ(runCommand({"make", Source, good}).status, 0);
    const std::string target = GetParam().arrange(copy);
    const Bytes copyBefore = ReadFile(copy);
    const Bytes goodBefore = ReadFile(good);
    const Bytes sourceBefore = ReadFile(Source);
    int holder = -1;
    if (std::string(GetParam().name) == "LockedByAnotherProcess") {
        holder = ::open(copy.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    }

    // Behind a good file, which is swapped back.
    const CliOutcome run = runCommand({"restore", good, target});
    if (holder >= 0)
        ::close(holder);

    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(target + ": " + GetParam().cause + "\n"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(copy), copyBefore);
    EXPECT_EQ(ReadFile(good), goodBefore);
    EXPECT_EQ(ReadFile(Source), sourceBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RestoreRefusalTest,
    testing::Values(
        RefusalRow{"Missing", [](const std::string& copy) { return copy + ".gone"; },
                   "Font File Not Found."},
        RefusalRow{"Folder",
                   [](const std::string& copy) {
                       return std::filesystem::path(copy).parent_path().string();
                   },
                   "This is a folder, not a font file."},
        RefusalRow{"ReadOnlyFile",
                   [](const std::string& copy) {
                       const std::string readOnly = copy + ".ro";
                       std::filesystem::copy_file(copy, readOnly);
                       ::chmod(readOnly.c_str(), 0444);
                       return readOnly;
                   },
                   "The font file is read-only."},
        RefusalRow{"Device", [](const std::string&) { return std::string("/dev/null"); },
                   "This is not a font file but a device or pipe."},
        RefusalRow{"Fifo",
                   [](const std::string& copy) {
                       const std::string fifo = copy + ".fifo";
                       ::mkfifo(fifo.c_str(), 0644);
                       return fifo;
                   },
                   "This is not a font file but a device or pipe."},
        RefusalRow{"LockedByAnotherProcess", [](const std::string& copy) { return copy; },
                   "Font is in use by another application."},
        RefusalRow{"NotRenamed",
                   [](const std::string& copy) {
                       return std::filesystem::path(copy).parent_path().string() + "/SOURCE.TTF";
                   },
                   "This font is not a renamed copy: it has no original names to restore."}),
    [](const auto& info) { return std::string(info.param.name); });

// A restore killed at each of its writes (the kill placed at the exact system call) leaves a
// file the next restore completes: the copy is never stuck, even when its trade mark ends in
// bytes that look like a small name table, or when it swaps a CFF table too, and each later
// pair of restores gives it back byte for byte.
TEST_F(CliTest, restoreKilledAtAnyOfItsWritesIsCompletedByTheNext) {
    const std::string lookalike =
        std::string("F\x01\x12") + "abcd" + "\x43\x01" + std::string(34, 'x');
    // A TrueType copy's swap makes 3 writes (its state, then the two locations); a CFF copy's 4.
    const std::pair<std::string, int> sources[] = {
        {Source, 3}, {"/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf", 4}};
    for (const auto& [source, writes] : sources) {
        const std::string newFile = Dir.File("NEW" + std::to_string(writes));
        ASSERT_EQ(
            runCommand({"make", source, newFile, "--family", "Fresh", "--trademark", lookalike})
                .status,
            0);
        const Bytes renamed = ReadFile(newFile);
        ASSERT_EQ(runCommand({"restore", newFile}).status, 0);
        const Bytes restored = ReadFile(newFile);
        int killed = 0;
        for (const Bytes* start : {&renamed, &restored}) {
            for (int write = 1; write <= writes; ++write) {
                WriteFile(newFile, *start);
                const std::string command =
                    "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 strace -f -o /dev/null -e "
                    "inject=pwrite64:signal=SIGKILL:when=" +
                    std::to_string(write) + " " QM_BINARY_DIR "/cli/quillmark-cli restore '" +
                    newFile + "' >/dev/null 2>&1";
                const int status = std::system(command.c_str());
                killed += WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL ? 1 : 0;
                const std::string when =
                    source + (start == &renamed ? ", renamed, write " : ", restored, write ") +
                    std::to_string(write);
                const CliOutcome next = runCommand({"restore", newFile});
                ASSERT_EQ(next.status, 0) << when << ": " << next.err;
                const Bytes settled = ReadFile(newFile);
                EXPECT_TRUE(settled == renamed || settled == restored) << when;
                ASSERT_EQ(runCommand({"restore", newFile}).status, 0) << when;
                ASSERT_EQ(runCommand({"restore", newFile}).status, 0) << when;
                EXPECT_EQ(ReadFile(newFile), settled) << when;
            }
        }
        EXPECT_EQ(killed, 2 * writes) << source;
    }
}

struct UsageRow {
    const char* name;
    std::vector<std::string> args;
    int status;
};

class CliUsageTest : public testing::TestWithParam<UsageRow> {};

TEST_P(CliUsageTest, answersWithOneLineAndItsStatus) {
    TempDir dir;
    WriteFile(dir.File("S.TTF"), SimpleFont());
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args)
        args.push_back(arg == "S" ? dir.File("S.TTF") : arg == "N" ? dir.File("N.TTF") : arg);
    const CliOutcome run = runCommand(args);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("N.TTF")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliUsageTest,
    testing::Values(UsageRow{"NoCommand", {}, 2}, UsageRow{"UnknownCommand", {"list"}, 2},
                    UsageRow{"ReadWithoutFont", {"read", "--json"}, 2},
                    UsageRow{"UnknownOption", {"read", "--xml", "S"}, 2},
                    UsageRow{"TextOptionOnRead", {"read", "--family", "X", "S"}, 2},
                    UsageRow{"MakeMissingNewFile", {"make", "S"}, 2},
                    UsageRow{"MakeOptionWithoutText", {"make", "S", "N", "--style"}, 2},
                    UsageRow{"FamilyWithHyphen", {"make", "S", "N", "--family", "A-B"}, 2},
                    UsageRow{"StyleWithEuroSign", {"make", "S", "N", "--style", "\xE2\x82\xAC"}, 2},
                    UsageRow{"RestoreTwoFiles", {"restore", "S", "S"}, 2},
                    UsageRow{"MakeFromMissingSource", {"make", "/nonexistent/X.TTF", "N"}, 1},
                    UsageRow{"MakeIntoMissingFolder", {"make", "S", "/nonexistent/N.TTF"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The installed program: exit statuses reach the shell.
int runBinary(const std::string& arguments) {
    const std::string command =
        QM_BINARY_DIR "/cli/quillmark-cli " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CliTest, theProgramExitsWithTheStatusOfItsCommand) {
    EXPECT_EQ(runBinary("read '" + Source + "'"), 0);
    EXPECT_EQ(runBinary("read '" + Dir.File("NONE.TTF") + "'"), 1);
    EXPECT_EQ(runBinary("frobnicate"), 2);
    EXPECT_EQ(runBinary("--help"), 0);
}

} // namespace
