#include "cli/CliCommands.h"
#include "core/FullNameTexts.h"
#include "core/NamingRules.h"
#include "core/RenamedFontWriter.h"
#include "core/Windows1252.h"
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace testfonts;

namespace {

// What fontTools finds in a file: each name record as "platform/encoding/language/nameID=text"
// (texts as UTF-8, newlines as \n), then "cff" when the font has CFF outlines.
std::string fontToolsView(const std::string& path) {
    return CommandOutput("/usr/bin/python3 - '" + path + R"(' <<'PY'
import sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1])
for r in f['name'].names:
    text = r.toUnicode().replace('\n', '\\n')
    print(f'{r.platformID}/{r.platEncID}/{r.langID}/{r.nameID}={text}')
if 'CFF ' in f:
    f['CFF '].cff[0].CharStrings  # the outlines parse
    print('cff')
PY
)");
}

std::string fcQuery(const std::string& path, const std::string& format) {
    return CommandOutput("fc-query -f '" + format + "' '" + path + "'");
}

const std::string DejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TEST(FullTexts, fieldsNotGivenKeepTheSourcesOwnRecords) {
    TempDir dir;
    const std::string copy = dir.File("QUILL.TTF");
    const CliOutcome made =
        runCommand({"make", "--json", DejaVuSans, copy, "--family", "Quill Demo"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");
    EXPECT_EQ(made.out.find("\"Cut\""), std::string::npos);
    const std::string source = fontToolsView(DejaVuSans);
    const std::string copied = fontToolsView(copy);
    // The source's copyright (longer than the window's 127 characters, ending in a newline)
    // in both records, as the source has it.
    for (const char* record : {"3/1/1033/0=", "1/0/0/0="}) {
        const std::size_t at = source.find(record);
        ASSERT_NE(at, std::string::npos);
        const std::string line = source.substr(at, source.find('\n', at) + 1 - at);
        ASSERT_GT(line.size(), 127u);
        EXPECT_EQ(line.substr(line.size() - 3), "\\n\n");
        EXPECT_NE(copied.find(line), std::string::npos) << copied;
    }
}

TEST(FullTexts, namesInAnyScriptAreWrittenWholeToTheUnicodeRecords) {
    TempDir dir;
    // Japanese, Greek and Cyrillic family; a style Windows-1252 holds.
    const std::string family = "\xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
                               "\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C";
    const std::string copy = dir.File("COPY.TTF");
    const CliOutcome made =
        runCommand({"make", "--json", DejaVuSans, copy, "--family", family, "--style", "Bold"});
    ASSERT_EQ(made.status, 0) << made.err;
    const CliOutcome read = runCommand({"read", "--json", copy});
    EXPECT_NE(read.out.find("\"FamilyName\": \"" + family + "\""), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("\"FullName\": \"" + family + " Bold\""), std::string::npos);
    const std::string view = fontToolsView(copy);
    EXPECT_NE(view.find("3/1/1033/1=" + family + "\n"), std::string::npos) << view;
    EXPECT_NE(view.find("3/1/1033/4=" + family + " Bold\n"), std::string::npos) << view;
    // The Macintosh records are Macintosh Roman: '?' for what it cannot hold.
    EXPECT_NE(view.find("1/0/0/1=?? \xCE\xA9???? ?????\n"), std::string::npos) << view;
    EXPECT_NE(view.find("1/0/0/2=Bold\n"), std::string::npos) << view;
    EXPECT_EQ(fcQuery(copy, "%{family[0]}|%{style[0]}"), family + "|Bold");
    // The PostScript name holds printable ASCII only, the same in both records.
    const std::size_t at = view.find("3/1/1033/6=");
    ASSERT_NE(at, std::string::npos);
    const std::string postscript = view.substr(at + 11, view.find('\n', at) - at - 11);
    EXPECT_NE(view.find("1/0/0/6=" + postscript + "\n"), std::string::npos) << view;
    EXPECT_EQ(postscript.rfind("u65E5u672C", 0), 0u) << postscript;
    EXPECT_EQ(postscript.substr(postscript.size() - 5), "-Bold");
    for (char c : postscript)
        EXPECT_TRUE(c > ' ' && c < 0x7F &&
                    std::string_view("[](){}<>/%").find(c) == std::string_view::npos)
            << postscript;
}

TEST(FullTexts, instancePostscriptNamesFollowTheNewPrefix) {
    TempDir dir;
    // Inter's instances, given PostScript names of their own as many variable fonts have.
    const std::string source = dir.File("NAMED.TTF");
    CommandOutput("/usr/bin/python3 - '" + source + R"(' <<'PY'
import sys
from fontTools.ttLib import TTFont
f = TTFont('/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf')
n = f['name']
for i in f['fvar'].instances:
    style = n.getName(i.subfamilyNameID, 3, 1, 0x409).toUnicode().replace(' ', '')
    i.postscriptNameID = n.addName('Inter-' + style)
f.save(sys.argv[1])
PY
)");
    const std::string copy = dir.File("COPY.TTF");
    ASSERT_EQ(runCommand({"make", source, copy, "--family", "Quill Demo"}).status, 0);
    const std::string names = CommandOutput("/usr/bin/python3 - '" + copy + R"(' <<'PY'
import sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1])
n = f['name']
print(' '.join(n.getName(i.postscriptNameID, 3, 1, 0x409).toUnicode()
               for i in f['fvar'].instances))
print(n.getName(25, 3, 1, 0x409))
PY
)");
    EXPECT_EQ(names, "QuillDemo-Thin QuillDemo-ExtraLight QuillDemo-Light QuillDemo-Regular "
                     "QuillDemo-Medium QuillDemo-SemiBold QuillDemo-Bold QuillDemo-ExtraBold "
                     "QuillDemo-Black\nQuillDemo\n");
}

TEST(FullTexts, textsTooLongForTheTableAreCutAndSaidToBe) {
    TempDir dir;
    // Either fits one string; together they overrun the 16-bit string offsets.
    const std::string copyright(30000, 'C');
    const std::string trademark(30000, 'T');
    const std::string version = "Version 9 \xE2\x80\x94 whole";
    const std::string copy = dir.File("LONG.TTF");
    const CliOutcome made = runCommand({"make", "--json", DejaVuSans, copy, "--copyright",
                                        copyright, "--trademark", trademark, "--version", version});
    ASSERT_EQ(made.status, 0) << made.err;
    const CliOutcome read = runCommand({"read", "--json", copy});
    ASSERT_EQ(read.status, 0) << read.err;
    // Every field said to be cut comes back as a shorter start of what was given; every other
    // field comes back whole.
    const std::pair<const char*, const std::string*> given[] = {
        {"Copyright", &copyright}, {"TradeMark", &trademark}, {"Version", &version}};
    int cut = 0;
    for (const auto& [key, text] : given) {
        const std::string marker = std::string("\"") + key + "\": \"";
        const std::size_t at = read.out.find(marker);
        ASSERT_NE(at, std::string::npos) << key;
        const std::string back = read.out.substr(
            at + marker.size(), read.out.find('"', at + marker.size()) - at - marker.size());
        const bool saidCut = made.out.find("\"" + std::string(key) + "\"]") != std::string::npos ||
                             made.out.find("\"" + std::string(key) + "\", ") != std::string::npos;
        if (saidCut) {
            ++cut;
            EXPECT_LT(back.size(), text->size()) << key;
            EXPECT_EQ(text->compare(0, back.size(), back), 0) << key;
            EXPECT_NE(made.err.find(key), std::string::npos) << made.err;
        } else {
            EXPECT_EQ(back, *text) << key;
        }
    }
    EXPECT_GE(cut, 1) << made.out;
    EXPECT_NE(made.out.find("\"Cut\": [\""), std::string::npos) << made.out;
    // fontTools reads every record of the copy.
    EXPECT_NE(fontToolsView(copy).find("3/1/1033/6="), std::string::npos);
}

TEST(FullTexts, openTypeCffFamiliesAreRenamedAndRestored) {
    const std::string urw = "/usr/share/fonts/opentype/urw-base35/";
    const std::vector<std::string> family = {
        urw + "NimbusSans-Regular.otf", urw + "NimbusSans-Bold.otf", urw + "NimbusSans-Italic.otf",
        urw + "NimbusSans-BoldItalic.otf"};
    TempDir dir;
    std::vector<std::string> args = {"make",      "--json",    "--family",
                                     "Quill Cff", "--out-dir", dir.Path()};
    args.insert(args.end(), family.begin(), family.end());
    const CliOutcome made = runCommand(args);
    ASSERT_EQ(made.status, 0) << made.err;
    std::vector<std::string> copies;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        copies.push_back(entry.path().string());
    std::sort(copies.begin(), copies.end());
    ASSERT_EQ(copies.size(), 4u);
    for (const std::string& copy : copies) {
        EXPECT_EQ(copy.substr(copy.size() - 4), ".otf");
        const std::string view = fontToolsView(copy);
        EXPECT_NE(view.find("3/1/1033/1=Quill Cff\n"), std::string::npos) << view;
        EXPECT_NE(view.find("\ncff\n"), std::string::npos) << view;
        EXPECT_EQ(fcQuery(copy, "%{family[0]}|%{fontformat}"), "Quill Cff|CFF");
    }

    std::vector<std::string> restore = {"restore"};
    restore.insert(restore.end(), copies.begin(), copies.end());
    ASSERT_EQ(runCommand(restore).status, 0);
    for (const std::string& copy : copies)
        EXPECT_EQ(fcQuery(copy, "%{family[0]}"), "Nimbus Sans") << copy;
}

} // namespace

namespace {

// The texts a new family makes the window write: the family, style, full and PostScript names.
bool windowWouldWriteWhole(const FullNameTexts& texts) {
    for (unsigned k : {1u, 2u, 4u, 6u})
        if (texts[k].size() > capacityOfNameID(k) ||
            windows1252ToUtf32(utf32ToWindows1252(texts[k])) != texts[k])
            return false;
    return true;
}

// For every TrueType font of the machine: where the window could hold the names a new family
// rewrites, the command line's copy is byte for byte the window's (the other names are the
// source's own records in both); where it could not, the copies differ.
TEST(FullTexts, copiesAreTheWindowsWheneverTheWindowCouldHoldEveryText) {
    TempDir dir;
    int same = 0;
    int different = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("/usr/share/fonts")) {
        if (!entry.is_regular_file() || entry.is_symlink() || entry.path().extension() != ".ttf" ||
            entry.file_size() > 2'000'000)
            continue;
        const std::string font = entry.path().string();
        // The window: the boxes after a read, a new family typed, derived, stored, written.
        FontRead read = ReadFontNames(font);
        ASSERT_FALSE(read.ReadFailed) << font;
        NameTexts boxes = nameTextsOf(read.FontNames);
        boxes.FamilyName = "Quill Demo";
        storeNameTexts(deriveNameTexts(boxes, read.FontNames.FamilyName), read.FontNames);
        const std::string window = dir.File("WINDOW.TTF");
        const std::string cli = dir.File("CLI.TTF");
        WriteRenamedFont(font, window, read.FontNames);
        ASSERT_EQ(runCommand({"make", font, cli, "--family", "Quill Demo"}).status, 0) << font;

        FullNameTexts texts = readFullNameTexts(listFontNameTables(font).live);
        texts[1] = U"Quill Demo";
        if (windowWouldWriteWhole(texts)) {
            EXPECT_EQ(ReadFile(cli), ReadFile(window)) << font;
            ++same;
        } else {
            EXPECT_NE(ReadFile(cli), ReadFile(window)) << font;
            ++different;
        }
        std::filesystem::remove(window);
        std::filesystem::remove(cli);
    }
    EXPECT_GE(same, 10);
    EXPECT_GE(same + different, 50);
}

TEST(FullTexts, theWindowsReaderKeepsRefusingCffFonts) {
    const std::string otf = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf";
    const FontRead window = ReadFontNames(otf);
    EXPECT_TRUE(window.ReadFailed);
    EXPECT_EQ(window.ErrorText, FontRead::kNotTrueTypeText);
    const FontRead cli = ReadFontNames(otf, FontKinds::TrueTypeAndCff);
    EXPECT_FALSE(cli.ReadFailed) << cli.ErrorText;
    EXPECT_EQ(cli.FontNames.FamilyName, "Nimbus Sans");
}

} // namespace
