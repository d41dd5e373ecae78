// Web fonts (.woff, .woff2) made from the machine's fonts, renamed through the command line in
// their own format and read back by users' software; and web fonts that lie or do not decode.
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

const std::string kFamily = "Quill \xC3\x9Cn\xC3\xAF"
                            "code";
const std::string kCheck = "/usr/bin/python3 " QM_SOURCE_DIR "/tests/cli/webfont_check.py ";
const std::string kRestoreRefused =
    "A web font cannot be restored in place; its source was never changed.";

std::string extensionOf(const std::string& path) {
    return std::filesystem::path(path).extension().string();
}

TEST(WebFonts, renamedInTheirOwnFormatTheyCarryTheNewNamesAndEveryOtherTableAndNeverRestore) {
    TempDir dir;
    const std::vector<std::string> sources =
        LinesOf(CommandOutput(kCheck + "build '" + dir.Path() + "'"));
    ASSERT_GE(sources.size(), 10u) << "Debian's font packages or woff2 are missing";
    std::string pairs;
    std::vector<std::string> copies;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        copies.push_back(dir.File("copy" + std::to_string(i) + extensionOf(sources[i])));
        const CliOutcome made =
            runCommand({"make", sources[i], copies.back(), "--family", kFamily});
        ASSERT_EQ(made.status, 0) << sources[i] << ": " << made.err;
        EXPECT_EQ(made.err, "") << sources[i];
        pairs += " '" + sources[i] + "' '" + copies.back() + "'";
    }
    EXPECT_EQ(CommandOutput(kCheck + "check '" + kFamily + "'" + pairs), "ok\n");

    for (const std::string& copy : copies) {
        const Bytes made = ReadFile(copy);
        const CliOutcome restored = runCommand({"restore", copy});
        EXPECT_EQ(restored.status, 1) << copy;
        EXPECT_NE(restored.err.find(kRestoreRefused), std::string::npos) << restored.err;
        EXPECT_TRUE(ReadFile(copy) == made) << copy;
    }

    // --out-dir keeps the source's format in the name.
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    const CliOutcome family =
        runCommand({"make", "--json", "--family", "Web Demo", "--out-dir", out, sources[0]});
    ASSERT_EQ(family.status, 0) << family.err;
    EXPECT_NE(family.out.find(extensionOf(sources[0]) + "\", \"ReadFailed\": false"),
              std::string::npos)
        << family.out;
}

struct BadWebFont {
    const char* name;
    Bytes bytes;
    std::string message;
};

TEST(WebFonts, aWebFontThatLiesOrDoesNotDecodeIsNamedNothingIsWrittenAndTheRunGoesOn) {
    TempDir dir;
    const std::string font = dir.File("Font.sfnt");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", font);
    CommandOutput("woff2_compress '" + font +
                  "' >/dev/null 2>&1; /usr/bin/python3 -c \"from "
                  "fontTools.ttLib import TTFont; f = TTFont('" +
                  font + "'); f.flavor = 'woff'; f.save('" + dir.File("Font.woff") + "')\"");
    const Bytes woff2 = ReadFile(dir.File("Font.woff2"));
    const Bytes woff = ReadFile(dir.File("Font.woff"));
    ASSERT_GT(woff2.size(), 1000u) << "woff2_compress is missing";
    const auto with = [](Bytes bytes, std::size_t at, std::uint32_t value) {
        PutU32(bytes, at, value);
        return bytes;
    };
    Bytes scrambled = woff2;
    std::fill(scrambled.begin() + 200, scrambled.begin() + 400, 0x5A);
    const std::uint32_t decoded = GetU32(woff2, 16);
    const std::vector<BadWebFont> cases = {
        {"woff2ClaimsLess", with(woff2, 16, decoded - 1000), "WOFF2 font's decoded size lies"},
        {"woff2ClaimsMore", with(woff2, 16, decoded + 4), "WOFF2 font's decoded size lies"},
        {"woff2ClaimsTwoGigabytes", with(woff2, 16, 0x80000000u),
         "WOFF2 font claims to decode to 2147483648 bytes"},
        {"woff2Scrambled", scrambled, "The WOFF2 font does not decode."},
        {"woffClaimsMore", with(woff, 16, GetU32(woff, 16) + 4), "WOFF font's decoded size lies"},
        {"woffTableClaimsGigabytes", with(woff, 44 + 12, 0x40000000u),
         "The WOFF font's table 0 does not fit the file."},
        {"woffCutShort", Bytes(woff.begin(), woff.begin() + 100),
         "The WOFF font's header does not match its size."},
    };
    const std::string good = dir.File("Font.woff2");
    for (const BadWebFont& bad : cases) {
        const std::string path =
            dir.File(std::string(bad.name) +
                     (bad.message.find("WOFF2") != std::string::npos ? ".woff2" : ".woff"));
        WriteFile(path, bad.bytes);
        const CliOutcome read = runCommand({"read", "--json", path, good});
        EXPECT_EQ(read.status, 1) << bad.name;
        EXPECT_NE(read.out.find(bad.message), std::string::npos) << bad.name << ": " << read.out;
        EXPECT_NE(read.out.find("Font.woff2\", \"ReadFailed\": false"), std::string::npos)
            << bad.name;

        const std::string out = dir.File("out" + extensionOf(path));
        const CliOutcome made = runCommand({"make", path, out, "--family", "X"});
        EXPECT_EQ(made.status, 1) << bad.name;
        EXPECT_NE(made.err.find(bad.message), std::string::npos) << bad.name << ": " << made.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << bad.name;
    }
}

} // namespace
