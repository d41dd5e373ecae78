#include "core/FontReader.h"
#include "core/Windows1252.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

namespace {

struct Expected {
    std::string family, style;
    int macStyle = 0;
};

// fontTools parses every font independently; it reports the last English family and style
// records of each, as our reader keeps them.
std::map<std::string, Expected> FontToolsNames(const std::vector<std::string>& fonts) {
    std::string command = "/usr/bin/python3 - ";
    for (const auto& font : fonts)
        command += "'" + font + "' ";
    command = "cat <<'PY' | " + command + R"(
import sys
from fontTools.ttLib import TTFont
for path in sys.argv[1:]:
    f = TTFont(path, lazy=True)
    got = {}
    for r in f['name'].names:
        if ((r.platformID == 3 and r.langID == 1033) or (r.platformID == 1 and r.langID == 0)) and r.nameID in (1, 2):
            got[r.nameID] = r.toUnicode().strip()
    print(path, got.get(1, ''), got.get(2, ''), f['head'].macStyle, sep='\t')
PY
)";
    std::map<std::string, Expected> result;
    std::istringstream lines(testfonts::CommandOutput(command));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string path, macStyle;
        Expected e;
        std::getline(fields, path, '\t');
        std::getline(fields, e.family, '\t');
        std::getline(fields, e.style, '\t');
        std::getline(fields, macStyle, '\t');
        e.macStyle = std::stoi(macStyle);
        result[path] = e;
    }
    return result;
}

TEST(RealFonts, EveryTrueTypeFontOfTheMachineReadsLikeFontToolsReadsIt) {
    const auto fonts = testfonts::MachineTrueTypeFonts();
    ASSERT_GE(fonts.size(), 10u) << "Debian's font packages are missing";
    const auto expected = FontToolsNames(fonts);
    ASSERT_EQ(expected.size(), fonts.size());
    FontRead reader;
    for (const auto& font : fonts) {
        reader = ReadFontNames(font);
        ASSERT_FALSE(reader.ReadFailed) << font << ": " << reader.ErrorText;
        const Expected& e = expected.at(font);
        EXPECT_EQ(windows1252ToUtf8(reader.FontNames.FamilyName), e.family.substr(0, 64)) << font;
        EXPECT_EQ(windows1252ToUtf8(reader.FontNames.Style), e.style.substr(0, 32)) << font;
        EXPECT_EQ(reader.FontNames.Bold, (e.macStyle & 1) != 0) << font;
        EXPECT_EQ(reader.FontNames.Italic, (e.macStyle & 2) != 0) << font;
        EXPECT_FALSE(reader.IsRenamed) << font;
    }
}

TEST(RealFonts, KnownFontsGiveTheirNames) {
    FontRead reader = ReadFontNames("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(reader.ReadFailed);
    EXPECT_EQ(reader.FontNames.FamilyName, "DejaVu Sans");
    EXPECT_EQ(reader.FontNames.Style, "Book");
    EXPECT_EQ(reader.FontNames.Postscript, "DejaVuSans");
    EXPECT_EQ(reader.FontNames.TradeMark, "*** No TradeMark Found ***");

    reader = ReadFontNames("/usr/share/fonts/truetype/liberation/LiberationSerif-BoldItalic.ttf");
    ASSERT_FALSE(reader.ReadFailed);
    EXPECT_EQ(reader.FontNames.FullName, "Liberation Serif Bold Italic");
    EXPECT_TRUE(reader.FontNames.Bold);
    EXPECT_TRUE(reader.FontNames.Italic);
}

} // namespace
