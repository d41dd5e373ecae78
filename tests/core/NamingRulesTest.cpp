#include "core/NamingRules.h"

#include <gtest/gtest.h>

namespace {

struct DeriveRow {
    const char* name;
    std::string family, style;
    std::string expectedFamily, expectedStyle, expectedFull, expectedPostscript;
};

class DeriveNamesTest : public testing::TestWithParam<DeriveRow> {};

TEST_P(DeriveNamesTest, NormalisesAndDerives) {
    const DeriveRow& row = GetParam();
    NameTexts boxes;
    boxes.FamilyName = row.family;
    boxes.Style = row.style;
    boxes.FullName = "old full";
    boxes.Postscript = "old-ps";
    boxes.Version = "Version 1";
    const NameTexts derived = deriveNameTexts(boxes, "Record Family");
    EXPECT_EQ(derived.FamilyName, row.expectedFamily);
    EXPECT_EQ(derived.Style, row.expectedStyle);
    EXPECT_EQ(derived.FullName, row.expectedFull);
    EXPECT_EQ(derived.Postscript, row.expectedPostscript);
    EXPECT_EQ(derived.Version, "Version 1");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeriveNamesTest,
    testing::Values(DeriveRow{"BoldItalic", "Times New", "bold italic", "Times New", "Bold Italic",
                              "Times New Bold Italic", "TimesNew-BoldItalic"},
                    DeriveRow{"RegularIsPlain", "Times New", "REGULAR", "Times New", "Regular",
                              "Times New", "TimesNew"},
                    DeriveRow{"NormalIsPlain", "Sans", "normal", "Sans", "Normal", "Sans", "Sans"},
                    DeriveRow{"EmptyStyleIsPlain", "Sans", "", "Sans", "", "Sans", "Sans"},
                    DeriveRow{"RegularObliqueIsNotPlain", "Sans", "Regular Oblique", "Sans",
                              "Regular Oblique", "Sans Regular Oblique", "Sans-RegularOblique"},
                    DeriveRow{"InnerBlankRunsStay", "Sans", "bold  ITALIC", "Sans", "Bold  Italic",
                              "Sans Bold  Italic", "Sans-BoldItalic"},
                    DeriveRow{"HyphenIsNotAWordStart", "Sans", "semi-bold", "Sans", "Semi-bold",
                              "Sans Semi-bold", "Sans-Semi-bold"},
                    DeriveRow{"FamilyCleaned", "  Arial  ", " bold ", "Arial", "Bold", "Arial Bold",
                              "Arial-Bold"},
                    DeriveRow{"FamilyCaseKept", "aRIAL x", "Bold", "aRIAL x", "Bold",
                              "aRIAL x Bold", "aRIALx-Bold"},
                    DeriveRow{"AccentedLettersKeepTheirCase", "Caf\xE9", "\xC9tendu", "Caf\xE9",
                              "\xC9tendu", "Caf\xE9 \xC9tendu", "Caf\xE9-\xC9tendu"},
                    DeriveRow{"EmptyFamilyTakesTheRecordsBack", "   ", "bold", "Record Family",
                              "bold", "old full", "old-ps"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeriveNames, CutsNothingButStoringCutsToTheCapacities) {
    NameTexts boxes;
    boxes.FamilyName = std::string(64, 'F');
    boxes.Style = "Extra Bold";
    boxes.Version = std::string(70, 'V');
    boxes.FontID = std::string(70, 'I');
    boxes.Copyright = std::string(130, 'C');
    boxes.TradeMark = std::string(130, 'T');
    const NameTexts derived = deriveNameTexts(boxes, "");
    EXPECT_EQ(derived.FullName.size(), 64u + 11u);
    FontNames names;
    names.Bold = true;
    storeNameTexts(derived, names);
    EXPECT_EQ(names.FamilyName, std::string(64, 'F'));
    EXPECT_EQ(names.FullName, std::string(64, 'F'));
    EXPECT_EQ(names.Postscript, std::string(64, 'F'));
    EXPECT_EQ(names.Style, "Extra Bold");
    EXPECT_EQ(names.Version.size(), 64u);
    EXPECT_EQ(names.FontID.size(), 64u);
    EXPECT_EQ(names.Copyright.size(), 127u);
    EXPECT_EQ(names.TradeMark.size(), 127u);
    EXPECT_TRUE(names.Bold) << "the style bits come from the file only";

    boxes.Style = std::string(40, 's');
    storeNameTexts(boxes, names);
    EXPECT_EQ(names.Style, std::string(32, 's'));
}

TEST(DeriveNames, BoxesShowTheRecordTexts) {
    FontNames names;
    names.FamilyName = "Fam";
    names.Style = "Bold";
    const NameTexts texts = nameTextsOf(names);
    EXPECT_EQ(texts.FamilyName, "Fam");
    EXPECT_EQ(texts.Style, "Bold");
    EXPECT_EQ(texts.Version, FontNames::kVersionResetText);
    FontNames back;
    storeNameTexts(texts, back);
    EXPECT_EQ(back, names);
}

struct CharRow {
    const char* name;
    char32_t c;
    bool familyStyle;
    bool fileName;
};

class KeystrokeCharsTest : public testing::TestWithParam<CharRow> {};

TEST_P(KeystrokeCharsTest, AcceptsOnlyItsCharacters) {
    EXPECT_EQ(isFamilyStyleChar(GetParam().c), GetParam().familyStyle);
    EXPECT_EQ(isFileNameChar(GetParam().c), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeystrokeCharsTest,
    testing::Values(CharRow{"UpperLetter", 'Q', true, true},
                    CharRow{"LowerLetter", 'z', true, true}, CharRow{"Digit", '7', true, true},
                    CharRow{"Blank", ' ', true, false}, CharRow{"Dot", '.', false, true},
                    CharRow{"Bang", '!', false, false}, CharRow{"Hyphen", '-', false, false},
                    CharRow{"EAcute", U'\u00E9', false, false}, CharRow{"Slash", '/', false, false},
                    CharRow{"CtrlC", 3, false, false}, CharRow{"Escape", 27, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeystrokeChars, TextCheckCoversEveryCharacter) {
    EXPECT_TRUE(isFamilyStyleText("Times New 2"));
    EXPECT_TRUE(isFamilyStyleText(""));
    EXPECT_FALSE(isFamilyStyleText("Times-New"));
    EXPECT_FALSE(isFamilyStyleText("Caf\xE9"));
}

struct FileNameRow {
    const char* name;
    std::string folder;
    std::string typed;
    bool valid;
    std::string path;
};

class NewFontPathTest : public testing::TestWithParam<FileNameRow> {};

TEST_P(NewFontPathTest, ChecksAndComposes) {
    const FileNameRow& row = GetParam();
    EXPECT_EQ(isValidNewFontName(row.typed), row.valid);
    if (row.valid) {
        EXPECT_EQ(composeNewFontPath(row.folder, row.typed), row.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewFontPathTest,
    testing::Values(
        FileNameRow{"EightLetters", "/fonts", "ABCDEFGH", true, "/fonts/ABCDEFGH.TTF"},
        FileNameRow{"EightWithExtension", "/fonts/", "ABCDEFGH.TTF", true, "/fonts/ABCDEFGH.TTF"},
        FileNameRow{"NineLetters", "/fonts", "ABCDEFGHI", false, ""},
        FileNameRow{"Empty", "/fonts", "", false, ""},
        FileNameRow{"DotAlone", "/fonts", ".", false, ""},
        FileNameRow{"OtherExtensionReplaced", "/fonts", "ABC.XYZ", true, "/fonts/ABC.TTF"},
        FileNameRow{"InnerDotKept", "/fonts", "A.B.TTF", true, "/fonts/A.B.TTF"},
        FileNameRow{"LowerCaseTyped", "/Fonts/New", "myfont", true, "/Fonts/New/MYFONT.TTF"},
        FileNameRow{"FolderCaseKept", "/home/Ann/Ä", "abc", true, "/home/Ann/Ä/ABC.TTF"},
        FileNameRow{"FolderPartNotCounted", "/f", "SUB/ABCDEFGH", true, "/f/SUB/ABCDEFGH.TTF"},
        FileNameRow{"DotInFolderIsNotAnExtension", "/my.fonts", "NEW", true, "/my.fonts/NEW.TTF"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CaptionRow {
    const char* name;
    std::size_t count;
    const char* caption;
};

class FontTotalCaptionTest : public testing::TestWithParam<CaptionRow> {};

TEST_P(FontTotalCaptionTest, PadsToFourDigits) {
    EXPECT_EQ(fontTotalCaption(GetParam().count), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Rows, FontTotalCaptionTest,
                         testing::Values(CaptionRow{"Empty", 0, "0000 Fonts"},
                                         CaptionRow{"Seven", 7, "0007 Fonts"},
                                         CaptionRow{"FourDigits", 1234, "1234 Fonts"},
                                         CaptionRow{"FiveDigits", 10000, "10000 Fonts"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
