// The suites' temporary folders on Windows, where there is no mkdtemp.

#include "tests/support/TestFonts.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace testfonts {

TempDir::TempDir() {
    const std::string base = std::filesystem::temp_directory_path().string();
    for (unsigned n = 0; n < 1000; ++n) {
        path_ =
            base + "qmtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(n);
        if (::CreateDirectoryA(path_.c_str(), nullptr))
            return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests may leave read-only files behind; make them removable first.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view name) const {
    return path_ + "\\" + std::string(name);
}

} // namespace testfonts
