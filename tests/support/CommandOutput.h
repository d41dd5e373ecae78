#pragma once

#include <string>
#include <vector>

namespace testfonts {

// Runs `command` through the shell and returns what it wrote to standard output (empty when it
// could not be started).
std::string CommandOutput(const std::string& command);

// The lines of `text`, without their line ends.
std::vector<std::string> LinesOf(const std::string& text);

} // namespace testfonts
