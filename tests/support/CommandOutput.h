#pragma once

#include <string>

namespace testfonts {

// Runs `command` through the shell and returns what it wrote to standard output (empty when it
// could not be started).
std::string CommandOutput(const std::string& command);

} // namespace testfonts
