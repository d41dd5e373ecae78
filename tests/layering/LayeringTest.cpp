// The layers depend one way: core <- platform <- session <- controls and the two panels
// (browse, naming) <- the window (app), which wires the panels to the session; the panels never
// include each other. The CLI stands on the core and the session, the viewer on core and
// platform. The session is shared with the command line, so it stays free of Qt. A source file
// that includes from a layer above its own fails here, before the link or a reviewer notices.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
    std::string name;
    std::vector<std::string> folders; // the layer's own source folders
    std::set<std::string> mayInclude; // project folders its files may include from
    bool qtAllowed;
    bool posixAllowed; // direct system calls; the others go through platform/
};

const std::set<std::string> kProjectFolders = {
    "core", "platform", "session",   "controls", "app",   "browse", "naming",
    "cli",  "viewer",   "resources", "tests",    "tools", "bench"};

std::ostream& operator<<(std::ostream& out, const LayerRule& rule) {
    return out << rule.name;
}

struct Include {
    fs::path file;
    int line;
    std::string target;
};

std::vector<Include> includesOf(const fs::path& folder, int& files) {
    static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<Include> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp")
            continue;
        ++files;
        std::ifstream in(entry.path());
        std::string text;
        std::smatch match;
        for (int number = 1; std::getline(in, text); ++number) {
            if (std::regex_search(text, match, include))
                found.push_back({entry.path(), number, match[1]});
        }
    }
    return found;
}

bool isQt(const std::string& target) {
    static const std::regex qt(R"(^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$)");
    return std::regex_match(target, qt);
}

bool isPosix(const std::string& target) {
    static const std::regex posix(R"(^(unistd|fcntl|spawn|dirent|pwd|sys/.*|fontconfig/.*)\.h$)");
    return std::regex_match(target, posix);
}

class Layering : public testing::TestWithParam<LayerRule> {};

TEST_P(Layering, includesOnlyFromItsOwnAndLowerLayers) {
    const LayerRule& rule = GetParam();
    for (const auto& folder : rule.folders) {
        int files = 0;
        for (const auto& inc : includesOf(fs::path(QM_SOURCE_DIR) / folder, files)) {
            const auto where =
                inc.file.string() + ":" + std::to_string(inc.line) + " " + inc.target;
            const auto slash = inc.target.find('/');
            if (slash != std::string::npos && kProjectFolders.count(inc.target.substr(0, slash))) {
                EXPECT_TRUE(rule.mayInclude.count(inc.target.substr(0, slash))) << where;
            }
            EXPECT_TRUE(rule.qtAllowed || !isQt(inc.target)) << where;
            EXPECT_TRUE(rule.posixAllowed || !isPosix(inc.target)) << where;
        }
        // A folder emptied by mistake must not pass as a clean one.
        EXPECT_GT(files, 2) << folder;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layers, Layering,
    testing::Values(LayerRule{"core", {"core"}, {"core"}, false, true},
                    LayerRule{"platform", {"platform"}, {"core", "platform"}, true, true},
                    LayerRule{"session", {"session"}, {"core", "session"}, false, false},
                    LayerRule{"controls", {"controls"}, {"controls"}, true, false},
                    // The two panels never include each other or the window that wires them.
                    LayerRule{"browse",
                              {"browse"},
                              {"core", "platform", "session", "controls", "browse"},
                              true,
                              false},
                    LayerRule{"naming",
                              {"naming"},
                              {"core", "platform", "session", "controls", "naming"},
                              true,
                              false},
                    LayerRule{
                        "window",
                        {"app"},
                        {"core", "platform", "session", "controls", "app", "browse", "naming"},
                        true,
                        false},
                    LayerRule{"viewer", {"viewer"}, {"core", "platform", "viewer"}, true, false},
                    LayerRule{"cli", {"cli"}, {"core", "session", "cli"}, false, true}),
    [](const testing::TestParamInfo<LayerRule>& info) { return info.param.name; });

// The CLI and the fuzzer build the core and the session without Qt; a Qt library in its link would
// hide a Qt include until then.
TEST(QtFreeLayers, linkNoQtLibrary) {
    for (const std::string folder : {"core", "session", "cli"}) {
        std::ifstream in(fs::path(QM_SOURCE_DIR) / folder / "CMakeLists.txt");
        ASSERT_TRUE(in) << folder;
        std::string text;
        for (int number = 1; std::getline(in, text); ++number)
            EXPECT_EQ(text.find("Qt6"), std::string::npos)
                << folder << "/CMakeLists.txt:" << number;
    }
}

// The core, the session and the CLI reach the system through the file layer alone, so the
// reader, the writer, the swap, the session and the CLI are the same code on POSIX and on Windows:
// no other file of theirs includes a system header or asks which system it is built for.
TEST(PlatformSeam, onlyTheFileLayerSpeaksToTheSystem) {
    const std::set<std::string> posixLayer = {"FileHandle.cpp",       "UnpublishedCopy.cpp",
                                              "InterruptCleanup.cpp", "StateFolder.cpp",
                                              "CodePages.cpp",        "WebFontCodecs.cpp"};
    static const std::regex system(
        R"(^\s*#\s*include\s*<(unistd|fcntl|dirent|iconv|signal|csignal|windows|io|sys/.*)(\.h)?>)");
    static const std::regex platformTest(R"(_WIN32|_WIN64|__MINGW|__linux|__unix)");
    // A system call that reached a file through another header.
    static const std::regex systemCall(
        R"((^|[^A-Za-z0-9_>])::(open|openat|close|read|write|pread|pwrite|unlink|link|rename|stat|lstat|fstat|getpid|kill|flock|fsync|sigaction|sigprocmask)\()");
    for (const std::string folder : {"core", "session", "cli"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(QM_SOURCE_DIR) / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            const std::string name = entry.path().filename().string();
            const bool fileLayer = folder == "core" && posixLayer.count(name) != 0;
            std::ifstream in(entry.path());
            std::string text;
            for (int number = 1; std::getline(in, text); ++number) {
                const std::string where = folder + "/" + name + ":" + std::to_string(number);
                EXPECT_FALSE(std::regex_search(text, platformTest)) << where;
                EXPECT_TRUE(fileLayer || !std::regex_search(text, system)) << where;
                EXPECT_TRUE(fileLayer || !std::regex_search(text, systemCall)) << where;
            }
        }
    }
    // The Windows file layer implements every part of the interface the POSIX one does.
    for (const std::string& file : posixLayer)
        EXPECT_TRUE(fs::exists(fs::path(QM_SOURCE_DIR) / "core" / "windows" / file)) << file;
}

} // namespace
