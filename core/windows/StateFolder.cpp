// The state folder on Windows: %LOCALAPPDATA%\Quillmark, which is this user's alone.

#include "core/StateFolder.h"

#include "core/EInOutError.h"
#include "core/windows/WideText.h"

#include <filesystem>
#include <windows.h>

using qm::core::lastWindowsError;
using qm::core::systemPathOf;

namespace qm::core {

std::string stateFolder(std::string& problem) {
    wchar_t local[MAX_PATH + 1];
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        problem = "LOCALAPPDATA names no folder";
        return {};
    }
    const std::string folder = utf8OfWide(std::wstring_view(local, length)) + "\\Quillmark";
    if (!::CreateDirectoryW(systemPathOf(folder).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        problem = folder + ": " + lastWindowsError().what();
        return {};
    }
    return folder;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    return folder + "\\" + name;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(systemPathOf(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = utf8OfWide(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

void renameOver(const std::string& from, const std::string& to) {
    // Returns only once the new name is on disk.
    if (!::MoveFileExW(systemPathOf(from).c_str(), systemPathOf(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw lastWindowsError();
}

bool isOwnPrivateFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(systemPathOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

std::string absolutePathOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::u8path(path), error);
    if (error)
        return path;
    const std::u8string text = absolute.lexically_normal().u8string();
    return std::string(text.begin(), text.end());
}

} // namespace qm::core
