// read -r: a folder tree's fonts, collections face by face, listed as a read of the same files.
#include "core/WebFont.h"
#include "tests/cli/CliOutcome.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

TEST(FolderRead, listsEveryFontOfTheTreeAsAReadOfThemAndGoesOnPastOnesThatFail) {
    TempDir dir;
    const std::string tree = dir.File("tree");
    std::filesystem::create_directories(tree + "/b/c");
    const Bytes font = SimpleFont();
    // A collection of the font twice: the header, then the face with its offsets moved.
    Bytes collection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 20, 0, 0, 0, 20};
    collection.resize(20 + font.size());
    std::copy(font.begin(), font.end(), collection.begin() + 20);
    for (std::size_t i = 0; i < GetU16(font, 4); ++i)
        PutU32(collection, 20 + 12 + 16 * i + 8, GetU32(collection, 20 + 12 + 16 * i + 8) + 20);
    const std::string woff2 =
        qm::core::encodeWebFont(std::string(font.begin(), font.end()), qm::core::WebFormat::Woff2)
            .value();
    Bytes broken = font;
    broken.resize(40);

    WriteFile(tree + "/a.TTF", font);
    WriteFile(tree + "/b/faces.ttc", collection);
    WriteFile(tree + "/b/c/web.woff2", Bytes(woff2.begin(), woff2.end()));
    WriteFile(tree + "/b/broken.otf", broken);
    WriteFile(tree + "/b/notes.txt", font);
    std::filesystem::create_symlink(tree + "/a.TTF", tree + "/b/link.ttf");
    const std::vector<std::string> listed = {tree + "/a.TTF", tree + "/b/broken.otf",
                                             tree + "/b/c/web.woff2", tree + "/b/faces.ttc"};

    for (const bool json : {false, true}) {
        std::vector<std::string> walk = {"read", "-r", tree};
        std::vector<std::string> files = {"read"};
        files.insert(files.end(), listed.begin(), listed.end());
        if (json) {
            walk.insert(walk.begin() + 1, "--json");
            files.insert(files.begin() + 1, "--json");
        }
        const CliOutcome walked = runCommand(walk);
        const CliOutcome read = runCommand(files);
        EXPECT_EQ(walked.status, 1);
        EXPECT_EQ(walked.out, read.out);
        EXPECT_EQ(walked.err, "");
        EXPECT_NE(walked.out.find(json ? "\"Face\": 1" : "faces.ttc#1\n"), std::string::npos)
            << walked.out;
    }
}

} // namespace
