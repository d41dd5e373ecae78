// The file layer on Windows: the wide API on paths made absolute and long-path safe. Sharing
// modes and byte-range locks stand for the POSIX layer's flock: a font being read may be read by
// others but not written, a font being swapped neither.

#include "core/FileHandle.h"

#include "core/EInOutError.h"
#include "core/windows/FileLayerAccess.h"
#include "core/windows/WideText.h"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>
#include <windows.h>

using qm::core::lastWindowsError;
using qm::core::systemPathOf;

namespace {

constexpr std::uint64_t kCopyBlockSize = 1024 * 1024;
constexpr std::intptr_t kNoHandle = -1;

HANDLE handleOf(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

std::intptr_t nativeOf(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<std::intptr_t>(handle);
}

OVERLAPPED at(std::uint64_t position) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(position);
    where.OffsetHigh = static_cast<DWORD>(position >> 32);
    return where;
}

DWORD attributesOf(const std::wstring& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
}

// Opens an existing regular file. Fails with the errno the callers check: ENOENT missing, EISDIR
// a folder, ENODEV a device or pipe; else the Windows error's errno, with `windowsCode` set.
HANDLE openRegular(const std::string& path, DWORD access, DWORD sharing, int& errorCode,
                   DWORD& windowsCode, std::uint64_t& size) {
    windowsCode = 0;
    const std::wstring wide = systemPathOf(path);
    if (wide.empty()) {
        errorCode = ENODEV;
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE file = ::CreateFileW(wide.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        windowsCode = ::GetLastError();
        errorCode = qm::core::errnoOfWindowsError(windowsCode);
        if (windowsCode == ERROR_INVALID_NAME)
            errorCode = ENOENT;
        // A folder is refused as "access denied"; asked only then, which spares every open a
        // call.
        const DWORD attributes = windowsCode == ERROR_ACCESS_DENIED ? attributesOf(wide) : 0;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            errorCode = EISDIR;
        return INVALID_HANDLE_VALUE;
    }
    LARGE_INTEGER length{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &length)) {
        ::CloseHandle(file);
        errorCode = ENODEV;
        return INVALID_HANDLE_VALUE;
    }
    errorCode = 0;
    size = static_cast<std::uint64_t>(length.QuadPart);
    return file;
}

bool lockWhole(HANDLE file, DWORD flags) {
    OVERLAPPED whole{};
    return ::LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole) !=
           0;
}

} // namespace

FileHandle::~FileHandle() {
    discard();
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, kNoHandle)), openedSize_(other.openedSize_) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, kNoHandle);
        openedSize_ = other.openedSize_;
    }
    return *this;
}

FileHandle FileHandle::openShared(const std::string& path) {
    FileHandle file = openSharedIfFile(path);
    if (!file.isOpen())
        throw EInOutError(ENOENT);
    return file;
}

FileHandle FileHandle::openSharedIfFile(const std::string& path) {
    int errorCode = 0;
    DWORD windowsCode = 0;
    std::uint64_t size = 0;
    // Others may read, not write, while it is read.
    FileHandle file(
        nativeOf(openRegular(path, GENERIC_READ, FILE_SHARE_READ, errorCode, windowsCode, size)));
    file.openedSize_ = size;
    if (!file.isOpen()) {
        if (errorCode == ENOENT || errorCode == ENOTDIR || errorCode == EISDIR ||
            errorCode == ENODEV)
            return {};
        throw qm::core::windowsError(windowsCode);
    }
    return file;
}

FileHandle FileHandle::openExclusive(const std::string& path, int& errorCode) {
    const std::wstring wide = systemPathOf(path);
    const DWORD attributes = attributesOf(wide);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errorCode = EACCES;
        return {};
    }
    // Read-only first: a device standing at the path is never opened for writing.
    DWORD windowsCode = 0;
    std::uint64_t size = 0;
    {
        const FileHandle reading(nativeOf(openRegular(
            path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, errorCode, windowsCode, size)));
        if (!reading.isOpen())
            return {};
    }
    // Others may read while the swap runs, but the lock below keeps them from the bytes.
    FileHandle file(nativeOf(openRegular(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                         errorCode, windowsCode, size)));
    file.openedSize_ = size;
    if (!file.isOpen())
        return {};
    if (!lockWhole(handleOf(file.fd_), LOCKFILE_EXCLUSIVE_LOCK)) {
        errorCode = EWOULDBLOCK;
        return {};
    }
    return file;
}

FileHandle FileHandle::createUnnamed(const std::string&) {
    // Windows has no unnamed files: a copy is written as a hidden file beside its name.
    return {};
}

FileHandle FileHandle::createNew(const std::string& path) {
    const std::wstring wide = systemPathOf(path);
    if (wide.empty())
        throw qm::core::windowsError(ERROR_INVALID_NAME);
    // FILE_SHARE_DELETE lets the file be renamed and removed while it is open, by us.
    const HANDLE file =
        ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw lastWindowsError();
    return FileHandle(nativeOf(file));
}

std::uint64_t FileHandle::size() const {
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(handleOf(fd_), &length))
        throw lastWindowsError();
    return static_cast<std::uint64_t>(length.QuadPart);
}

long long FileHandle::tryRead(std::uint64_t position, void* buffer, std::size_t count) const {
    std::size_t got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < count) {
        OVERLAPPED where = at(position + got);
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - got, 1u << 30));
        if (!::ReadFile(handleOf(fd_), bytes + got, want, &n, &where)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            return -qm::core::errnoOfWindowsError(error);
        }
        if (n == 0)
            break;
        got += n;
    }
    return static_cast<long long>(got);
}

void FileHandle::readExact(std::uint64_t position, void* buffer, std::size_t count) const {
    const long long got = tryRead(position, buffer, count);
    if (got < 0)
        throw EInOutError(static_cast<int>(-got));
    if (static_cast<std::size_t>(got) != count)
        throw EInOutError::readBeyondEnd();
}

std::size_t FileHandle::readNext(void* buffer, std::size_t count) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (!::ReadFile(handleOf(fd_), buffer, want, &n, nullptr)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        throw lastWindowsError();
    }
    return n;
}

void FileHandle::writeAll(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(handleOf(fd_), bytes, want, &n, nullptr))
            throw lastWindowsError();
        // A block written short is a full disk, not something to retry.
        if (n != want)
            throw qm::core::windowsError(ERROR_DISK_FULL);
        bytes += n;
        count -= n;
    }
}

void FileHandle::writeAt(std::uint64_t position, const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        OVERLAPPED where = at(position);
        DWORD n = 0;
        if (!::WriteFile(handleOf(fd_), bytes, want, &n, &where))
            throw lastWindowsError();
        if (n != want)
            throw qm::core::windowsError(ERROR_DISK_FULL);
        bytes += n;
        count -= n;
        position += n;
    }
}

void FileHandle::sync() {
    if (!::FlushFileBuffers(handleOf(fd_)))
        throw lastWindowsError();
}

void FileHandle::copyFrom(const FileHandle& source, std::uint64_t count) {
    std::vector<unsigned char> block;
    for (std::uint64_t done = 0; done < count;) {
        const auto want = static_cast<std::size_t>(std::min(count - done, kCopyBlockSize));
        block.resize(want);
        const long long n = source.tryRead(done, block.data(), want);
        if (n < 0)
            throw EInOutError(static_cast<int>(-n));
        // The source ended before the size it had when it was opened.
        if (n == 0)
            throw EInOutError::readBeyondEnd();
        writeAt(done, block.data(), static_cast<std::size_t>(n));
        done += static_cast<std::uint64_t>(n);
    }
}

void FileHandle::linkAs(const std::string&) const {
    // Only an unnamed file is linked, and Windows makes none.
    throw qm::core::windowsError(ERROR_NOT_SUPPORTED);
}

bool FileHandle::tryLockExclusive() {
    return lockWhole(handleOf(fd_), LOCKFILE_EXCLUSIVE_LOCK);
}

bool FileHandle::identity(FileIdentity& id) const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!isOpen() || !::GetFileInformationByHandle(handleOf(fd_), &info))
        return false;
    id = {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

void FileHandle::refreshSize() {
    openedSize_ = size();
}

void FileHandle::close() {
    const std::intptr_t fd = std::exchange(fd_, kNoHandle);
    if (fd != kNoHandle && !::CloseHandle(handleOf(fd)))
        throw lastWindowsError();
}

void FileHandle::discard() noexcept {
    const std::intptr_t fd = std::exchange(fd_, kNoHandle);
    if (fd != kNoHandle)
        ::CloseHandle(handleOf(fd));
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // The root of a drive keeps its backslash: "C:" alone is the drive's current folder.
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

void syncFolderOf(const std::string&) {
    // A name is published by MoveFileExW with MOVEFILE_WRITE_THROUGH, which returns only once
    // the change is on disk; Windows cannot flush a folder by itself.
}

namespace {

// Opens what stands at `path` for asking and, with DELETE, for removal; links are not followed.
HANDLE openEntry(const std::string& path, DWORD access) {
    const std::wstring wide = systemPathOf(path);
    if (wide.empty())
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(
        wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

} // namespace

void unlinkIfSameAt(const std::string& path, const FileIdentity& held) {
    const FileHandle entry = FileLayerAccess::adopt(openEntry(path, DELETE | FILE_READ_ATTRIBUTES));
    FileIdentity now;
    if (!entry.identity(now) || !(now == held))
        return;
    // Removed through the handle that was compared: no other file can take its place meanwhile.
    FILE_DISPOSITION_INFO remove{TRUE};
    ::SetFileInformationByHandle(FileLayerAccess::handleOf(entry), FileDispositionInfo, &remove,
                                 sizeof remove);
}

bool isExistingFile(const std::string& path) {
    const DWORD attributes = attributesOf(systemPathOf(path));
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool isExistingFolder(const std::string& path) {
    const DWORD attributes = attributesOf(systemPathOf(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool pathIsTaken(const std::string& path) {
    return attributesOf(systemPathOf(path)) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileIdentity> identityOfPath(const std::string& path) {
    const std::wstring wide = systemPathOf(path);
    if (wide.empty())
        return std::nullopt;
    const FileHandle entry = FileLayerAccess::adopt(::CreateFileW(
        wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileIdentity id;
    if (!entry.identity(id))
        return std::nullopt;
    return id;
}

void removeFile(const std::string& path) noexcept {
    ::DeleteFileW(systemPathOf(path).c_str());
}

std::string temporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        throw lastWindowsError();
    return qm::core::utf8OfWide(std::wstring_view(folder, length));
}

unsigned long processId() {
    return ::GetCurrentProcessId();
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
