// What the character strip shows for a scroll position.

#include "browse/CharacterStrip.h"
#include "platform/AppFonts.h"
#include "tests/support/TestFonts.h"

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
    const QString all = qm::browse::allCharacters();
    const QString text = qm::browse::stripText(all, c.position);
    EXPECT_EQ(qm::browse::scrollCodeCaption(c.position), c.caption);
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
    const QString all = qm::browse::allCharacters();
    ASSERT_EQ(all.size(), 224);
    EXPECT_EQ(all.at(0), QChar(' '));
    EXPECT_EQ(all.at(65 - 32), QChar('A'));
    EXPECT_EQ(all.at(255 - 32), QChar(0xFF));
}

} // namespace

namespace {

struct TableCase {
    const char* name;
    testfonts::Bytes (*font)();
    const char* tag;
    bool found;
};

testfonts::Bytes simpleFont() {
    return testfonts::SimpleFont();
}
testfonts::Bytes headBeyondTheEnd() {
    testfonts::Bytes bytes = testfonts::SimpleFont();
    const auto entry = testfonts::FindEntry(bytes, "head");
    testfonts::PutU32(bytes, *entry + 8, 0xFFFFFF00);
    return bytes;
}
testfonts::Bytes headLongerThanTheFile() {
    testfonts::Bytes bytes = testfonts::SimpleFont();
    const auto entry = testfonts::FindEntry(bytes, "head");
    testfonts::PutU32(bytes, *entry + 12, 0xFFFFFFF0);
    return bytes;
}
testfonts::Bytes cutInTheDirectory() {
    testfonts::Bytes bytes = testfonts::SimpleFont();
    bytes.resize(20);
    return bytes;
}

class FontTableOfFile : public ::testing::TestWithParam<TableCase> {};

TEST_P(FontTableOfFile, readsOnlyTablesInsideTheFile) {
    testfonts::TempDir dir;
    const testfonts::Bytes bytes = GetParam().font();
    testfonts::WriteFile(dir.File("f.ttf"), bytes);
    const QByteArray table = qm::platform::AppFonts::fileTable(
        QString::fromStdString(dir.File("f.ttf")), GetParam().tag);
    if (!GetParam().found) {
        EXPECT_TRUE(table.isEmpty());
        return;
    }
    const auto entry = testfonts::FindEntry(bytes, GetParam().tag);
    ASSERT_TRUE(entry);
    const std::size_t offset = testfonts::GetU32(bytes, *entry + 8);
    const std::size_t length = testfonts::GetU32(bytes, *entry + 12);
    EXPECT_EQ(table,
              QByteArray(reinterpret_cast<const char*>(bytes.data() + offset), qsizetype(length)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FontTableOfFile,
    ::testing::Values(TableCase{"Head", simpleFont, "head", true},
                      TableCase{"Name", simpleFont, "name", true},
                      TableCase{"Absent", simpleFont, "glyf", false},
                      TableCase{"BeyondTheEnd", headBeyondTheEnd, "head", false},
                      TableCase{"LongerThanTheFile", headLongerThanTheFile, "head", false},
                      TableCase{"CutDirectory", cutInTheDirectory, "head", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawsFileGlyphs, tellsAnInstalledFaceFromAnotherFile) {
    const QString mono = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    const QString serif =
        QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf");
    QFont face(QStringLiteral("DejaVu Sans Mono"));
    face.setPixelSize(40);
    EXPECT_TRUE(qm::platform::AppFonts::drawsFileGlyphs(face, mono));
    EXPECT_FALSE(qm::platform::AppFonts::drawsFileGlyphs(face, serif));
    EXPECT_FALSE(qm::platform::AppFonts::drawsFileGlyphs(face, QStringLiteral("/nonexistent.ttf")));
}

} // namespace
