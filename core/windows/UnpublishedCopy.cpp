// The copy before it has its name, on Windows: a hidden file beside the new name
// (".NAME.PID-N"), which no other process may open while we hold it, published by MoveFileExW
// without MOVEFILE_REPLACE_EXISTING, so that an existing file is never replaced, and with
// MOVEFILE_WRITE_THROUGH, so that the call returns only once the name is on disk.

#include "core/UnpublishedCopy.h"

#include "core/EInOutError.h"
#include "core/InterruptCleanup.h"
#include "core/windows/FileLayerAccess.h"
#include "core/windows/WideText.h"

#include <cerrno>
#include <chrono>
#include <windows.h>

namespace qm::core {

namespace {

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + "\\" + name;
}

// A hidden temporary file of ours: "." NAME "." PID "-" N. Gives the PID.
bool parseTemporaryName(const std::string& name, DWORD& pid) {
    const std::size_t dash = name.rfind('-');
    const std::size_t dot = dash == std::string::npos ? dash : name.rfind('.', dash);
    if (name.size() < 2 || name[0] != '.' || dot == std::string::npos || dot < 2 ||
        dash + 1 == name.size() || dash == dot + 1)
        return false;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        if (i != dash && (name[i] < '0' || name[i] > '9'))
            return false;
    if (dash - dot > 11 || name.size() - dash > 7)
        return false;
    pid = static_cast<DWORD>(std::stoull(name.substr(dot + 1, dash - dot - 1)));
    return true;
}

bool processIsGone(DWORD pid) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    ::CloseHandle(process);
    return ended;
}

// Removes `path` when no handle is open on it; false when it is in use or cannot go.
bool removeUnlessOpen(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILE_DISPOSITION_INFO remove{TRUE};
    const bool removed =
        ::SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove) != 0;
    ::CloseHandle(file);
    return removed;
}

enum class Removal { Gone, Removed, Failed };

// Removes `path` only while it is still the file `held`.
Removal removeIfSame(const std::string& path, const FileIdentity& held) {
    const std::wstring wide = systemPathOf(path);
    const FileHandle entry = FileLayerAccess::adopt(::CreateFileW(
        wide.c_str(), DELETE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry.isOpen()) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::Gone
                                                                              : Removal::Failed;
    }
    FileIdentity now;
    // Another file put in its place since is not ours to remove.
    if (!entry.identity(now) || !(now == held))
        return Removal::Gone;
    FILE_DISPOSITION_INFO remove{TRUE};
    return ::SetFileInformationByHandle(FileLayerAccess::handleOf(entry), FileDispositionInfo,
                                        &remove, sizeof remove)
               ? Removal::Removed
               : Removal::Failed;
}

} // namespace

UnpublishedCopy::UnpublishedCopy(const std::string& newPath) {
    // With the \\?\ prefix Windows would make a file named CON or "font." that no other program
    // can open; such a name is refused before anything is written.
    if (const std::string reason = unusableNameReason(newPath); !reason.empty())
        throw EInOutError(EINVAL, ERROR_INVALID_NAME, reason);
    const std::string folder = folderOf(newPath);
    removeStaleCopies(folder);
    std::string hiddenName(1, '.');
    hiddenName += baseNameOf(newPath);
    const std::string hidden = joined(folder, hiddenName);
    const auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; !file_.isOpen(); ++attempt) {
        const std::string candidate = hidden + "." + std::to_string(::GetCurrentProcessId()) + "-" +
                                      std::to_string((seed + attempt) % 1000000);
        const std::wstring wide = systemPathOf(candidate);
        // Registered in the step that creates it: an interrupt can neither leave it behind nor
        // remove a file of the same name that was not ours. No other process may open it.
        const InterruptsDeferred deferred;
        const HANDLE file =
            ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100)
                throw windowsError(error);
            continue;
        }
        file_ = FileLayerAccess::adopt(file);
        temporaryPath_ = candidate;
        registerInterruptCleanup(candidate);
    }
}

UnpublishedCopy::~UnpublishedCopy() {
    if (temporaryPath_.empty())
        return;
    // Removed through our own handle: it is still the file we wrote.
    FILE_DISPOSITION_INFO remove{TRUE};
    ::SetFileInformationByHandle(FileLayerAccess::handleOf(file_), FileDispositionInfo, &remove,
                                 sizeof remove);
    file_.discard();
    clearInterruptCleanup();
}

void UnpublishedCopy::publishNow(const std::string& newPath) {
    if (heldInterrupt() != 0)
        throw EInOutError(EINTR);
    const std::wstring from = systemPathOf(temporaryPath_);
    const std::wstring to = systemPathOf(newPath);
    if (to.empty())
        throw windowsError(ERROR_INVALID_NAME);
    // The published copy is an ordinary file; it is shown before it has the name.
    if (!::SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL))
        throw lastWindowsError();
    {
        // The name and the cleanup change in one step.
        const InterruptsDeferred deferred;
        if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
            throw lastWindowsError();
        temporaryPath_.clear();
        clearInterruptCleanup();
    }
    PublishedCopies::note(newPath, file_);
}

void UnpublishedCopy::publishByReservation(const std::string&) {
    // MoveFileExW publishes without replacing on every file system Windows has.
}

std::vector<std::string> PublishedCopies::removeAll() {
    std::vector<std::string> left;
    for (auto it = copies_.rbegin(); it != copies_.rend(); ++it)
        if (removeIfSame(it->path, it->identity) == Removal::Failed)
            left.push_back(it->path);
    copies_.clear();
    return left;
}

void removeStaleCopies(const std::string& folder) {
    const std::wstring base = systemPathOf(folder);
    if (base.empty())
        return;
    const std::wstring prefix = base.back() == L'\\' ? base : base + L"\\";
    WIN32_FIND_DATAW entry{};
    const HANDLE listing = ::FindFirstFileW((prefix + L".*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::wstring> names;
    do
        names.emplace_back(entry.cFileName);
    while (::FindNextFileW(listing, &entry));
    ::FindClose(listing);
    for (const std::wstring& name : names) {
        DWORD pid = 0;
        // A file of a process that is gone, which nobody holds open any more.
        if (parseTemporaryName(utf8OfWide(name), pid) && processIsGone(pid))
            removeUnlessOpen(prefix + name);
    }
}

} // namespace qm::core
