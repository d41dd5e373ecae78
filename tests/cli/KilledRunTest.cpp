// Runs over several files killed outright (SIGKILL: no handler runs) at each write, sync and
// rename they make: the next run must leave every file exactly as a run that was never killed
// does, deciding by what each file holds.
#include "tests/cli/TracedCli.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfonts;
using namespace tracedcli;

namespace {

// TrueType and CFF outlines, from three families.
const std::vector<std::string> kSources = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "/usr/share/fonts/opentype/cantarell/Cantarell-Bold.otf",
};
// The calls that change or publish a file, and sync it.
const std::vector<std::string> kCalls = {"pwrite64", "fsync", "rename", "linkat"};

struct Ran {
    int status = 0;
    std::string errors;
};

// quillmark-cli under strace with `straceOptions`; the wait status is the program's own.
Ran runCli(const std::vector<std::string>& straceOptions, const std::vector<std::string>& args,
           const std::string& errors) {
    Ran ran;
    ran.status = runTraced(straceOptions, args, errors);
    std::ifstream in(errors);
    ran.errors.assign(std::istreambuf_iterator<char>(in), {});
    return ran;
}

int exitOf(const Ran& ran) {
    return WIFEXITED(ran.status) ? WEXITSTATUS(ran.status) : -WTERMSIG(ran.status);
}

// Each file's family as fontTools reads it (name ID 1, the best record), a line each;
// "unreadable" for a file it cannot read.
std::string familiesOf(const std::vector<std::string>& paths) {
    std::string quoted;
    for (const std::string& path : paths)
        quoted += " '" + path + "'";
    return CommandOutput("/usr/bin/python3 - " + quoted + R"( <<'PY'
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection
for path in sys.argv[1:]:
    try:
        font = TTCollection(path).fonts[0] if path.endswith(".ttc") else TTFont(path)
        print(font["name"].getBestFamilyName())
    except Exception as error:
        print("unreadable", error)
PY)");
}

std::string journalFolder() {
    return std::string(std::getenv("XDG_STATE_HOME")) + "/quillmark";
}

std::vector<std::string> journals() {
    std::vector<std::string> found;
    if (std::filesystem::exists(journalFolder()))
        for (const auto& entry : std::filesystem::directory_iterator(journalFolder()))
            found.push_back(entry.path().string());
    return found;
}

class KilledRestore : public testing::Test {
protected:
    void SetUp() override {
        // A collection too, whose faces all swap at once.
        sources_ = kSources;
        sources_.push_back(logs_.File("source.ttc"));
        CommandOutput("/usr/bin/python3 - '" + sources_.back() + "' '" + kSources[0] + "' '" +
                      kSources[3] + R"(' <<'PY'
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection
collection = TTCollection()
collection.fonts = [TTFont(path) for path in sys.argv[2:]]
collection.save(sys.argv[1])
PY)");
        for (std::size_t i = 0; i < sources_.size(); ++i) {
            copies_.push_back(dir_.File("copy" + std::to_string(i) +
                                        std::filesystem::path(sources_[i]).extension().string()));
            ASSERT_EQ(exitOf(runCli({},
                                    {"make", "--family", "Quill Kill " + std::to_string(i),
                                     sources_[i], copies_.back()},
                                    logs_.File("make"))),
                      0);
        }
        renamed_ = contentsOf(dir_.Path());
        args_ = {"restore"};
        args_.insert(args_.end(), copies_.begin(), copies_.end());
        ASSERT_EQ(exitOf(runCli({}, args_, logs_.File("restore"))), 0);
        restored_ = contentsOf(dir_.Path());
        ASSERT_TRUE(journals().empty());
        // What users' software reads of a restore never killed: the sources' families.
        sourceFamilies_ = familiesOf(sources_);
        ASSERT_EQ(familiesOf(copies_), sourceFamilies_);
    }
    void TearDown() override {
        for (const std::string& journal : journals())
            std::filesystem::remove(journal);
    }
    void putBack() {
        for (const auto& [name, bytes] : renamed_)
            WriteFile(dir_.File(name), bytes);
    }
    Ran killedAt(const std::string& call, int n) {
        putBack();
        return runCli({"-e", "inject=" + call + ":signal=SIGKILL:when=" + std::to_string(n)}, args_,
                      logs_.File("killed"));
    }

    TempDir dir_;
    TempDir logs_;
    std::vector<std::string> sources_;
    std::vector<std::string> copies_;
    std::vector<std::string> args_;
    std::map<std::string, Bytes> renamed_;
    std::map<std::string, Bytes> restored_;
    std::string sourceFamilies_;
};

TEST_F(KilledRestore, theSameCommandAgainFinishesTheRunWhereverTheKillCame) {
    int killedMidRun = 0;
    for (const auto& [call, count] : callCounts(kCalls, args_, logs_.File("calls")))
        for (int n = 1; n <= count; ++n) {
            const std::string where = call + " #" + std::to_string(n);
            const Ran killed = killedAt(call, n);
            ASSERT_EQ(exitOf(killed), -SIGKILL) << where;
            // Every file reads, as the copy or as its source.
            const std::vector<std::string> families = LinesOf(familiesOf(copies_));
            const std::vector<std::string> sources = LinesOf(sourceFamilies_);
            ASSERT_EQ(families.size(), copies_.size()) << where;
            int swapped = 0;
            for (std::size_t i = 0; i < families.size(); ++i) {
                swapped += families[i] == sources[i];
                EXPECT_TRUE(families[i] == sources[i] ||
                            families[i] == "Quill Kill " + std::to_string(i))
                    << where << ": " << families[i];
            }
            if (swapped > 0 && swapped < static_cast<int>(copies_.size()))
                ++killedMidRun;

            const Ran again = runCli({}, args_, logs_.File("again"));
            EXPECT_EQ(exitOf(again), 0) << where << again.errors;
            EXPECT_EQ(contentsOf(dir_.Path()), restored_) << where << again.errors;
            EXPECT_TRUE(journals().empty()) << where;
            // Finished, nothing is left to finish: the next restore swaps every file back.
            ASSERT_EQ(exitOf(runCli({}, args_, logs_.File("back"))), 0) << where;
            EXPECT_EQ(contentsOf(dir_.Path()), renamed_) << where;
        }
    EXPECT_GE(killedMidRun, 4);
}

TEST_F(KilledRestore, aJournalIsNotFollowedWhenAFileIsAwayOrTheJournalIsNotSound) {
    // Killed in the third file's swap: two files swapped, the others not.
    ASSERT_EQ(exitOf(killedAt("pwrite64", 7)), -SIGKILL);
    ASSERT_EQ(journals().size(), 1u);
    const std::string journal = journals().front();
    const auto killed = contentsOf(dir_.Path());

    // The stick is not back: one file missing. Nothing is touched, the journal stays, and
    // the message names the file and the journal.
    const std::string away = logs_.File("away");
    std::filesystem::rename(copies_[3], away);
    const Ran missing = runCli({}, {"restore", copies_[0]}, logs_.File("missing"));
    EXPECT_EQ(exitOf(missing), 1);
    EXPECT_NE(missing.errors.find(copies_[3] + ": missing"), std::string::npos) << missing.errors;
    EXPECT_NE(missing.errors.find(journal), std::string::npos) << missing.errors;
    std::filesystem::rename(away, copies_[3]);
    EXPECT_EQ(contentsOf(dir_.Path()), killed);
    EXPECT_EQ(journals(), std::vector<std::string>{journal});

    // A journal others may write, or one changed by a byte, is not followed: the restore asked
    // for is done as if there were none, and the journal is left for the user.
    const Bytes sound = ReadFile(journal);
    Bytes damaged = sound;
    damaged[damaged.size() / 2] ^= 1;
    for (const bool writable : {true, false}) {
        WriteFile(journal, writable ? sound : damaged);
        ::chmod(journal.c_str(), writable ? 0666 : 0600);
        const Ran ran = runCli({}, {"restore", copies_[4]}, logs_.File("unsound"));
        EXPECT_EQ(exitOf(ran), 0) << ran.errors;
        EXPECT_NE(ran.errors.find(journal + ": "), std::string::npos) << ran.errors;
        EXPECT_EQ(ReadFile(copies_[4]), restored_.at("copy4.otf"));
        WriteFile(copies_[4], killed.at("copy4.otf"));
        EXPECT_EQ(contentsOf(dir_.Path()), killed);
    }
    ::chmod(journal.c_str(), 0600);
    WriteFile(journal, sound);

    // Naming any one file of the run, by any path, finishes the whole run, and only then does
    // what was asked, which the finished run has already done.
    const std::string link = logs_.File("link");
    std::filesystem::create_symlink(copies_[1], link);
    const Ran finished = runCli({}, {"restore", link}, logs_.File("finished"));
    EXPECT_EQ(exitOf(finished), 0) << finished.errors;
    EXPECT_EQ(contentsOf(dir_.Path()), restored_) << finished.errors;
    EXPECT_TRUE(journals().empty());
}

// Copies in sight: the names that do not start with a dot.
std::map<std::string, Bytes> visibleIn(const std::string& folder) {
    std::map<std::string, Bytes> files = contentsOf(folder);
    std::erase_if(files, [](const auto& file) { return file.first[0] == '.'; });
    return files;
}

// Where each (call, n) of a normal run comes among all its calls of kCalls.
std::map<std::pair<std::string, int>, int> callOrder(const std::string& log) {
    std::map<std::pair<std::string, int>, int> order;
    std::map<std::string, int> seen;
    std::ifstream in(log);
    int position = 0;
    for (std::string line; std::getline(in, line);)
        for (const std::string& call : kCalls)
            if (line.find(" " + call + "(") != std::string::npos)
                order[{call, ++seen[call]}] = position++;
    return order;
}

TEST(KilledMake, noCopyIsInSightUntilAllAreMadeAndEachInSightIsComplete) {
    const TempDir dir;
    const TempDir logs;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    std::vector<std::string> args = {
        "make",      "--family", "Quill Kill",
        "--out-dir", out,        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
    args.insert(args.end(), kSources.begin(), kSources.begin() + 3);
    ASSERT_EQ(exitOf(runCli({}, args, logs.File("make"))), 0);
    const auto complete = contentsOf(out);
    ASSERT_EQ(complete.size(), 4u);
    std::vector<std::string> made;
    for (const auto& [name, bytes] : complete)
        made.push_back(out + "/" + name);
    EXPECT_EQ(LinesOf(familiesOf(made)), std::vector<std::string>(4, "Quill Kill"));
    const auto reset = [&] {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
    };

    reset();
    const std::map<std::string, int> counts = callCounts(kCalls, args, logs.File("calls"));
    const auto order = callOrder(logs.File("calls"));
    ASSERT_EQ(counts.count("linkat"), 1u);
    // Nothing may be in sight before the last copy is written, nor before the first name.
    const int firstName =
        std::max(order.at({"linkat", 1}), order.at({"pwrite64", counts.at("pwrite64")}));
    int killedBeforeNames = 0;
    int killedAmongNames = 0;
    for (const auto& [call, count] : counts)
        for (int n = 1; n <= count; ++n) {
            const std::string where = call + " #" + std::to_string(n);
            reset();
            const Ran killed =
                runCli({"-e", "inject=" + call + ":signal=SIGKILL:when=" + std::to_string(n)}, args,
                       logs.File("killed"));
            ASSERT_EQ(exitOf(killed), -SIGKILL) << where;
            const auto visible = visibleIn(out);
            for (const auto& [name, bytes] : visible)
                EXPECT_TRUE(complete.count(name) && complete.at(name) == bytes)
                    << where << ": " << name << " is in sight but not the complete copy";
            if (order.at({call, n}) > firstName) {
                ++killedAmongNames;
                continue;
            }
            EXPECT_TRUE(visible.empty()) << where << ": a copy is in sight before all were made";
            // Nothing in sight: the same command again makes every copy as a run never killed.
            const Ran again = runCli({}, args, logs.File("again"));
            EXPECT_EQ(exitOf(again), 0) << where << again.errors;
            EXPECT_EQ(contentsOf(out), complete) << where;
            ++killedBeforeNames;
        }
    EXPECT_GE(killedBeforeNames, 12);
    EXPECT_GE(killedAmongNames, 3);
}

} // namespace
