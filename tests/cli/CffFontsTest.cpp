// CFF fonts are renamed whole: checked as users' software reads them, by fontTools and the
// browsers' font checker, over every CFF font of Debian's packages on the machine and a
// CID-keyed one.
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

std::vector<std::string> machineCffFonts() {
    std::vector<std::string> fonts;
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator("/usr/share/fonts", ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_regular_file(ignored) || it->path().extension() != ".otf")
            continue;
        const Bytes bytes = ReadFile(it->path().string());
        if (bytes.size() > 4 && std::string(bytes.begin(), bytes.begin() + 4) == "OTTO" &&
            FindEntry(bytes, "CFF "))
            fonts.push_back(it->path().string());
    }
    std::sort(fonts.begin(), fonts.end());
    return fonts;
}

// For each "source copy restored" triple, one line: "ok", or what fontTools found wrong. The
// copy's CFF FontName is its name ID 6, its Top DICT's FullName and FamilyName (where the
// source has them) its name IDs 4 and 1, its glyphs draw as the source's (through the moved
// Private DICTs and their subroutines); every other table is the source's, byte for byte; the
// restored file's tables are all the source's.
std::vector<std::string> fontToolsVerdicts(const std::string& triples) {
    return LinesOf(CommandOutput("cat <<'PY' | /usr/bin/python3 - " + triples + R"(
import sys
from fontTools.pens.recordingPen import RecordingPen
from fontTools.ttLib import TTFont
args = sys.argv[1:]
for source, copy, restored in zip(args[0::3], args[1::3], args[2::3]):
    s, c, r = TTFont(source), TTFont(copy), TTFont(restored)
    problems = []
    top, sourceTop = c['CFF '].cff.topDictIndex[0], s['CFF '].cff.topDictIndex[0]
    name = c['name']
    if c['CFF '].cff.fontNames != [name.getName(6, 3, 1, 0x409).toUnicode()]:
        problems.append('FontName %s' % c['CFF '].cff.fontNames)
    for key, nameID in (('FullName', 4), ('FamilyName', 1)):
        if hasattr(sourceTop, key) and getattr(top, key) != name.getName(nameID, 3, 1, 0x409).toUnicode():
            problems.append('%s %r' % (key, getattr(top, key)))
    for tag in s.reader.keys():
        if tag not in ('name', 'CFF ') and c.reader[tag] != s.reader[tag]:
            problems.append('copy changed ' + tag)
        if r.reader[tag] != s.reader[tag]:
            problems.append('restore changed ' + tag)
    copyGlyphs, sourceGlyphs = c.getGlyphSet(), s.getGlyphSet()
    for glyph in s.getGlyphOrder()[:40]:
        drawn, expected = RecordingPen(), RecordingPen()
        copyGlyphs[glyph].draw(drawn)
        sourceGlyphs[glyph].draw(expected)
        if drawn.value != expected.value:
            problems.append('glyph %s drawn differently' % glyph)
    print('; '.join(problems) or 'ok')
PY
)"));
}

// What ots-sanitize says of each file, one line each: its exit status and all it printed.
std::vector<std::string> otsVerdicts(const std::string& files) {
    return LinesOf(CommandOutput("for f in " + files +
                                 "; do said=$(ots-sanitize \"$f\" 2>&1); echo \"$? $said\" | "
                                 "tr '\\n' ' '; echo; done"));
}

TEST(CffFonts, everyCffFontOfTheMachineIsRenamedWholeAndRestoresByteForByte) {
    std::vector<std::string> fonts = machineCffFonts();
    ASSERT_GE(fonts.size(), 5u) << "fonts-cantarell and fonts-urw-base35 are missing";
    TempDir dir;
    // No CID-keyed font comes with the machine's packages: one is built.
    fonts.push_back(dir.File("cid.otf"));
    CommandOutput("/usr/bin/python3 " QM_SOURCE_DIR "/tests/cli/make_cid_font.py " + fonts.back());
    ASSERT_TRUE(std::filesystem::exists(fonts.back()));
    std::string triples;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const std::string copy = dir.File(std::to_string(i) + ".otf");
        const std::string restored = dir.File(std::to_string(i) + "-restored.otf");
        const CliOutcome made = runCommand({"make", fonts[i], copy, "--family", "Quill Demo"});
        ASSERT_EQ(made.status, 0) << fonts[i] << ": " << made.err;
        EXPECT_EQ(made.err, "") << fonts[i];
        const Bytes renamed = ReadFile(copy);
        ASSERT_EQ(runCommand({"restore", copy}).status, 0) << fonts[i];
        WriteFile(restored, ReadFile(copy));
        ASSERT_EQ(runCommand({"restore", copy}).status, 0) << fonts[i];
        ASSERT_EQ(ReadFile(copy), renamed) << fonts[i];
        triples += "'" + fonts[i] + "' '" + copy + "' '" + restored + "' ";
    }
    const std::vector<std::string> verdicts = fontToolsVerdicts(triples);
    ASSERT_EQ(verdicts.size(), fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i)
        EXPECT_EQ(verdicts[i], "ok") << fonts[i];
    // The checker says of the copy and of the restored file what it says of the source.
    const std::vector<std::string> ots = otsVerdicts(triples);
    ASSERT_EQ(ots.size(), 3 * fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        EXPECT_EQ(ots[3 * i + 1], ots[3 * i]) << fonts[i];
        EXPECT_EQ(ots[3 * i + 2], ots[3 * i]) << fonts[i];
    }
}

// A CFF table that cannot be parsed is left as it is: the copy is renamed in its name table,
// keeps the trailer every copy had, says what was not done, and restores.
TEST(CffFonts, aCffTableThatCannotBeParsedIsKeptAndNamedAsNotRenamed) {
    TempDir dir;
    Bytes font = ReadFile("/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf");
    const std::size_t entry = FindEntry(font, "CFF ").value();
    // The Name INDEX claims a second font.
    const std::uint32_t cff = GetU32(font, entry + 8);
    PutU16(font, cff + font[cff + 2], 2);
    WriteFile(dir.File("BROKEN.otf"), font);

    const CliOutcome made = runCommand(
        {"make", "--json", dir.File("BROKEN.otf"), dir.File("COPY.otf"), "--family", "Quill Demo"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.err.find("CFF table could not be renamed"), std::string::npos) << made.err;
    EXPECT_NE(made.out.find("\"Warnings\": [\"The CFF table could not be renamed"),
              std::string::npos)
        << made.out;
    EXPECT_NE(made.out.find("\"FamilyName\": \"Quill Demo\""), std::string::npos);
    const Bytes copy = ReadFile(dir.File("COPY.otf"));
    EXPECT_EQ(GetU32(copy, entry + 8), cff);
    EXPECT_EQ(GetU32(copy, copy.size() - 50), 0u);
    ASSERT_EQ(runCommand({"restore", dir.File("COPY.otf")}).status, 0);
    EXPECT_TRUE(std::equal(font.begin(), font.end(), ReadFile(dir.File("COPY.otf")).begin()));
    ASSERT_EQ(runCommand({"restore", dir.File("COPY.otf")}).status, 0);
    EXPECT_EQ(ReadFile(dir.File("COPY.otf")), copy);
}

} // namespace
