// The session's load, make and restore: the outcome each returns, what it leaves on disk and
// what the session holds afterwards.

#include "session/FontSession.h"

#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FullNameTexts.h"

#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using qm::session::CopyPlan;
using qm::session::Cue;
using qm::session::FontSession;
using qm::session::kCommandLineRules;
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

// A copy planned as the command line plans one: the source's whole texts, with a new family.
CopyPlan copyOf(const std::string& source, const std::string& target) {
    CopyPlan copy;
    copy.source = source;
    copy.target = target;
    FullNameTextsUtf8 texts;
    std::string problem;
    const FileHandle file = FileHandle::openShared(source);
    EXPECT_TRUE(readFullNameTexts(FileFontBytes(file), texts, problem)) << source << problem;
    qm::session::planTexts(texts, {{&NameTexts::FamilyName, "Run Check"}}, copy.newTexts,
                           copy.sourceTexts, copy.postscript);
    return copy;
}

// The command line's runs: a make or a restore of several fonts, TrueType and CFF, changes
// every file or none, and names the one file that stopped it before the others are taken back.
// The window's rules restore the same files with its own words, and TrueType only.
TEST(FontSessionTest, runsOverSeveralFontsAreAllOrNothing) {
    std::vector<std::string> sources = testfonts::MachineTrueTypeFonts();
    ASSERT_GE(sources.size(), 3u);
    sources.resize(3);
    sources.push_back("/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf");
    const testfonts::TempDir dir;
    // A restore of several files keeps its journal here, not in the user's state folder.
    const testfonts::TempDir state;
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    std::vector<CopyPlan> copies;
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        copies.push_back(copyOf(sources[i], dir.File("C" + std::to_string(i) +
                                                     fs::path(sources[i]).extension().string())));
        targets.push_back(copies.back().target);
    }
    std::vector<std::string> seen;
    const auto note = [&](const std::string& path, const Outcome& outcome) {
        seen.push_back(path + ": " + outcome.message);
    };
    const auto filesIn = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    };

    // The last copy's name is taken: the copies before it are taken back.
    testfonts::WriteFile(targets.back(), {1, 2, 3});
    qm::session::Run made = qm::session::makeAll(copies, kCommandLineRules, note);
    ASSERT_TRUE(made.failure);
    EXPECT_EQ(made.failure->first, targets.back());
    EXPECT_EQ(seen,
              std::vector<std::string>{targets.back() + ": " + kCommandLineRules.fileExistsText});
    EXPECT_TRUE(made.left.empty());
    EXPECT_EQ(filesIn(), std::vector<std::string>{targets.back()});

    fs::remove(targets.back());
    seen.clear();
    made = qm::session::makeAll(copies, kCommandLineRules, note);
    ASSERT_FALSE(made.failure) << made.failure->second.message;
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(filesIn(), targets);
    EXPECT_EQ(fontToolsFamilies(targets), std::vector<std::string>(targets.size(), "Run Check"));

    // A font never renamed at the end: every copy is swapped back as it was.
    std::vector<testfonts::Bytes> renamed;
    for (const auto& target : targets)
        renamed.push_back(testfonts::ReadFile(target));
    const std::string plain = dir.File("PLAIN.TTF");
    fs::copy_file(sources[0], plain);
    std::vector<std::string> paths = targets;
    paths.push_back(plain);
    qm::session::RestoreRun restored = qm::session::restoreAll(paths, kCommandLineRules, note);
    ASSERT_TRUE(restored.failure);
    EXPECT_EQ(seen, std::vector<std::string>{plain + ": " + SwapResult::kNotRenamedText});
    EXPECT_TRUE(restored.left.empty());
    for (std::size_t i = 0; i < targets.size(); ++i)
        EXPECT_EQ(testfonts::ReadFile(targets[i]), renamed[i]) << targets[i];
    // The window says its own words of the same file, and takes no CFF font.
    const qm::session::Restored inWindow = restoreFile(plain, qm::session::kWindowRules);
    EXPECT_EQ(inWindow.outcome.message, FontSession::kNotValidText);
    EXPECT_TRUE(inWindow.outcome.forgetFont);
    EXPECT_EQ(restoreFile(targets.back(), qm::session::kWindowRules).outcome.disk, OnDisk::Nothing);
    EXPECT_EQ(testfonts::ReadFile(targets.back()), renamed.back());

    // Without it, every copy reads as its source again.
    restored = qm::session::restoreAll(targets, kCommandLineRules, note);
    ASSERT_FALSE(restored.failure) << restored.failure->second.message;
    ASSERT_EQ(restored.restored.size(), targets.size());
    EXPECT_EQ(fontToolsFamilies(targets), fontToolsFamilies(sources));
    for (std::size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(restored.restored[i].second.read.FontNames.FamilyName,
                  ReadFontNames(sources[i], kCommandLineRules.kinds).FontNames.FamilyName);
}

} // namespace
