#include "tests/support/CommandOutput.h"

#include <array>
#include <cstdio>

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

} // namespace testfonts
