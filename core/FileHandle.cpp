#include "core/FileHandle.h"

#include "core/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Where the kernel cannot copy by itself, the copy moves in blocks of this size.
constexpr std::uint64_t kCopyBlockSize = 1024 * 1024;

// O_NONBLOCK keeps a FIFO put in place of a font from hanging the open, O_NOCTTY a terminal
// from becoming ours; on a regular file they change nothing. A folder is refused with EISDIR,
// a device or FIFO with ENODEV.
int openRegular(const std::string& path, int flags, int& errorCode, std::uint64_t& size) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        errorCode = errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        errorCode = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        return -1;
    }
    errorCode = 0;
    size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

} // namespace

FileHandle::~FileHandle() {
    discard();
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), openedSize_(other.openedSize_) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
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
    std::uint64_t size = 0;
    FileHandle file(openRegular(path, O_RDONLY, errorCode, size));
    file.openedSize_ = size;
    if (!file.isOpen()) {
        if (errorCode == ENOENT || errorCode == ENOTDIR || errorCode == EISDIR ||
            errorCode == ENODEV)
            return {};
        throw EInOutError(errorCode);
    }
    if (::flock(file.fd_, LOCK_SH | LOCK_NB) != 0)
        throw EInOutError(errno);
    return file;
}

FileHandle FileHandle::openExclusive(const std::string& path, int& errorCode) {
    std::uint64_t size = 0;
    // Read-only first: a device or FIFO standing at the path is never opened for writing.
    const FileHandle reading(openRegular(path, O_RDONLY, errorCode, size));
    if (!reading.isOpen())
        return {};
    FileHandle file(::open(("/proc/self/fd/" + std::to_string(reading.fd_)).c_str(),
                           O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    file.openedSize_ = size;
    if (!file.isOpen()) {
        errorCode = errno;
        return {};
    }
    // Root may write anything; a file without its owner's write bit still counts as read-only.
    struct stat st {};
    if (::fstat(file.fd_, &st) != 0 || (st.st_mode & S_IWUSR) == 0) {
        errorCode = EACCES;
        return {};
    }
    if (::flock(file.fd_, LOCK_EX | LOCK_NB) != 0) {
        errorCode = errno;
        return {};
    }
    return file;
}

FileHandle FileHandle::createUnnamed(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644);
    if (fd >= 0)
        return FileHandle(fd);
    // The file system cannot hold unnamed files.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        return {};
    throw EInOutError::ofCreate(errno);
}

FileHandle FileHandle::createNew(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0)
        throw EInOutError::ofCreate(errno);
    return FileHandle(fd);
}

std::uint64_t FileHandle::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw EInOutError(errno);
    return static_cast<std::uint64_t>(st.st_size);
}

long long FileHandle::tryRead(std::uint64_t position, void* buffer, std::size_t count) const {
    std::size_t got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < count) {
        const ssize_t n =
            ::pread(fd_, bytes + got, count - got, static_cast<off_t>(position + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -errno;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
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
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw EInOutError(errno);
    }
}

void FileHandle::writeAll(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::write(fd_, bytes, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EInOutError(errno);
        // A block written short is a full disk, not something to retry.
        if (static_cast<std::size_t>(n) != count)
            throw EInOutError(ENOSPC);
        count = 0;
    }
}

void FileHandle::writeAt(std::uint64_t position, const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, count, static_cast<off_t>(position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EInOutError(errno);
        if (static_cast<std::size_t>(n) != count)
            throw EInOutError(ENOSPC);
        count = 0;
    }
}

void FileHandle::sync() {
    if (::fsync(fd_) != 0)
        throw EInOutError(errno);
}

void FileHandle::copyFrom(const FileHandle& source, std::uint64_t count) {
    off_t from = 0;
    off_t to = 0;
    bool inKernel = true;
    std::vector<unsigned char> block;
    while (static_cast<std::uint64_t>(to) < count) {
        const std::uint64_t left = count - static_cast<std::uint64_t>(to);
        ssize_t n = -1;
        if (inKernel) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, SSIZE_MAX));
            n = ::copy_file_range(source.fd_, &from, fd_, &to, want, 0);
            // Across file systems or where the kernel cannot: the same copy in large blocks.
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                inKernel = false;
                continue;
            }
        } else {
            const auto want = static_cast<std::size_t>(std::min(left, kCopyBlockSize));
            block.resize(want);
            n = ::pread(source.fd_, block.data(), want, from);
            if (n > 0) {
                writeAt(static_cast<std::uint64_t>(to), block.data(), static_cast<std::size_t>(n));
                from += n;
                to += n;
            }
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EInOutError(errno);
        // The source ended before the size it had when it was opened.
        if (n == 0)
            throw EInOutError::readBeyondEnd();
    }
}

void FileHandle::linkAs(const std::string& path) const {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
        throw EInOutError::ofCreate(errno);
}

bool FileHandle::tryLockExclusive() {
    return ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

bool FileHandle::identity(FileIdentity& id) const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(static_cast<int>(fd_), &st) != 0)
        return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

void FileHandle::refreshSize() {
    openedSize_ = size();
}

void FileHandle::close() {
    const int fd = std::exchange(fd_, -1);
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        throw EInOutError(errno);
}

void FileHandle::discard() noexcept {
    const int fd = std::exchange(fd_, -1);
    if (fd >= 0)
        ::close(fd);
}

void removeFile(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

std::string temporaryFolder() {
    return std::filesystem::temp_directory_path().string();
}

unsigned long processId() {
    return static_cast<unsigned long>(::getpid());
}

std::string systemTextOfErrno(int errnoValue) {
    return std::strerror(errnoValue);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolderOf(const std::string& path) {
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        throw EInOutError(errno);
    const int synced = ::fsync(folder);
    const int syncError = errno;
    ::close(folder);
    if (synced != 0)
        throw EInOutError(syncError);
}

void unlinkIfSameAt(const std::string& path, const FileIdentity& held) {
    struct stat now {};
    if (::lstat(path.c_str(), &now) == 0 && static_cast<std::uint64_t>(now.st_dev) == held.device &&
        static_cast<std::uint64_t>(now.st_ino) == held.file)
        ::unlink(path.c_str());
}

bool isExistingFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isExistingFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathIsTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<FileIdentity> identityOfPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                        static_cast<std::uint64_t>(st.st_ino)};
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}
