#include "core/RenamedFontWriter.h"
#include "core/EInOutError.h"
#include "core/FontReader.h"
#include "core/NameRecords.h"
#include "core/NameTableBuilder.h"
#include "core/Windows1252.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace testfonts;

namespace {

FontNames NamesOfLengths(const std::array<std::size_t, 8>& lengths) {
    FontNames names;
    for (unsigned id = 0; id < 8; ++id)
        names.textOfNameID(id) = std::string(lengths[id], static_cast<char>('a' + id));
    return names;
}

class WriterTest : public testing::Test {
protected:
    // Writes a renamed copy of `source` carrying `names`; returns the copy's bytes.
    Bytes WriteCopy(const Bytes& source, const FontNames& names, const char* newName = "NEW.TTF") {
        WriteFile(SourcePath, source);
        WriteRenamedFont(SourcePath, Dir.File(newName), names);
        return ReadFile(Dir.File(newName));
    }

    // Make refuses `source` with `names` for the reason `text`, and leaves nothing behind.
    void ExpectRefused(const Bytes& source, const FontNames& names, const std::string& text) {
        try {
            WriteCopy(source, names);
            ADD_FAILURE() << "not refused";
        } catch (const EMakeRefused& error) {
            EXPECT_EQ(error.what(), text);
        }
        EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1)
            << "a temporary file stayed behind";
    }

    TempDir Dir;
    std::string SourcePath = Dir.File("SOURCE.TTF");
};

TEST_F(WriterTest, WorkedExampleLaysOutTableMarkerAndSavedLocation) {
    const Bytes source = SimpleFont();
    const std::uint32_t S = static_cast<std::uint32_t>(source.size());
    const Bytes copy = WriteCopy(source, NamesOfLengths({10, 4, 7, 12, 12, 11, 12, 9}));

    ASSERT_EQ(copy.size(), S + 479);
    const std::size_t entry = FindEntry(source, "name").value();
    EXPECT_EQ(GetU32(copy, entry + 8), S);
    EXPECT_EQ(GetU32(copy, entry + 12), 429u);
    EXPECT_EQ(GetU16(copy, S), 0);
    EXPECT_EQ(GetU16(copy, S + 2), 16);
    EXPECT_EQ(GetU16(copy, S + 4), 198);

    const std::uint16_t macOffsets[8] = {0, 10, 14, 21, 33, 45, 56, 68};
    const std::uint16_t msLengths[8] = {20, 8, 14, 24, 24, 22, 24, 18};
    const std::uint16_t msOffsets[8] = {77, 97, 105, 119, 143, 167, 189, 213};
    const std::uint16_t lengths[8] = {10, 4, 7, 12, 12, 11, 12, 9};
    for (std::uint16_t k = 0; k < 8; ++k) {
        const std::size_t mac = S + 6 + 12 * k;
        EXPECT_EQ(GetU16(copy, mac), 1);
        EXPECT_EQ(GetU16(copy, mac + 2), 0);
        EXPECT_EQ(GetU16(copy, mac + 4), 0);
        EXPECT_EQ(GetU16(copy, mac + 6), k);
        EXPECT_EQ(GetU16(copy, mac + 8), lengths[k]);
        EXPECT_EQ(GetU16(copy, mac + 10), macOffsets[k]);
        const std::size_t ms = S + 102 + 12 * k;
        EXPECT_EQ(GetU16(copy, ms), 3);
        EXPECT_EQ(GetU16(copy, ms + 2), 1);
        EXPECT_EQ(GetU16(copy, ms + 4), 1033);
        EXPECT_EQ(GetU16(copy, ms + 6), k);
        EXPECT_EQ(GetU16(copy, ms + 8), msLengths[k]);
        EXPECT_EQ(GetU16(copy, ms + 10), msOffsets[k]);
    }
    // String storage: 77 8-bit bytes, then 154 in two-byte form.
    EXPECT_EQ(copy[S + 198], 'a');
    EXPECT_EQ(copy[S + 198 + 10], 'b');
    EXPECT_EQ(copy[S + 198 + 77], 0);
    EXPECT_EQ(copy[S + 198 + 78], 'a');
    EXPECT_EQ(copy[S + 198 + 230], 'h');

    const std::string marker =
        std::string(4, '\0') +
        std::string("\0T\0h\0i\0s\0 \0F\0o\0n\0t\0 \0R\0e\0n\0a\0m\0e\0d", 34) +
        std::string(4, '\0');
    EXPECT_EQ(std::string(copy.begin() + S + 429, copy.begin() + S + 471), marker);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(copy[S + 471 + i], source[entry + 8 + i]) << i;
    for (std::size_t i = 0; i < S; ++i)
        if (i < entry + 8 || i >= entry + 16) {
            ASSERT_EQ(copy[i], source[i]) << "byte " << i;
        }
}

TEST_F(WriterTest, AllEmptyTextsWriteNoNamesAndMakeDoesNotPublish) {
    // Such a copy would not read ("Font Name Structure Incorrect").
    ExpectRefused(SimpleFont(), NamesOfLengths({0, 0, 0, 0, 0, 0, 0, 0}),
                  EMakeRefused::kNotReadBackText);
}

TEST_F(WriterTest, CopyReadsBackWithItsNewNames) {
    FontSpec fontSpec;
    fontSpec.MacStyle = 2;
    FontNames names;
    names.FamilyName = "Quill\x99 Mark";
    names.FullName = "  Quill\x99 Mark Bold ";
    names.Style = "Bold";
    names.Postscript = "QuillMark-Bold";
    names.Version = "";
    names.FontID = "Maker: Quill";
    names.Copyright = std::string(127, 'c');
    names.TradeMark = "\xA9 caf\xE9";
    WriteCopy(SimpleFont(fontSpec), names);

    const FontRead reader = ReadFontNames(Dir.File("NEW.TTF"));
    ASSERT_FALSE(reader.ReadFailed) << reader.ErrorText;
    EXPECT_TRUE(reader.IsRenamed);
    EXPECT_EQ(reader.FontNames.FamilyName, "Quill\x99 Mark");
    EXPECT_EQ(reader.FontNames.FullName, "Quill\x99 Mark Bold");
    EXPECT_EQ(reader.FontNames.Style, "Bold");
    EXPECT_EQ(reader.FontNames.Postscript, "QuillMark-Bold");
    EXPECT_EQ(reader.FontNames.Version, FontNames::kVersionResetText);
    EXPECT_EQ(reader.FontNames.FontID, "Maker: Quill");
    EXPECT_EQ(reader.FontNames.Copyright, std::string(127, 'c'));
    EXPECT_EQ(reader.FontNames.TradeMark, "\xA9 caf\xE9");
    EXPECT_FALSE(reader.FontNames.Bold);
    EXPECT_TRUE(reader.FontNames.Italic);

    const Bytes copy = ReadFile(Dir.File("NEW.TTF"));
    const std::uint32_t S = GetU32(copy, FindEntry(copy, "name").value() + 8);
    // The empty version writes no record: seven Macintosh records come first.
    EXPECT_EQ(GetU16(copy, S + 2), 14);
    EXPECT_EQ(GetU16(copy, S + 6 + 8), 127) << "Macintosh copyright length";
    EXPECT_EQ(GetU16(copy, S + 6 + 12 * 7 + 8), 254) << "Microsoft copyright length";
}

TEST_F(WriterTest, SourceStaysUnchanged) {
    const Bytes source = SimpleFont();
    WriteCopy(source, NamesOfLengths({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(ReadFile(SourcePath), source);
}

TEST_F(WriterTest, AnExistingFileIsNeverReplaced) {
    WriteFile(Dir.File("NEW.TTF"), Bytes{1, 2, 3});
    try {
        WriteCopy(SimpleFont(), FontNames{});
        ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.errnoValue(), EEXIST);
    }
    EXPECT_EQ(ReadFile(Dir.File("NEW.TTF")), (Bytes{1, 2, 3}));
}

TEST_F(WriterTest, AMissingSourceLeavesNoCopyBehind) {
    try {
        WriteRenamedFont(Dir.File("GONE.TTF"), Dir.File("NEW.TTF"), FontNames{});
        ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
}

TEST_F(WriterTest, AMissingFolderGivesPathNotFound) {
    WriteFile(SourcePath, SimpleFont());
    WriteFile(Dir.File("plain"), Bytes{1});
    try {
        WriteRenamedFont(SourcePath, Dir.File("plain/NEW.TTF"), FontNames{});
        ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "Path not found");
    }
}

TEST_F(WriterTest, ASourceLockedForWritingElsewhereLeavesNoCopyBehind) {
    WriteFile(SourcePath, SimpleFont());
    const int holder = ::open(SourcePath.c_str(), O_RDWR);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_THROW(WriteRenamedFont(SourcePath, Dir.File("NEW.TTF"), FontNames{}), EInOutError);
    ::close(holder);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
}

TEST_F(WriterTest, AFileSizeLimitIsAnErrorAndLeavesNoCopy) {
    Bytes source = SimpleFont();
    source.resize(200000, 0x55);
    WriteFile(SourcePath, source);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string text;
    try {
        WriteRenamedFont(SourcePath, Dir.File("NEW.TTF"), NamesOfLengths({1, 1, 1, 1, 1, 1, 1, 1}));
    } catch (const EInOutError& error) {
        text = error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(text, "I/O error 27\rFile too large");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
}

TEST_F(WriterTest, TextsAboveTheirCapacityAreRefusedBeforeAnythingIsWritten) {
    FontNames names;
    names.Style = std::string(33, 's');
    EXPECT_THROW(WriteCopy(SimpleFont(), names), std::length_error);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
}

TEST_F(WriterTest, ACopyOfACopySavesTheLocationItsSourcePointedAt) {
    const Bytes first = WriteCopy(SimpleFont(), NamesOfLengths({1, 2, 3, 4, 5, 6, 7, 8}), "A.TTF");
    const std::size_t entry = FindEntry(first, "name").value();
    WriteRenamedFont(Dir.File("A.TTF"), Dir.File("B.TTF"),
                     NamesOfLengths({2, 2, 2, 2, 2, 2, 2, 2}));
    const Bytes second = ReadFile(Dir.File("B.TTF"));
    EXPECT_EQ(GetU32(second, second.size() - 8), GetU32(first, entry + 8));
    EXPECT_EQ(GetU32(second, second.size() - 4), GetU32(first, entry + 12));
    EXPECT_EQ(GetU32(second, entry + 8), first.size());
    EXPECT_TRUE(std::equal(first.begin() + static_cast<long>(entry) + 16, first.end(),
                           second.begin() + static_cast<long>(entry) + 16));
}

TEST_F(WriterTest, ASourceWithTwoNameEntriesIsRefused) {
    // The reader takes the last entry: patching either one could not be restored faithfully.
    const Bytes source = FontBuilder()
                             .AddTable("head", HeadTable())
                             .AddTable("NAME", NameTable(StandardRecords({})))
                             .AddTable("name", NameTable(StandardRecords({})))
                             .Build();
    ExpectRefused(source, NamesOfLengths({1, 1, 1, 1, 1, 1, 1, 1}),
                  EMakeRefused::kTwoNameEntriesText);
}

TEST_F(WriterTest, ASourceThatDoesNotReadIsRefusedWithTheReadersReason) {
    const Bytes source = FontBuilder().AddTable("head", HeadTable()).Build();
    ExpectRefused(source, NamesOfLengths({1, 1, 1, 1, 1, 1, 1, 1}), FontRead::kNoTableEntryText);
}

// `table` (format 0) as format 1 with the one language tag `tag` (ASCII).
Bytes WithLanguageTag(Bytes table, std::string_view tag) {
    const std::size_t recordsEnd = 6 + 12 * std::size_t{GetU16(table, 2)};
    Bytes tagRecord;
    PutU16(tagRecord, 0, 1);
    PutU16(tagRecord, 2, static_cast<std::uint16_t>(2 * tag.size()));
    PutU16(tagRecord, 4, static_cast<std::uint16_t>(table.size() - recordsEnd));
    table.insert(table.begin() + static_cast<long>(recordsEnd), tagRecord.begin(), tagRecord.end());
    PutU16(table, 0, 1);
    PutU16(table, 4, static_cast<std::uint16_t>(recordsEnd + tagRecord.size()));
    for (char c : tag) {
        table.push_back(0);
        table.push_back(static_cast<std::uint8_t>(c));
    }
    return table;
}

TEST_F(WriterTest, OtherRecordsAndLanguageTagsStayAndPlaceholdersWriteNoRecord) {
    std::vector<NameRecord> records = StandardRecords({});
    records.push_back(MsName(13, u"Lizenz", 0x8000));
    records.push_back(MsName(9, u"Designer"));
    records.push_back(MsName(18, u"Test Sans"));
    const Bytes source = FontBuilder()
                             .AddTable("head", HeadTable())
                             .AddTable("name", WithLanguageTag(NameTable(records), "de-CH"))
                             .Build();
    FontNames names;
    for (std::uint16_t id = 0; id < 8; ++id)
        names.textOfNameID(id) = FontSpec{}.Text(id);
    names.FamilyName = "Quill";
    names.FullName = "Quill";
    names.TradeMark = FontNames::kTradeMarkResetText;
    WriteCopy(source, names);

    const NameTableListing copy = listFontNameTables(Dir.File("NEW.TTF")).live;
    EXPECT_EQ(copy.format, 1);
    std::vector<std::string> kept;
    for (const NameRecordEntry& r : copy.records) {
        EXPECT_NE(r.nameID, 7) << "the trade mark placeholder was written";
        EXPECT_NE(r.nameID, 18) << "the old full name stayed";
        if (r.nameID > 7)
            kept.push_back(r.language + "/" + std::to_string(r.nameID) + "=" + r.string.text);
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"en-US/9=Designer", "de-CH/13=Lizenz"}));
}

TEST_F(WriterTest, NamesTheTableCannotHoldAreRefusedAndNothingIsWritten) {
    // Seventeen records share one string of 4,000 bytes: kept apart, they need 68,000.
    std::vector<NameRecord> records = {RawName(3, 1, 1033, 256, Bytes(4000, 'x'))};
    for (std::uint16_t id = 257; id < 273; ++id) {
        NameRecord shared = RawName(3, 1, 1033, id, {});
        shared.length = 4000;
        shared.offset = 0;
        records.push_back(shared);
    }
    const std::vector<NameRecord> standard = StandardRecords({});
    records.insert(records.end(), standard.begin(), standard.end());
    const Bytes source =
        FontBuilder().AddTable("head", HeadTable()).AddTable("name", NameTable(records)).Build();
    ExpectRefused(source, NamesOfLengths({1, 1, 1, 1, 1, 1, 1, 1}),
                  EMakeRefused::kTableTooLargeText);
}

TEST_F(WriterTest, ASourceThatNoLongerReadsAsPlannedIsRefused) {
    WriteFile(SourcePath, SimpleFont());
    FontNames planned = ReadFontNames(SourcePath).FontNames;
    planned.Version = "Version 0.9";
    try {
        WriteRenamedFont(SourcePath, Dir.File("NEW.TTF"), NamesOfLengths({1, 1, 1, 1, 1, 1, 1, 1}),
                         planned);
        ADD_FAILURE() << "not refused";
    } catch (const EMakeRefused& error) {
        EXPECT_STREQ(error.what(), EMakeRefused::kSourceChangedText);
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.File("NEW.TTF")));
}

// ---- independent parsers read what we write ----

class WriterCrossCheck : public WriterTest {
protected:
    FontNames Names() const {
        FontNames names;
        names.FamilyName = "Quill Check";
        names.FullName = "Quill Check Bold";
        names.Style = "Bold";
        names.Postscript = "QuillCheck-Bold";
        names.Version = "Version 7.5";
        names.FontID = "Quill: Check";
        names.Copyright = "Copyright \xA9 2024 Quill";
        names.TradeMark = "Quill\x99 is a mark";
        return names;
    }
    std::string WriteFromDejaVu() {
        const std::string copy = Dir.File("QCHECK.TTF");
        WriteRenamedFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", copy, Names());
        return copy;
    }
};

TEST_F(WriterCrossCheck, FcQueryReportsTheNewFamily) {
    const std::string copy = WriteFromDejaVu();
    const std::string out =
        CommandOutput("fc-query --format='%{family}|%{style}|%{postscriptname}' '" + copy + "'");
    EXPECT_NE(out.find("Quill Check"), std::string::npos) << out;
    EXPECT_EQ(out.find("DejaVu"), std::string::npos) << out;
    EXPECT_NE(out.find("QuillCheck-Bold"), std::string::npos) << out;
}

TEST_F(WriterCrossCheck, FontToolsReadsTheTextsAsTyped) {
    const std::string copy = WriteFromDejaVu();
    const std::string script = R"(
import sys
from fontTools.ttLib import TTFont
t = TTFont(sys.argv[1])['name']
for i in range(8):
    ms = t.getName(i, 3, 1, 1033).toUnicode()
    assert t.getName(i, 1, 0, 0).toUnicode() == ms, i
    sys.stdout.buffer.write((ms + '\n').encode('utf-8'))
)";
    const std::string out =
        CommandOutput("/usr/bin/python3 -c \"$(cat <<'PY'\n" + script + "\nPY\n)\" '" + copy + "'");
    // Windows-1252 as Unicode in both records: the trade mark byte is U+2122.
    std::string expected;
    const FontNames names = Names();
    for (unsigned id = 0; id < 8; ++id)
        expected += windows1252ToUtf8(names.textOfNameID(id)) + '\n';
    EXPECT_EQ(out, expected);
}

} // namespace
