#include "core/ByteHelpers.h"
#include "core/EInOutError.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(ByteHelpers, BytesToLongReadsBigEndianAndSwapLongIsItsInverse) {
    const std::uint8_t bytes[4] = {0x5F, 0x0F, 0x3C, 0xF5};
    EXPECT_EQ(BytesToLong(bytes), 0x5F0F3CF5u);
    for (std::uint32_t value : {0u, 1u, 0x01020304u, 0x80000000u, 0xFFFFFFFFu}) {
        const auto swapped = SwapLong(value);
        EXPECT_EQ(BytesToLong(swapped.data()), value);
    }
    const auto swapped = SwapLong(0x01020304);
    EXPECT_EQ(swapped[0], 0x01);
    EXPECT_EQ(swapped[3], 0x04);
}

struct CleanRow {
    const char* name;
    std::string input;
    std::string expected;
};

class CleanNameTextTest : public testing::TestWithParam<CleanRow> {};

TEST_P(CleanNameTextTest, DropsNulsThenTrimsBlanksAndControls) {
    EXPECT_EQ(CleanNameText(GetParam().input), GetParam().expected);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(Rows, CleanNameTextTest,
                         testing::Values(CleanRow{"Plain", "Arial", "Arial"},
                                         CleanRow{"OuterBlanks", "  Arial  ", "Arial"},
                                         CleanRow{"InnerBlanksKept", " Times  New ", "Times  New"},
                                         CleanRow{"ControlsAtEnds", "\t\r\nName\x1f\x01", "Name"},
                                         CleanRow{"InnerControlKept", "A\tB", "A\tB"},
                                         CleanRow{"TwoByteForm", "\0A\0r\0i\0a\0l"s, "Arial"},
                                         CleanRow{"NulsInsideVanish", "Ar\0\0ial\0"s, "Arial"},
                                         CleanRow{"OnlyBlanks", " \x20\x10 ", ""},
                                         CleanRow{"Empty", "", ""},
                                         CleanRow{"HighBytesKept",
                                                  "\xA0"
                                                  "Caf\xE9\xA0",
                                                  "\xA0"
                                                  "Caf\xE9\xA0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ByteHelpers, WidenTextWritesEachCharacterAfterAZeroByte) {
    EXPECT_EQ(WidenText("Ab\x99"), "\0A\0b\0\x99"s);
    EXPECT_EQ(WidenText(""), "");
    EXPECT_EQ(CleanNameText(WidenText("This Font Renamed")), "This Font Renamed");
}

TEST(ByteHelpers, CaseChangesTouchAsciiLettersOnly) {
    EXPECT_EQ(lowerCaseAscii("AbZ\xC4\xE4-9"), "abz\xC4\xE4-9");
    EXPECT_EQ(upperCaseAscii("abz\xC4\xE4-9"), "ABZ\xC4\xE4-9");
}

struct ErrnoRow {
    const char* name;
    int errnoValue;
    int code;
    const char* text;
};

class InOutErrorTest : public testing::TestWithParam<ErrnoRow> {};

TEST_P(InOutErrorTest, CarriesErrnoCodeAndText) {
    const EInOutError error(GetParam().errnoValue);
    EXPECT_EQ(error.errnoValue(), GetParam().errnoValue);
    EXPECT_EQ(error.errorCode(), GetParam().code);
    EXPECT_STREQ(error.what(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InOutErrorTest,
    testing::Values(
        ErrnoRow{"NoEntry", ENOENT, 2, "File not found"},
        ErrnoRow{"NotFolder", ENOTDIR, 3, "Path not found"},
        ErrnoRow{"Access", EACCES, 5, "File access denied"},
        ErrnoRow{"ReadOnlyFs", EROFS, 5, "File access denied"},
        ErrnoRow{"NoSpace", ENOSPC, 112, "Disk full"}, ErrnoRow{"Quota", EDQUOT, 112, "Disk full"},
        ErrnoRow{"Locked", EWOULDBLOCK, 32, "I/O error 32\rResource temporarily unavailable"},
        ErrnoRow{"Exists", EEXIST, 80, "A TrueType font file with this name already exists."},
        ErrnoRow{"Io", EIO, 1117, "I/O error 1117\rInput/output error"},
        ErrnoRow{"TooBig", EFBIG, EFBIG, "I/O error 27\rFile too large"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InOutError, ReadBeyondEndHasItsOwnText) {
    const EInOutError error = EInOutError::readBeyondEnd();
    EXPECT_EQ(error.errorCode(), 100);
    EXPECT_STREQ(error.what(), "Read beyond end of file");
    const std::exception& base = error;
    EXPECT_STREQ(base.what(), "Read beyond end of file");
}

} // namespace
