#pragma once

// Windows only: the command line's console.

#include <string>
#include <vector>

namespace qm::core {

// UTF-8 on the console, and the program's own bytes, unchanged, on standard output and error:
// a line ends in "\n", as on Linux.
void prepareConsole();

// The arguments after the program's name, from wmain's UTF-16 to UTF-8.
std::vector<std::string> argumentsOf(int argc, wchar_t** argv);

} // namespace qm::core
