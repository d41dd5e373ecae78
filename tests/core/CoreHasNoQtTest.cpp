#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

// The core is shared by the window, the CLI and the fuzzer: it must build without Qt.
TEST(CoreLayer, NoSourceOrHeaderIncludesQt) {
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*)[>"])");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QM_SOURCE_DIR "/core")) {
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp" && ext != ".txt")
            continue;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            EXPECT_FALSE(std::regex_search(line, qtInclude)) << entry.path() << ":" << number;
            if (ext == ".txt") {
                EXPECT_EQ(line.find("Qt6::"), std::string::npos) << entry.path() << ":" << number;
            }
        }
    }
    EXPECT_GT(files, 5);
}

} // namespace
