#pragma once

#include "cli/CliCommands.h"

#include <sstream>
#include <string>
#include <vector>

// What one quillmark-cli command, run in this process, printed and returned.
struct CliOutcome {
    int status;
    std::string out;
    std::string err;
};

inline CliOutcome runCommand(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCli(args, out, err);
    return {status, out.str(), err.str()};
}
