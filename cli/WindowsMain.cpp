// The Windows entry: arguments arrive as UTF-16, so that every file name reaches the program.

#include "cli/CliCommands.h"
#include "core/InterruptCleanup.h"
#include "core/windows/Console.h"

#include <iostream>

int wmain(int argc, wchar_t** argv) {
    // An interrupted make leaves no temporary file behind.
    installInterruptHandlers();
    qm::core::prepareConsole();
    return runCli(qm::core::argumentsOf(argc, argv), std::cout, std::cerr);
}
