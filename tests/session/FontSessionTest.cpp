// The session's load, make and restore: the outcome each returns, what it leaves on disk and
// what the session holds afterwards.

#include "session/FontSession.h"

#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using qm::session::Cue;
using qm::session::FontSession;
using qm::session::MessageKind;
using qm::session::OnDisk;
using qm::session::Outcome;

// The family each font's name table gives users' software: fontTools, name ID 1 of the
// Windows English records.
std::vector<std::string> fontToolsFamilies(const std::vector<std::string>& fonts) {
    std::string command = "cat <<'PY' | /usr/bin/python3 - ";
    for (const auto& font : fonts)
        command += "'" + font + "' ";
    command += R"(
import sys
from fontTools.ttLib import TTFont
for path in sys.argv[1:]:
    name = TTFont(path, lazy=True)['name']
    print(name.getName(1, 3, 1, 0x409) or '')
PY
)";
    std::vector<std::string> families;
    std::istringstream lines(testfonts::CommandOutput(command));
    for (std::string line; std::getline(lines, line);)
        families.push_back(line);
    return families;
}

FontSession sessionOn(const std::string& folder, const std::string& file = {}) {
    FontSession session;
    session.browse(folder);
    if (!file.empty()) {
        session.setCurrentPath(folder + "/" + file);
        EXPECT_TRUE(session.load().showNames);
        session.shown();
    }
    return session;
}

NameTexts boxesOf(const FontNames& names) {
    return {names.FamilyName, names.FullName, names.Style,     names.Postscript,
            names.Version,    names.FontID,   names.Copyright, names.TradeMark};
}

// Every TrueType font of the machine: a copy made with a new family reads with it, the first
// restore gives the copy back its source's names and the second the new ones again; each step
// moves the session to the copy and says what it did.
TEST(FontSessionTest, makeAndRestoreRoundTripEveryMachineFont) {
    const std::vector<std::string> fonts = testfonts::MachineTrueTypeFonts();
    ASSERT_FALSE(fonts.empty()) << "no TrueType fonts under /usr/share/fonts";
    const testfonts::TempDir out;
    std::vector<std::string> copies;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        SCOPED_TRACE(fonts[i]);
        FontSession session;
        session.browse(fs::path(fonts[i]).parent_path().string());
        session.setDestinationFolder(out.Path() + "/");
        session.setCurrentPath(fonts[i]);
        const Outcome loaded = session.load();
        if (!loaded.showNames) {
            // A font the window cannot rename is forgotten with the reason on the red panel.
            EXPECT_EQ(loaded.kind, MessageKind::FontPanel);
            EXPECT_EQ(loaded.path, fonts[i]);
            EXPECT_TRUE(session.currentPath().empty());
            continue;
        }
        session.shown();
        const FontNames source = session.font().FontNames;

        const auto plan = session.planMake("C" + std::to_string(i));
        ASSERT_EQ(plan.target, out.Path() + "/C" + std::to_string(i) + ".TTF");
        NameTexts boxes = boxesOf(source);
        boxes.FamilyName = "Session Check";
        const Outcome made = session.make(plan, boxes);
        ASSERT_EQ(made.disk, OnDisk::Created) << made.message;
        EXPECT_EQ(made.cue, Cue::Ok);
        EXPECT_EQ(session.currentPath(), plan.target);
        EXPECT_EQ(session.source(), plan.target);
        EXPECT_EQ(session.font().FontNames.FamilyName, "Session Check");
        EXPECT_EQ(session.font().FontNames.FamilyName,
                  ReadFontNames(plan.target).FontNames.FamilyName);

        const Outcome restored = session.restore();
        ASSERT_EQ(restored.disk, OnDisk::Swapped) << restored.message;
        EXPECT_EQ(restored.cue, Cue::Chimes);
        EXPECT_TRUE(restored.showNames);
        EXPECT_EQ(session.font().FontNames.FamilyName, source.FamilyName);
        EXPECT_EQ(session.font().FontNames.FullName, source.FullName);
        EXPECT_TRUE(session.font().IsRenamed);
        ASSERT_EQ(session.restore().disk, OnDisk::Swapped);
        EXPECT_EQ(session.font().FontNames.FamilyName, "Session Check");
        copies.push_back(plan.target);
    }
    ASSERT_FALSE(copies.empty());
    EXPECT_EQ(fontToolsFamilies(copies), std::vector<std::string>(copies.size(), "Session Check"));
}

// What may not be done says why and leaves every file and the session's font as they were.
TEST(FontSessionTest, refusedAndFailedStepsChangeNothing) {
    const testfonts::TempDir dir;
    testfonts::WriteFile(dir.File("SOURCE.TTF"), testfonts::SimpleFont());
    const testfonts::Bytes before = testfonts::ReadFile(dir.File("SOURCE.TTF"));

    EXPECT_EQ(FontSession().openMake().kind, MessageKind::Information);
    FontSession session = sessionOn(dir.Path(), "SOURCE.TTF");
    EXPECT_EQ(session.openMake().kind, MessageKind::None);

    for (const char* name : {"", "NINECHARS", "A/B"}) {
        const auto plan = session.planMake(name);
        EXPECT_TRUE(plan.target.empty()) << name;
        EXPECT_EQ(plan.refusal.cue, Cue::Ding) << name;
        EXPECT_EQ(plan.refusal.message, FontSession::kBadFileNameText) << name;
    }
    // Anything at the name, even a link to nothing, and the source's own name.
    fs::create_symlink(dir.File("NOWHERE"), dir.File("LINK.TTF"));
    for (const char* name : {"LINK", "source.ttf"}) {
        const auto plan = session.planMake(name);
        EXPECT_TRUE(plan.target.empty()) << name;
        EXPECT_EQ(plan.refusal.kind, MessageKind::Error) << name;
        EXPECT_EQ(plan.refusal.message, FontSession::kFileExistsText) << name;
    }
    // Taken between the check and the write.
    const auto raced = session.planMake("RACED");
    ASSERT_FALSE(raced.target.empty());
    testfonts::WriteFile(raced.target, {});
    EXPECT_EQ(session.make(raced, boxesOf(session.font().FontNames)).message,
              FontSession::kFileExistsText);
    EXPECT_EQ(fs::file_size(raced.target), 0u);

    // A destination folder gone meanwhile: the message names it.
    session.setDestinationFolder(dir.File("gone/"));
    const auto plan = session.planMake("NEW");
    ASSERT_EQ(plan.target, dir.File("gone/NEW.TTF"));
    const Outcome failed = session.make(plan, boxesOf(session.font().FontNames));
    EXPECT_EQ(failed.disk, OnDisk::Nothing);
    EXPECT_EQ(failed.kind, MessageKind::Error);
    EXPECT_EQ(failed.path, dir.File("gone/"));
    EXPECT_EQ(session.currentPath(), dir.File("SOURCE.TTF"));
    EXPECT_EQ(session.source(), dir.File("SOURCE.TTF"));

    // Never renamed: nothing to restore, and the window forgets the font.
    const Outcome restored = session.restore();
    EXPECT_EQ(restored.disk, OnDisk::Nothing);
    EXPECT_EQ(restored.message, FontSession::kNotValidText);
    EXPECT_TRUE(restored.forgetFont);
    EXPECT_TRUE(session.currentPath().empty());
    EXPECT_TRUE(session.source().empty());
    EXPECT_EQ(testfonts::ReadFile(dir.File("SOURCE.TTF")), before);
    // Nothing was left of the failed steps.
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"LINK.TTF", "RACED.TTF", "SOURCE.TTF"}));
}

// Makes go to the fixed destination folder while one is set, else to the folder browsed.
TEST(FontSessionTest, makesGoToTheFixedFolderElseTheBrowsedOne) {
    const testfonts::TempDir a, b;
    FontSession session;
    EXPECT_EQ(session.browse(a.Path()), a.Path() + "/");
    EXPECT_EQ(session.currentPath(), a.Path() + "/");
    session.fixDestination();
    EXPECT_EQ(session.browse(b.Path()), a.Path() + "/");
    EXPECT_EQ(session.planMake("x").target, a.Path() + "/X.TTF");
    session.followBrowsing();
    EXPECT_EQ(session.planMake("x.otf").target, b.Path() + "/X.TTF");
}

} // namespace
