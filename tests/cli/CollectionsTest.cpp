// Collections (.ttc, .otc) built from the machine's fonts, renamed through the command line,
// read back by users' software and restored; and collections whose header lies.
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace testfonts;

namespace {

const std::string kFamily = "Quill \xC3\x9Cn\xC3\xAF"
                            "code";
const std::string kCheck = "/usr/bin/python3 " QM_SOURCE_DIR "/tests/cli/collection_check.py ";

// The names of a record of read --json, without its path, face and renamed flag.
std::string namesOf(const std::string& json) {
    const std::size_t start = json.find("\"FamilyName\"");
    return json.substr(start, json.find(", \"IsRenamed\"") - start);
}

bool startsWith(const Bytes& bytes, const Bytes& prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// A restore cut short after the state word named the source's side and one face's entry was
// written: the bytes such a run leaves.
void cutShortRestore(const std::string& path) {
    Bytes copy = ReadFile(path);
    const std::size_t size = copy.size();
    const std::size_t records = GetU32(copy, size - 8);
    PutU32(copy, size - 12, 1);
    const std::size_t entryAt = GetU32(copy, records);
    PutU32(copy, entryAt, GetU32(copy, records + 4));
    PutU32(copy, entryAt + 4, GetU32(copy, records + 8));
    WriteFile(path, copy);
}

TEST(Collections, everyFaceRenamedTablesStaySharedAndRestoreGivesBothSidesBack) {
    TempDir dir;
    const std::vector<std::string> sources =
        LinesOf(CommandOutput(kCheck + "build '" + dir.Path() + "'"));
    ASSERT_GE(sources.size(), 4u) << "Debian's font packages are missing";
    for (const std::string& source : sources) {
        const bool cff = source.substr(source.size() - 4) == ".otc";
        const std::string copy = dir.File(cff ? "copy.otc" : "copy.ttc");
        const std::string face = dir.File(cff ? "face.otf" : "face.ttf");
        const std::vector<std::string> faces = LinesOf(runCommand({"read", "--json", source}).out);
        ASSERT_GE(faces.size(), 1u) << source;
        const std::string last = std::to_string(faces.size() - 1);
        EXPECT_NE(faces.back().find("\"Face\": " + last), std::string::npos) << source;

        const CliOutcome made = runCommand({"make", source, copy, "--family", kFamily});
        ASSERT_EQ(made.status, 0) << source << ": " << made.err;
        EXPECT_EQ(LinesOf(made.out).size(), 10 * faces.size()) << source;
        const CliOutcome alone =
            runCommand({"make", "--face", last, source, face, "--family", kFamily});
        ASSERT_EQ(alone.status, 0) << source << ": " << alone.err;
        EXPECT_EQ(CommandOutput(kCheck + "check '" + kFamily + "' '" + source + "' '" + copy +
                                "' '" + face + "'"),
                  "ok\n")
            << source;

        // Restored, the copy is the source with a tail; again, the copy as made.
        const Bytes original = ReadFile(source);
        const Bytes renamed = ReadFile(copy);
        ASSERT_EQ(runCommand({"restore", copy}).status, 0) << source;
        EXPECT_TRUE(startsWith(ReadFile(copy), original)) << source;
        const std::vector<std::string> restored = LinesOf(runCommand({"read", "--json", copy}).out);
        ASSERT_EQ(restored.size(), faces.size()) << source;
        for (std::size_t i = 0; i < faces.size(); ++i)
            EXPECT_EQ(namesOf(restored[i]), namesOf(faces[i])) << source << "#" << i;
        ASSERT_EQ(runCommand({"restore", copy}).status, 0) << source;
        EXPECT_TRUE(ReadFile(copy) == renamed) << source;

        // A restore cut short is completed by the next, towards the side it was going to.
        cutShortRestore(copy);
        ASSERT_EQ(runCommand({"restore", copy}).status, 0) << source;
        EXPECT_TRUE(startsWith(ReadFile(copy), original)) << source;

        // The face made alone restores to the face's own names.
        const CliOutcome faceRestored = runCommand({"restore", "--json", face});
        ASSERT_EQ(faceRestored.status, 0) << source << ": " << faceRestored.err;
        EXPECT_EQ(namesOf(faceRestored.out), namesOf(faces.back())) << source;
        std::filesystem::remove(copy);
        std::filesystem::remove(face);
    }
}

// `font` wrapped as the only face of a collection, with `count` claimed and the face's
// directory at `faceOffset` (its own place when 0).
Bytes collectionOf(const Bytes& font, std::uint32_t count, std::uint32_t faceOffset = 0) {
    Bytes collection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU32(collection, 8, count);
    PutU32(collection, 12, faceOffset != 0 ? faceOffset : 16);
    const std::size_t numTables = GetU16(font, 4);
    collection.insert(collection.end(), font.begin(), font.end());
    for (std::size_t i = 0; i < numTables; ++i)
        PutU32(collection, 16 + 12 + 16 * i + 8, GetU32(collection, 16 + 12 + 16 * i + 8) + 16);
    return collection;
}

struct BadCollection {
    const char* name;
    Bytes bytes;
    std::string message;
};

TEST(Collections, aLyingHeaderIsNamedNothingIsWrittenAndTheRunGoesOn) {
    TempDir dir;
    const Bytes font = SimpleFont();
    const std::string good = dir.File("good.ttc");
    WriteFile(good, collectionOf(font, 1));
    const std::vector<BadCollection> cases = {
        {"pastTheEnd", collectionOf(font, 1, 1u << 30),
         "Face 0: its table directory lies beyond the end of the file."},
        {"noFaces", collectionOf(font, 0), "The collection claims 0 faces."},
        {"tooManyFaces", collectionOf(font, 100000), "The collection claims 100000 faces."},
        {"listPastTheEnd", Bytes{'t', 't', 'c', 'f', 0, 2, 0, 0, 0, 0, 0, 9, 0, 0, 0, 16},
         "The collection's list of faces runs past the end of the file."},
    };
    for (const BadCollection& bad : cases) {
        const std::string path = dir.File(std::string(bad.name) + ".ttc");
        WriteFile(path, bad.bytes);
        const CliOutcome read = runCommand({"read", "--json", path, good});
        EXPECT_EQ(read.status, 1) << bad.name;
        EXPECT_NE(read.out.find(bad.message), std::string::npos) << bad.name << ": " << read.out;
        EXPECT_NE(read.out.find("good.ttc\", \"ReadFailed\": false"), std::string::npos)
            << bad.name;

        const CliOutcome made = runCommand({"make", path, dir.File("out.ttc"), "--family", "X"});
        EXPECT_EQ(made.status, 1) << bad.name;
        EXPECT_NE(made.err.find(bad.message), std::string::npos) << bad.name << ": " << made.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.ttc"))) << bad.name;
    }

    const CliOutcome outOfRange = runCommand({"make", "--face", "1", good, dir.File("out.ttf")});
    EXPECT_EQ(outOfRange.status, 1);
    EXPECT_NE(outOfRange.err.find("There is no face 1; the collection has 1 face."),
              std::string::npos)
        << outOfRange.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.ttf")));
}

} // namespace
