// What the character strip shows for a scroll position.

#include "browse/CharacterStrip.h"

#include <gtest/gtest.h>

namespace {

struct PositionCase {
    const char* name;
    int position;
    const char* caption;
    char16_t first;
    int shown;
};

class StripPositions : public ::testing::TestWithParam<PositionCase> {};

TEST_P(StripPositions, textStartsAtTheCodeTheBoxShows) {
    const PositionCase& c = GetParam();
    const QString all = browse::allCharacters();
    const QString text = browse::stripText(all, c.position);
    EXPECT_EQ(browse::scrollCodeCaption(c.position), c.caption);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(text.front().unicode(), c.first);
    EXPECT_EQ(text.size(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, StripPositions,
    ::testing::Values(PositionCase{"Blank", 1, "032", u' ', 224},
                      PositionCase{"StartLetterA", 34, "065", u'A', 191},
                      PositionCase{"LastTwoDigitCode", 68, "099", u'c', 157},
                      PositionCase{"FirstThreeDigitCode", 69, "0100", u'd', 156},
                      PositionCase{"EuroSign", 97, "0128", u'\u20AC', 128},
                      PositionCase{"TrademarkSign", 122, "0153", u'\u2122', 103},
                      PositionCase{"UndefinedByteKeepsItsCode", 98, "0129", u'\u0081', 127},
                      PositionCase{"LastCharacterAlone", 224, "0255", u'\u00FF', 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StripCharacters, areTheTwoHundredTwentyFourCodesFrom32) {
    const QString all = browse::allCharacters();
    ASSERT_EQ(all.size(), 224);
    EXPECT_EQ(all.at(0), QChar(' '));
    EXPECT_EQ(all.at(65 - 32), QChar('A'));
    EXPECT_EQ(all.at(255 - 32), QChar(0xFF));
}

} // namespace
