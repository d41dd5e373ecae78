#include "core/Windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252, EveryByteSurvivesTheRoundTripThroughUnicode) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf32ToWindows1252(windows1252ToUtf32(byte)), byte) << b;
        EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(byte)), byte) << b;
    }
}

struct MapRow {
    const char* name;
    unsigned char byte;
    char32_t codePoint;
};

class Windows1252MapTest : public testing::TestWithParam<MapRow> {};

TEST_P(Windows1252MapTest, MapsByteToCodePoint) {
    EXPECT_EQ(unicodeOfWindows1252(GetParam().byte), GetParam().codePoint);
    EXPECT_EQ(static_cast<unsigned char>(windows1252OfUnicode(GetParam().codePoint)),
              GetParam().byte);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Windows1252MapTest,
    testing::Values(MapRow{"Ascii", 'A', U'A'}, MapRow{"Euro", 0x80, 0x20AC},
                    MapRow{"TradeMark", 0x99, 0x2122}, MapRow{"Undefined81", 0x81, 0x81},
                    MapRow{"Undefined8D", 0x8D, 0x8D}, MapRow{"Undefined8F", 0x8F, 0x8F},
                    MapRow{"Undefined90", 0x90, 0x90}, MapRow{"Undefined9D", 0x9D, 0x9D},
                    MapRow{"YDiaeresis", 0x9F, 0x178}, MapRow{"Copyright", 0xA9, 0xA9},
                    MapRow{"SmallYDiaeresis", 0xFF, 0xFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1252, CharactersItCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(utf32ToWindows1252(U"a\u0099b\u4E00c\U0001F600"), "a?b?c?");
    EXPECT_EQ(utf8ToWindows1252("caf\xC3\xA9 \xE2\x84\xA2 \xE4\xB8\x80"), "caf\xE9 \x99 ?");
}

TEST(Windows1252, MalformedUtf8BecomesOneQuestionMarkPerSequence) {
    EXPECT_EQ(utf8ToWindows1252("a\xFF"
                                "b"),
              "a?b");
    EXPECT_EQ(utf8ToWindows1252("a\xC3"), "a?");         // cut short
    EXPECT_EQ(utf8ToWindows1252("\xC0\xAF"), "?");       // overlong
    EXPECT_EQ(utf8ToWindows1252("\xED\xA0\x80x"), "?x"); // surrogate
}

TEST(Windows1252, TradeMarkByteIsUtf8TradeMarkSign) {
    EXPECT_EQ(windows1252ToUtf8("Abc\x99"), "Abc\xE2\x84\xA2");
    EXPECT_EQ(windows1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(utf32ToUtf8(utf8ToUtf32("x\xE2\x82\xACy")), "x\xE2\x82\xACy");
}

} // namespace
