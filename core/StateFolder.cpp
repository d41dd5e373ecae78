#include "core/StateFolder.h"

#include "core/EInOutError.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::core {

namespace {

// Makes `path` and the folders above it, each for this user only.
bool makeFolders(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0 || !makeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

std::string stateFolder(std::string& problem) {
    std::string base;
    // The XDG rule: a relative XDG_STATE_HOME is ignored.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        problem = "neither XDG_STATE_HOME nor HOME names a folder";
        return {};
    }
    const std::string folder = base + "/quillmark";
    if (!makeFolders(folder)) {
        problem = folder + ": " + EInOutError(errno).what();
        return {};
    }
    // Another user's folder, or one others may write in, could hold anything: not followed.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 022) != 0) {
        problem = folder + ": not a folder of this user's alone";
        return {};
    }
    return folder;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(listing);
    return names;
}

void renameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw EInOutError(errno);
    syncFolderOf(to);
}

bool isOwnPrivateFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 022) == 0;
}

std::string absolutePathOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

} // namespace qm::core
