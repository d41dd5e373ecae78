#include "tests/support/CommandOutput.h"

#include <array>
#include <cstdio>
#include <sstream>

namespace testfonts {

std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    std::array<char, 4096> chunk;
    while (std::size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe))
        output.append(chunk.data(), got);
    ::pclose(pipe);
    return output;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace testfonts
