#include "cli/CliCommands.h"
#include "tests/cli/CliOutcome.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestFonts.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfonts;

namespace {

const std::string DejaVu = "/usr/share/fonts/truetype/dejavu/";
const std::vector<std::string> DejaVuFamily = {
    DejaVu + "DejaVuSans.ttf", DejaVu + "DejaVuSans-Bold.ttf", DejaVu + "DejaVuSans-Oblique.ttf",
    DejaVu + "DejaVuSans-BoldOblique.ttf"};

// The JSON array or string value of `key` in one of our lines, brackets or quotes included.
std::string member(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\": ";
    std::size_t at = line.find(marker);
    if (at == std::string::npos)
        return "<missing " + key + ">";
    at += marker.size();
    int depth = 0;
    bool inString = false;
    for (std::size_t i = at; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if (c == ']' || c == '}') {
            if (depth-- == 0)
                return line.substr(at, i - at);
        } else if (c == ',' && depth == 0) {
            return line.substr(at, i - at);
        }
        if (depth == 0 && !inString && (c == '"' || c == ']' || c == '}') && i > at)
            return line.substr(at, i - at + 1);
    }
    return line.substr(at);
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Family, fourStylesRenamedInOneCallKeepTheirOwnStylesAndRestoreTogether) {
    TempDir dir;
    std::vector<std::string> args = {"make",       "--json",    "--family",
                                     "Quill Demo", "--out-dir", dir.Path()};
    args.insert(args.end(), DejaVuFamily.begin(), DejaVuFamily.end());
    const CliOutcome made = runCommand(args);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(filesIn(dir.Path()),
              (std::vector<std::string>{"QuillDemo-Bold.ttf", "QuillDemo-BoldOblique.ttf",
                                        "QuillDemo-Book.ttf", "QuillDemo-Oblique.ttf"}));

    const auto copies = LinesOf(made.out);
    ASSERT_EQ(copies.size(), 4u);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string source =
            LinesOf(runCommand({"read", "--json", DejaVuFamily[i]}).out).at(0);
        const std::string path = member(copies[i], "path");
        paths.push_back(path.substr(1, path.size() - 2));
        for (const char* key : {"Style", "Bold", "Italic", "Version", "Copyright"})
            EXPECT_EQ(member(copies[i], key), member(source, key)) << key;
        EXPECT_EQ(member(copies[i], "FamilyName"), "\"Quill Demo\"");
        EXPECT_EQ(member(copies[i], "IsRenamed"), "true");
        // An independent parser sees the new family, the source's style and the derived name.
        const std::string style = member(source, "Style");
        const std::string fileName = std::filesystem::path(paths.back()).stem().string();
        EXPECT_EQ(CommandOutput("fc-query -f '%{family}|%{style}|%{postscriptname}' '" +
                                paths.back() + "'"),
                  "Quill Demo|" + style.substr(1, style.size() - 2) + "|" + fileName);
    }

    std::vector<Bytes> asMade;
    for (const std::string& path : paths)
        asMade.push_back(ReadFile(path));
    std::vector<std::string> restore = {"restore", "--json"};
    restore.insert(restore.end(), paths.begin(), paths.end());
    const CliOutcome restored = runCommand(restore);
    ASSERT_EQ(restored.status, 0) << restored.err;
    const auto lines = LinesOf(restored.out);
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string source =
            LinesOf(runCommand({"read", "--json", DejaVuFamily[i]}).out).at(0);
        for (const char* key : {"FamilyName", "FullName", "Style", "Postscript"})
            EXPECT_EQ(member(lines[i], key), member(source, key)) << key;
    }
    ASSERT_EQ(runCommand(restore).status, 0);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ReadFile(paths[i]), asMade[i]) << paths[i];
}

TEST(Family, aTargetThatExistsStopsTheRunBeforeAnyCopyAndStaysUntouched) {
    TempDir dir;
    WriteFile(dir.File("QuillDemo-Oblique.ttf"), Bytes{7, 7});
    std::vector<std::string> args = {"make", "--family", "Quill Demo", "--out-dir", dir.Path()};
    args.insert(args.end(), DejaVuFamily.begin(), DejaVuFamily.end());
    const CliOutcome run = runCommand(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("QuillDemo-Oblique.ttf: A TrueType font file with this name already "
                           "exists."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(filesIn(dir.Path()), std::vector<std::string>{"QuillDemo-Oblique.ttf"});
    EXPECT_EQ(ReadFile(dir.File("QuillDemo-Oblique.ttf")), (Bytes{7, 7}));

    // Two sources of the same style would give one name twice.
    const CliOutcome twice = runCommand(
        {"make", "--family", "Q", "--out-dir", dir.Path(), DejaVuFamily[1], DejaVuFamily[1]});
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(filesIn(dir.Path()), std::vector<std::string>{"QuillDemo-Oblique.ttf"});
}

// Runs the installed program with a limit on the size of files it may write.
int runWithFileSizeLimit(const std::vector<std::string>& args, rlim_t limit) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit fileSize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        std::signal(SIGXFSZ, SIG_IGN);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        std::vector<char*> argv;
        std::string program = QM_BINARY_DIR "/cli/quillmark-cli";
        argv.push_back(program.data());
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Family, aCopyThatFailsWhileWritingTakesTheRunsEarlierCopiesWithIt) {
    TempDir dir;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    WriteFile(dir.File("out/KEEP.TTF"), Bytes{1, 2, 3});
    WriteFile(dir.File("small.ttf"), SimpleFont());
    // The small font's copy fits under the limit, DejaVu Sans's does not (a full disk).
    const int status = runWithFileSizeLimit({"make", "--family", "Quill Demo", "--out-dir", out,
                                             dir.File("small.ttf"), DejaVuFamily[0]},
                                            64 * 1024);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(filesIn(out), std::vector<std::string>{"KEEP.TTF"});
    EXPECT_EQ(ReadFile(dir.File("out/KEEP.TTF")), (Bytes{1, 2, 3}));
    // Without the limit the same run makes both.
    EXPECT_EQ(runWithFileSizeLimit({"make", "--family", "Quill Demo", "--out-dir", out,
                                    dir.File("small.ttf"), DejaVuFamily[0]},
                                   RLIM_INFINITY),
              0);
    EXPECT_EQ(filesIn(out),
              (std::vector<std::string>{"KEEP.TTF", "QuillDemo-Book.ttf", "QuillDemo.ttf"}));
}

TEST(Family, restoreOfSeveralFilesIsAllOrNothing) {
    TempDir dir;
    WriteFile(dir.File("a.ttf"), SimpleFont());
    ASSERT_EQ(
        runCommand({"make", "--family", "One", "--out-dir", dir.Path(), dir.File("a.ttf")}).status,
        0);
    ASSERT_EQ(
        runCommand({"make", "--family", "Two", "--out-dir", dir.Path(), dir.File("a.ttf")}).status,
        0);
    const Bytes one = ReadFile(dir.File("One.ttf"));
    const Bytes two = ReadFile(dir.File("Two.ttf"));

    // The third file was never renamed: the two before it are swapped back.
    const CliOutcome run =
        runCommand({"restore", dir.File("One.ttf"), dir.File("Two.ttf"), dir.File("a.ttf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("a.ttf: This font is not a renamed copy"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("One.ttf")), one);
    EXPECT_EQ(ReadFile(dir.File("Two.ttf")), two);

    // The same file twice would swap it back and forth.
    EXPECT_EQ(runCommand({"restore", dir.File("One.ttf"), dir.Path() + "/./One.ttf"}).status, 2);
    EXPECT_EQ(ReadFile(dir.File("One.ttf")), one);
}

TEST(ReadAll, aCopyCarriesItsNewRecordsAndKeepsTheSourcesForTheRestore) {
    TempDir dir;
    const std::string copy = dir.File("COPY.TTF");
    ASSERT_EQ(runCommand({"make", DejaVuFamily[1], copy, "--family", "Quill"}).status, 0);
    const std::string source = runCommand({"read", "--all", "--json", DejaVuFamily[1]}).out;
    const std::string renamed = runCommand({"read", "--all", "--json", copy}).out;
    EXPECT_EQ(member(source, "SavedRecords"), "<missing SavedRecords>");
    EXPECT_EQ(member(renamed, "SavedRecords"), member(source, "Records"));
    const std::string records = member(renamed, "Records");
    // The new names, the source's licence beside them, and no old family left.
    EXPECT_NE(records.find("\"text\": \"Quill Bold\""), std::string::npos);
    EXPECT_NE(records.find("\"nameID\": 13,"), std::string::npos);
    EXPECT_EQ(records.find("\"text\": \"DejaVu Sans\""), std::string::npos) << records;

    // After the restore the two change places.
    ASSERT_EQ(runCommand({"restore", copy}).status, 0);
    const std::string restored = runCommand({"read", "--all", "--json", copy}).out;
    EXPECT_EQ(member(restored, "Records"), member(source, "Records"));
    EXPECT_EQ(member(restored, "SavedRecords"), records);

    // The readable listing says the same, one record a line.
    const std::string text = runCommand({"read", "--all", DejaVuFamily[1]}).out;
    EXPECT_NE(text.find("3 1  0x0409 en-US      16    Typographic family    DejaVu Sans\n"),
              std::string::npos)
        << text;
}

} // namespace
