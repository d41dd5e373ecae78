#include "core/EInOutError.h"
#include "core/FontReader.h"
#include "core/NameStringDecoding.h"
#include "tests/support/TestFonts.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfonts;
using namespace std::string_literals;

namespace {

struct ReadOutcome {
    bool ReadFailed;
    std::string ErrorText;
    FontNames Names;
    bool IsRenamed;
};

ReadOutcome readBytes(const Bytes& font) {
    TempDir dir;
    const std::string path = dir.File("FONT.TTF");
    WriteFile(path, font);
    const FontRead reader = ReadFontNames(path);
    return {reader.ReadFailed, reader.ErrorText, reader.FontNames, reader.IsRenamed};
}

Bytes fontWithRecords(const std::vector<NameRecord>& records, std::uint16_t macStyle = 0) {
    return FontBuilder()
        .AddTable("head", HeadTable(macStyle))
        .AddTable("name", NameTable(records))
        .Build();
}

// Records naming family, full name and style, so a font reads when nothing else is wrong.
std::vector<NameRecord> withBasics(std::vector<NameRecord> records) {
    records.insert(records.begin(), {MsName(1, u"Base"), MsName(4, u"Base Full")});
    return records;
}

// ---- failures: each gives its one text ----

struct FailureRow {
    const char* name;
    std::function<Bytes()> make;
    const char* errorText;
};

class ReaderFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(ReaderFailureTest, failsWithItsText) {
    const ReadOutcome outcome = readBytes(GetParam().make());
    EXPECT_TRUE(outcome.ReadFailed);
    EXPECT_EQ(outcome.ErrorText, GetParam().errorText);
    EXPECT_FALSE(outcome.IsRenamed);
}

Bytes withVersion(std::uint16_t major) {
    Bytes font = SimpleFont();
    PutU16(font, 0, major);
    return font;
}

Bytes withEntryTag(const char* from, const char* to) {
    Bytes font = SimpleFont();
    const std::size_t entry = FindEntry(font, from).value();
    std::copy_n(to, 4, font.begin() + static_cast<long>(entry));
    return font;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderFailureTest,
    testing::Values(
        FailureRow{"EmptyFile", [] { return Bytes{}; }, FontRead::kNotTrueTypeText},
        FailureRow{"OneByte", [] { return Bytes{0}; }, FontRead::kNotTrueTypeText},
        FailureRow{"MajorZero", [] { return withVersion(0); }, FontRead::kNotTrueTypeText},
        FailureRow{"MajorSix", [] { return withVersion(6); }, FontRead::kNotTrueTypeText},
        FailureRow{"AppleTrue", [] { return withVersion(0x7472); }, FontRead::kNotTrueTypeText},
        FailureRow{"OpenTypeCff", [] { return withVersion(0x4F54); }, FontRead::kNotTrueTypeText},
        FailureRow{"VersionOnly",
                   [] {
                       return Bytes{0, 1, 0, 0};
                   },
                   FontRead::kNoTableEntryText},
        FailureRow{
            "NoTables",
            [] { return FontBuilder().NumTablesOverride(0).AddTable("head", HeadTable()).Build(); },
            FontRead::kNoTableEntryText},
        FailureRow{"NoNameEntry", [] { return withEntryTag("name", "xame"); },
                   FontRead::kNoTableEntryText},
        FailureRow{"NoHeadEntry", [] { return withEntryTag("head", "hea "); },
                   FontRead::kNoTableEntryText},
        FailureRow{"DirectoryCutShort",
                   [] {
                       Bytes font = SimpleFont();
                       PutU16(font, 4, 200); // entries run off the end of the file
                       return font;
                   },
                   FontRead::kNoTableEntryText},
        FailureRow{"StringBeyondFile",
                   [] {
                       NameRecord family = MsName(1, u"Far");
                       family.offset = 60000;
                       return fontWithRecords({family, MsName(4, u"Far")});
                   },
                   FontRead::kNameTableIncorrectText},
        FailureRow{"NameTableBeyondFile",
                   [] {
                       // count and stringOffset read as zero: no records, no names.
                       Bytes font = SimpleFont();
                       PutU32(font, FindEntry(font, "name").value() + 8, 0xFFFFFFF0);
                       return font;
                   },
                   FontRead::kFontNameIncorrectText},
        FailureRow{"BadMagic",
                   [] {
                       return FontBuilder()
                           .AddTable("head", HeadTable(0, 0x12345678))
                           .AddTable("name", NameTable(withBasics({})))
                           .Build();
                   },
                   FontRead::kMagicMismatchText},
        FailureRow{"HeadBeyondFile",
                   [] {
                       Bytes font = SimpleFont();
                       PutU32(font, FindEntry(font, "head").value() + 8, 0xFFFFFFFF);
                       return font;
                   },
                   FontRead::kMagicMismatchText},
        FailureRow{"OnlyGermanAndUnicodeNames",
                   [] {
                       return fontWithRecords({MsName(1, u"Name", 1031), MsName(4, u"Name", 1031),
                                               RawName(0, 3, 0, 1, {0, 'N'}),
                                               RawName(0, 3, 0, 4, {0, 'N'})});
                   },
                   FontRead::kFontNameIncorrectText},
        FailureRow{"NoFullName",
                   [] {
                       return fontWithRecords({MsName(1, u"Family"), MsName(2, u"Bold")});
                   },
                   FontRead::kFontNameIncorrectText},
        FailureRow{"LaterEmptyFamilyBlanks",
                   [] { return fontWithRecords(withBasics({MacName(1, "  ")})); },
                   FontRead::kFontNameIncorrectText},
        FailureRow{"NameIdEightIgnored",
                   [] {
                       return fontWithRecords({MsName(8, u"Family"), MsName(4, u"Full")});
                   },
                   FontRead::kFontNameIncorrectText}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, missingFileOrFolderIsNotFound) {
    TempDir dir;
    FontRead reader;
    for (const std::string& path : {dir.File("MISSING.TTF"), dir.Path()}) {
        reader = ReadFontNames(path);
        EXPECT_TRUE(reader.ReadFailed);
        EXPECT_EQ(reader.ErrorText, FontRead::kFileNotFoundText);
    }
}

TEST(Reader, aFifoIsNotAFontFileAndDoesNotHang) {
    TempDir dir;
    const std::string path = dir.File("PIPE.TTF");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    FontRead reader = ReadFontNames(path);
    EXPECT_TRUE(reader.ReadFailed);
    EXPECT_EQ(reader.ErrorText, FontRead::kFileNotFoundText);
}

TEST(Reader, aFileLockedExclusivelyElsewhereRaisesAnIoError) {
    TempDir dir;
    const std::string path = dir.File("LOCKED.TTF");
    WriteFile(path, SimpleFont());
    const int holder = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    FontRead reader;
    try {
        reader = ReadFontNames(path);
        ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.errorCode(), 32);
        EXPECT_STREQ(error.what(), "I/O error 32\rResource temporarily unavailable");
    }
    EXPECT_FALSE(reader.ReadFailed);
    ::close(holder);
    reader = ReadFontNames(path);
    EXPECT_FALSE(reader.ReadFailed);
}

TEST(Reader, failureKeepsTextsReadBeforeItAndPlaceholdersOtherwise) {
    NameRecord broken = MsName(0, u"Copyright");
    broken.offset = 65000;
    const ReadOutcome outcome =
        readBytes(fontWithRecords({MsName(5, u"Version 9"), MsName(1, u"Fam"), broken}));
    EXPECT_EQ(outcome.ErrorText, FontRead::kNameTableIncorrectText);
    EXPECT_EQ(outcome.Names.Version, "Version 9");
    EXPECT_EQ(outcome.Names.FamilyName, "Fam");
    EXPECT_EQ(outcome.Names.Copyright, FontNames::kCopyrightResetText);

    const ReadOutcome early = readBytes(withVersion(9));
    EXPECT_EQ(early.Names, FontNames{});
    EXPECT_EQ(early.Names.Version, "*** No Ver. I.D. Found ***");
}

// ---- successful reads: what lands in each field ----

struct FieldRow {
    const char* name;
    std::vector<NameRecord> records;
    std::uint16_t nameID;
    std::string expected;
};

class ReaderFieldTest : public testing::TestWithParam<FieldRow> {};

TEST_P(ReaderFieldTest, storesTheText) {
    const ReadOutcome outcome = readBytes(fontWithRecords(withBasics(GetParam().records)));
    ASSERT_FALSE(outcome.ReadFailed) << outcome.ErrorText;
    EXPECT_EQ(outcome.Names.textOfNameID(GetParam().nameID), GetParam().expected);
}

NameRecord msFamilyBytes(Bytes bytes) {
    return RawName(3, 1, 1033, 1, std::move(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderFieldTest,
    testing::Values(
        FieldRow{"MicrosoftArial",
                 {msFamilyBytes({0, 0x41, 0, 0x72, 0, 0x69, 0, 0x61, 0, 0x6C})},
                 1,
                 "Arial"},
        FieldRow{"TradeMarkInFamily", {MsName(1, u"Abcd\u2122")}, 1, "Abcd\x99"},
        FieldRow{"TradeMarkInFullName", {MsName(4, u"Ab\u2122 Cd")}, 4, "Ab\x99 Cd"},
        FieldRow{"TradeMarkInVersionIsTheTradeMarkSign", {MsName(5, u"V1\u2122")}, 5, "V1\x99"},
        FieldRow{"FamilyCutTo64", {MacName(1, std::string(70, 'F'))}, 1, std::string(64, 'F')},
        FieldRow{"StyleCutTo32", {MacName(2, std::string(40, 'S'))}, 2, std::string(32, 'S')},
        FieldRow{
            "CopyrightCutTo127", {MacName(0, std::string(150, 'C'))}, 0, std::string(127, 'C')},
        FieldRow{
            "TradeMarkCutTo127", {MsName(7, std::u16string(200, u'T'))}, 7, std::string(127, 'T')},
        FieldRow{"BlanksAndControlsTrimmed", {MacName(2, " \t Bold\r\n ")}, 2, "Bold"},
        FieldRow{"NulsInMacTextVanish", {MacName(6, "Ps\0Na\0me"s)}, 6, "PsName"},
        FieldRow{"SymbolEncodingAccepted", {MsName(1, u"Symbolic", 1033, 0)}, 1, "Symbolic"},
        FieldRow{"GermanRecordIgnored", {MsName(1, u"Deutsch", 1031)}, 1, "Base"},
        FieldRow{"UnicodePlatformIgnored", {RawName(0, 3, 0, 1, {0, 'U'})}, 1, "Base"},
        FieldRow{"MacOtherLanguageIgnored", {MacName(1, "Fran", 2)}, 1, "Base"},
        FieldRow{"LastRecordWins", {MacName(3, "Mac ID"), MsName(3, u"Ms ID")}, 3, "Ms ID"},
        FieldRow{"LaterEmptyCopyrightKeepsEarlier",
                 {MacName(0, "(c) Maker"), MsName(0, u"")},
                 0,
                 "(c) Maker"},
        FieldRow{"LaterEmptyStyleBlanks", {MacName(2, "Bold"), MsName(2, u"")}, 2, ""},
        FieldRow{"MissingVersionKeepsPlaceholder", {}, 5, "*** No Ver. I.D. Found ***"},
        FieldRow{"MissingTradeMarkKeepsPlaceholder", {}, 7, "*** No TradeMark Found ***"},
        FieldRow{
            "CharacterBeyond1252IsAQuestionMark", {MsName(3, u"x\U0001F600\u4E01y")}, 3, "x??y"},
        FieldRow{"ExclamationQuotePairStaysTwoCharacters", {MsName(1, u"Ab!\"")}, 1, "Ab!\""},
        FieldRow{"MacintoshRomanDecoded", {MacName(1, "Caf\x8E \xAA")}, 1, "Caf\xE9 \x99"},
        FieldRow{"StringLongerThanReadBuffer",
                 {MacName(0, std::string(3000, 'L'))},
                 0,
                 std::string(127, 'L')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, longStringRunningPastTheEndIsReadToTheBufferSize) {
    // The last string claims 4000 bytes but the file holds 1500 of them.
    NameRecord copyright = MacName(0, std::string(1500, 'K'));
    copyright.length = 4000;
    const ReadOutcome outcome = readBytes(fontWithRecords(withBasics({copyright})));
    ASSERT_FALSE(outcome.ReadFailed) << outcome.ErrorText;
    EXPECT_EQ(outcome.Names.Copyright, std::string(127, 'K'));
}

struct StyleRow {
    const char* name;
    std::uint16_t macStyle;
    bool bold;
    bool italic;
};

class ReaderStyleBitsTest : public testing::TestWithParam<StyleRow> {};

TEST_P(ReaderStyleBitsTest, takesBoldAndItalicFromMacStyle) {
    FontSpec fontSpec;
    fontSpec.MacStyle = GetParam().macStyle;
    const ReadOutcome outcome = readBytes(SimpleFont(fontSpec));
    ASSERT_FALSE(outcome.ReadFailed);
    EXPECT_EQ(outcome.Names.Bold, GetParam().bold);
    EXPECT_EQ(outcome.Names.Italic, GetParam().italic);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReaderStyleBitsTest,
                         testing::Values(StyleRow{"None", 0x0000, false, false},
                                         StyleRow{"Bold", 0x0001, true, false},
                                         StyleRow{"Italic", 0x0002, false, true},
                                         StyleRow{"BoldItalic", 0x0003, true, true},
                                         StyleRow{"UnderlineOnly", 0x0004, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, readsAllEightNamesOfAUsualFont) {
    const FontSpec fontSpec;
    const ReadOutcome outcome = readBytes(SimpleFont(fontSpec));
    ASSERT_FALSE(outcome.ReadFailed);
    EXPECT_EQ(outcome.ErrorText, "Unknown error reason.");
    for (std::uint16_t id = 0; id < 8; ++id)
        EXPECT_EQ(outcome.Names.textOfNameID(id), fontSpec.Text(id)) << id;
    EXPECT_FALSE(outcome.IsRenamed);
}

TEST(Reader, tagsMatchWhateverTheirCase) {
    Bytes font = SimpleFont();
    const std::size_t name = FindEntry(font, "name").value();
    std::copy_n("NAME", 4, font.begin() + static_cast<long>(name));
    const std::size_t head = FindEntry(font, "head").value();
    std::copy_n("HeAd", 4, font.begin() + static_cast<long>(head));
    EXPECT_FALSE(readBytes(font).ReadFailed);
}

TEST(Reader, majorVersionsOneToFiveAreAccepted) {
    for (std::uint16_t major = 1; major <= 5; ++major)
        EXPECT_FALSE(readBytes(withVersion(major)).ReadFailed) << major;
}

TEST(Reader, theLastOfTwoNameEntriesIsRead) {
    FontSpec first;
    first.FamilyName = "First";
    FontSpec second;
    second.FamilyName = "Second";
    const Bytes font = FontBuilder()
                           .AddTable("name", NameTable(StandardRecords(first)))
                           .AddTable("head", HeadTable())
                           .AddTable("name", NameTable(StandardRecords(second)))
                           .Build();
    EXPECT_EQ(readBytes(font).Names.FamilyName, "Second");
}

TEST(Reader, recordsCutByTheEndOfTheFileAreSkippedAndStyleBitsReadAsZero) {
    // The name table is last and claims far more records than the file holds.
    FontSpec fontSpec;
    fontSpec.MacStyle = 3;
    Bytes font = FontBuilder()
                     .AddTable("head", HeadTable(fontSpec.MacStyle))
                     .AddTable("name", NameTable(StandardRecords(fontSpec)))
                     .Build();
    PutU16(font, GetU32(font, FindEntry(font, "name").value() + 8) + 2, 0xFFFF);
    const ReadOutcome outcome = readBytes(font);
    ASSERT_FALSE(outcome.ReadFailed) << outcome.ErrorText;
    EXPECT_EQ(outcome.Names.FamilyName, fontSpec.FamilyName);
    EXPECT_EQ(outcome.Names.TradeMark, fontSpec.TradeMark);
    EXPECT_FALSE(outcome.Names.Bold);
    EXPECT_FALSE(outcome.Names.Italic);
}

struct MarkerRow {
    const char* name;
    std::string tail;
    bool renamed;
};

class ReaderMarkerTest : public testing::TestWithParam<MarkerRow> {};

TEST_P(ReaderMarkerTest, probesTheLast46Bytes) {
    Bytes font = SimpleFont();
    font.insert(font.end(), GetParam().tail.begin(), GetParam().tail.end());
    const ReadOutcome outcome = readBytes(font);
    ASSERT_FALSE(outcome.ReadFailed);
    EXPECT_EQ(outcome.IsRenamed, GetParam().renamed);
}

std::string twoByte(const std::string& text) {
    std::string wide;
    for (char c : text)
        wide += std::string{'\0', c};
    return wide;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderMarkerTest,
    testing::Values(MarkerRow{"Ordinary", "", false},
                    MarkerRow{"kMarkerText", twoByte("This Font Renamed") + std::string(12, '\0'),
                              true},
                    MarkerRow{"kMakerSignature",
                              twoByte("\xA9"
                                      "1998 qmfonts.net") +
                                  std::string(12, 'x'),
                              true},
                    MarkerRow{"MarkerTwoBytesEarly",
                              twoByte("This Font Renamed") + std::string(14, '\0'), false},
                    MarkerRow{"MarkerInOtherCase",
                              twoByte("THIS FONT RENAMED") + std::string(12, '\0'), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, eachReadStartsFromTheResetRecord) {
    TempDir dir;
    FontSpec bold;
    bold.MacStyle = 1;
    WriteFile(dir.File("A.TTF"), SimpleFont(bold));
    WriteFile(dir.File("B.TTF"), fontWithRecords({MsName(1, u"B"), MsName(4, u"B")}));
    FontRead reader = ReadFontNames(dir.File("A.TTF"));
    ASSERT_TRUE(reader.FontNames.Bold);
    reader = ReadFontNames(dir.File("B.TTF"));
    FontNames expected;
    expected.FamilyName = "B";
    expected.FullName = "B";
    EXPECT_EQ(reader.FontNames, expected);
}

// Every pair of bytes from 0x80 in every legacy encoding, amid a record and at its end: the
// system's converter, asked one character at a time, never reads past the record (the sanitizers
// watch), and what comes before and after the pair comes out as it is.
TEST(LegacyEncodings, everyPairDecodesWithinItsRecord) {
    const std::pair<std::uint16_t, std::uint16_t> encodings[] = {
        {1, 1}, {1, 2}, {1, 3}, {1, 7}, {1, 25}, {3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}};
    int failures = 0;
    for (const auto& [platform, encoding] : encodings) {
        // Microsoft records hold their characters in 16-bit units.
        const std::string a = platform == 3 ? "\0A"s : "A"s;
        // '!' is a trail byte of none of them.
        const std::string z = platform == 3 ? "\0!"s : "!"s;
        for (unsigned first = 0x80; first <= 0xFF; ++first) {
            for (unsigned second = 0x30; second <= 0xFF; ++second) {
                const std::string pair{static_cast<char>(first), static_cast<char>(second)};
                for (const bool atEnd : {false, true}) {
                    const std::string text =
                        decodeNameString(platform, encoding, a + pair + (atEnd ? "" : z)).text;
                    const bool good = text.front() == 'A' && (atEnd || text.back() == '!');
                    if (!good && ++failures <= 5)
                        ADD_FAILURE() << platform << "/" << encoding << " " << std::hex << first
                                      << " " << second << ": " << text;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

} // namespace
