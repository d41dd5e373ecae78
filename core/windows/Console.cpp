#include "core/windows/Console.h"

#include "core/windows/WideText.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace qm::core {

void prepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::vector<std::string> argumentsOf(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(utf8OfWide(argv[i]));
    return arguments;
}

} // namespace qm::core
