#include "cli/CliCommands.h"
#include "core/InterruptCleanup.h"

#include <iostream>

int main(int argc, char** argv) {
    // An interrupted make leaves no temporary file behind.
    installInterruptHandlers();
    return runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
