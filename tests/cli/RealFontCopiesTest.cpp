// Every font of Debian's font packages on the machine, and a symbol font, renamed through the
// command line with texts beyond ASCII, read back by users' software and restored.
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

const std::string kFamily = "Quill \xC3\x9Cn\xC3\xAF"
                            "code";
const std::string kTradeMark = "Quill\xE2\x84\xA2 \xE2\x80\x9CMark\xE2\x80\x9D \xE2\x80\x94 "
                               "\xE2\x82\xAC";

std::vector<std::string> machineFonts() {
    std::vector<std::string> fonts;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("/usr/share/fonts")) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && !entry.is_symlink() && (ext == ".ttf" || ext == ".otf"))
            fonts.push_back(entry.path().string());
    }
    std::sort(fonts.begin(), fonts.end());
    return fonts;
}

// A file's bytes in one read: the fonts run to 30 MB.
Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The bytes the `name` directory entry points at.
Bytes nameTableOf(const Bytes& font) {
    const std::size_t entry = FindEntry(font, "name").value();
    const std::size_t offset = GetU32(font, entry + 8);
    return Bytes(font.begin() + static_cast<long>(offset),
                 font.begin() + static_cast<long>(offset + GetU32(font, entry + 12)));
}

TEST(RealFontCopies, keepEveryOtherRecordCarryTheNewNamesTrulyAndRestoreByteForByte) {
    std::vector<std::string> fonts = machineFonts();
    ASSERT_GE(fonts.size(), 100u) << "Debian's font packages are missing";
    TempDir dir;
    // The packages hold no symbol font: one is made from a real font.
    fonts.push_back(dir.File("symbol.ttf"));
    CommandOutput("/usr/bin/python3 " QM_SOURCE_DIR "/tests/cli/make_symbol_font.py "
                  "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " +
                  fonts.back());
    std::string pairs;
    std::vector<std::string> copies;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const std::string& font = fonts[i];
        copies.push_back(dir.File(std::to_string(i) + font.substr(font.rfind('.'))));
        const CliOutcome made = runCommand(
            {"make", font, copies.back(), "--family", kFamily, "--trademark", kTradeMark});
        ASSERT_EQ(made.status, 0) << font << ": " << made.err;
        EXPECT_EQ(made.err, "") << font;
        pairs += " '" + font + "' '" + copies.back() + "'";
    }

    const std::string checked =
        CommandOutput("/usr/bin/python3 " QM_SOURCE_DIR "/tests/cli/renamed_copy_check.py '" +
                      kFamily + "' '" + kTradeMark + "'" + pairs);
    EXPECT_EQ(checked, "checked " + std::to_string(fonts.size()) + " copies\n");

    // A restore shows the source's own table; a second gives the copy back as it was made.
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const Bytes made = fileBytes(copies[i]);
        ASSERT_EQ(runCommand({"restore", copies[i]}).status, 0) << fonts[i];
        EXPECT_EQ(nameTableOf(fileBytes(copies[i])), nameTableOf(fileBytes(fonts[i]))) << fonts[i];
        ASSERT_EQ(runCommand({"restore", copies[i]}).status, 0) << fonts[i];
        EXPECT_TRUE(fileBytes(copies[i]) == made) << fonts[i];
        std::filesystem::remove(copies[i]);
    }
}

} // namespace
