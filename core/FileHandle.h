#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Which file a name or handle is: device and inode on POSIX, volume and file index on Windows.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
    // Written out rather than defaulted with <=>: Qt's moc, which reads this header through the
    // window's, cannot parse <compare>.
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : file < other.file;
    }
};

// The file layer: the one place the core and the command line speak to the system about files.
// FileHandle.cpp, UnpublishedCopy.cpp, InterruptCleanup.cpp and SystemText.cpp implement it
// for POSIX, the files in windows/ for Windows; everything above it is the same code on both.

// One open file descriptor. The open*/create* functions and every strict operation raise
// EInOutError; tryRead reports its outcome instead.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Read only, with a shared lock taken without waiting: others may read, not write.
    static FileHandle openShared(const std::string& path);
    // The same, but an unopened handle when no regular file is at `path` (missing, a folder).
    static FileHandle openSharedIfFile(const std::string& path);
    // Read and write with an exclusive lock taken without waiting. Returns an unopened handle
    // and sets `errorCode` when it cannot: ENOENT missing, EISDIR a folder, ENODEV not a
    // regular file (a device, a FIFO), EACCES or EPERM read-only, EROFS on a read-only mount,
    // EWOULDBLOCK locked by someone else, else the errno of the failed call. Only a regular
    // file is ever opened for writing.
    static FileHandle openExclusive(const std::string& path, int& errorCode);
    // An unnamed file in `folder` (O_TMPFILE); an unopened handle where the file system lacks
    // them. A missing folder raises "Path not found".
    static FileHandle createUnnamed(const std::string& folder);
    // A new file; never replaces an existing one.
    static FileHandle createNew(const std::string& path);

    bool isOpen() const { return fd_ >= 0; }
    std::uint64_t size() const;
    // The size when the file was opened, without asking again.
    std::uint64_t openedSize() const { return openedSize_; }

    // Up to `count` bytes at `position`; returns the count got, or -errno.
    long long tryRead(std::uint64_t position, void* buffer, std::size_t count) const;
    // Exactly `count` bytes or an EInOutError.
    void readExact(std::uint64_t position, void* buffer, std::size_t count) const;
    // Sequential read from the current position; returns the count got (0 at the end).
    std::size_t readNext(void* buffer, std::size_t count);
    // All bytes at the current position / at `position`; a write that stops short is a full disk.
    void writeAll(const void* buffer, std::size_t count);
    void writeAt(std::uint64_t position, const void* buffer, std::size_t count);
    void sync();
    // `count` bytes of `source` from its start, at this file's start, in the kernel where it can.
    void copyFrom(const FileHandle& source, std::uint64_t count);
    // Gives this unnamed file the name `path`; an existing name is never replaced (EEXIST).
    void linkAs(const std::string& path) const;
    // Takes an exclusive lock without waiting; false when another process holds one or the
    // file system has no locks.
    bool tryLockExclusive();
    // Which file this is; false when it cannot be asked.
    bool identity(FileIdentity& id) const;
    // Asks the size again and keeps it as the opened size.
    void refreshSize();
    // Closes and reports a failed close.
    void close();
    // Closes, ignoring errors (cleanup after another failure).
    void discard() noexcept;

private:
    // The platform's own helpers of the file layer adopt and reach native handles.
    friend struct FileLayerAccess;
    // A file descriptor, or on Windows a HANDLE.
    using Native = std::intptr_t;
    explicit FileHandle(Native fd) : fd_(fd) {}
    Native fd_ = -1;
    std::uint64_t openedSize_ = 0;
};

// Syncs the folder that holds `path`, so that a new name in it survives a crash.
void syncFolderOf(const std::string& path);
// The folder part of `path` ("." when it has none).
std::string folderOf(const std::string& path);

// Removes `path` only while it is still the file `held`.
void unlinkIfSameAt(const std::string& path, const FileIdentity& held);

// True when `path` names a regular file (after following links); folders and devices do not count.
bool isExistingFile(const std::string& path);
// True when `path` names a folder (after following links).
bool isExistingFolder(const std::string& path);
// True when anything at all stands at `path`, a dangling link included.
bool pathIsTaken(const std::string& path);
// Which file `path` names (after following links); nothing when none is there.
std::optional<FileIdentity> identityOfPath(const std::string& path);
// Removes the file at `path`, ignoring errors (cleanup).
void removeFile(const std::string& path) noexcept;
// The folder for temporary files, and this process's ID, which names them.
std::string temporaryFolder();
unsigned long processId();
// True when standard error is a terminal, where a progress line may be shown.
bool standardErrorIsTerminal();
