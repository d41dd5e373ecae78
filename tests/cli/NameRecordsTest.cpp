#include "core/NameRecords.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

std::string_view view(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct DecodeRow {
    const char* name;
    std::uint16_t platformID, encodingID;
    Bytes bytes;
    std::string text;
    bool exact;
};

class DecodeNameStringTest : public testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeNameStringTest, showsEveryByteOnce) {
    const DecodeRow& row = GetParam();
    const DecodedNameString decoded =
        decodeNameString(row.platformID, row.encodingID, view(row.bytes));
    EXPECT_EQ(decoded.text, row.text);
    EXPECT_EQ(decoded.exact, row.exact);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeNameStringTest,
    testing::Values(
        DecodeRow{"Utf16WithSurrogatePair",
                  3,
                  1,
                  {0x00, 'A', 0xD8, 0x3D, 0xDE, 0x00, 0x65, 0xE5},
                  "A\xF0\x9F\x98\x80\xE6\x97\xA5",
                  true},
        DecodeRow{"SymbolEncodingIsUtf16", 3, 0, {0xF0, 0x41}, "\xEF\x81\x81", true},
        DecodeRow{"UnicodePlatform", 0, 3, {0x04, 0x14}, "\xD0\x94", true},
        DecodeRow{"OddTrailingByteEscaped", 3, 1, {0x00, 'A', 0x42}, "A\\x42", false},
        DecodeRow{"LoneSurrogateEscaped", 3, 1, {0xDC, 0x00, 0x00, 'b'}, "\\xDC\\x00b", false},
        DecodeRow{"BackslashDoubled", 3, 1, {0x00, '\\', 0x00, 'x'}, "\\\\x", true},
        DecodeRow{"MacRoman",
                  1,
                  0,
                  {'c', 0x8E, 0xA7, 0xDB, 0xF0},
                  "c\xC3\xA9\xC3\x9F\xE2\x82\xAC\xEF\xA3\xBF",
                  true},
        DecodeRow{"MacJapanese", 1, 1, {0x93, 0xFA, 0x96, 0x7B}, "\xE6\x97\xA5\xE6\x9C\xAC", true},
        DecodeRow{"MicrosoftShiftJisPadded", 3, 2, {0x00, 'A', 0x93, 0xFA}, "A\xE6\x97\xA5", true},
        DecodeRow{"BadShiftJisEscaped", 1, 1, {'a', 0xFF, 'b'}, "a\\xFFb", false},
        DecodeRow{"UnknownPlatformEscaped", 7, 0, {'o', 'k', 0x01}, "ok\\x01", false}),
    [](const auto& info) { return std::string(info.param.name); });

void append16(Bytes& bytes, std::uint16_t value) {
    PutU16(bytes, bytes.size(), value);
}

TEST(NameTableListing, namesLanguagesAndKeepsWhatIsThereOfABrokenTable) {
    // Format 1: four records, then one language tag ("de-CH") in string storage.
    Bytes table;
    for (std::uint16_t v : {1, 4, 6 + 4 * 12 + 2 + 4})
        append16(table, v);
    for (std::uint16_t v : {3, 1, 0x8000, 1, 4, 0})
        append16(table, v); // "Ab" in the tagged language
    for (std::uint16_t v : {1, 0, 11, 2, 2, 4})
        append16(table, v); // Macintosh Japanese language code
    for (std::uint16_t v : {3, 1, 0x0411, 4, 8, 0xFFF0})
        append16(table, v); // string beyond the end
    for (std::uint16_t v : {3, 1, 0x8001, 256, 0, 0})
        append16(table, v); // a language tag the table does not have
    for (std::uint16_t v : {1, 10, 6})
        append16(table, v);
    for (char b :
         {'\0', 'A', '\0', 'b', 'X', 'Y', '\0', 'd', '\0', 'e', '\0', '-', '\0', 'C', '\0', 'H'})
        table.push_back(static_cast<std::uint8_t>(b));

    const NameTableListing listing = listNameTable(view(table));
    EXPECT_EQ(listing.format, 1);
    EXPECT_EQ(listing.problem, "");
    ASSERT_EQ(listing.records.size(), 4u);
    EXPECT_EQ(listing.records[0].language, "de-CH");
    EXPECT_EQ(listing.records[0].string.text, "Ab");
    EXPECT_EQ(listing.records[1].language, "ja");
    EXPECT_EQ(listing.records[1].string.text, "XY");
    EXPECT_EQ(listing.records[2].language, "ja-JP");
    EXPECT_TRUE(listing.records[2].missing);
    EXPECT_EQ(listing.records[3].language, "");
    EXPECT_EQ(listing.records[3].nameID, 256);

    // Cut inside the third record: the two before it are still listed, and the cut is said.
    const Bytes cut(table.begin(), table.begin() + 6 + 12 * 2 + 5);
    const NameTableListing partial = listNameTable(view(cut));
    EXPECT_EQ(partial.records.size(), 2u);
    EXPECT_NE(partial.problem, "");
    EXPECT_TRUE(partial.records[0].missing);
}

// fontTools decodes every name record of every font on the machine as we do: same records in
// the same order, same texts (it checks our JSON on the way).
TEST(NameTableListing, everyRecordOfTheMachineFontsDecodesLikeFontTools) {
    std::string command = "/usr/bin/python3 " QM_SOURCE_DIR
                          "/tests/cli/name_records_check.py " QM_BINARY_DIR "/cli/quillmark-cli";
    std::size_t fonts = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("/usr/share/fonts")) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && !entry.is_symlink() && (ext == ".ttf" || ext == ".otf")) {
            command += " '" + entry.path().string() + "'";
            ++fonts;
        }
    }
    ASSERT_GE(fonts, 40u) << "Debian's font packages are missing";
    const std::string report = CommandOutput(command);
    ASSERT_EQ(report.rfind("checked ", 0), 0u) << report;
    EXPECT_EQ(report.substr(report.find(" records, ")), " records, 0 escaped\n") << report;
    EXPECT_GE(std::stoul(report.substr(8)), 10 * fonts) << report;
}

} // namespace
