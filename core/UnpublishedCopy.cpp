#include "core/UnpublishedCopy.h"

#include "core/EInOutError.h"
#include "core/InterruptCleanup.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::core {

namespace {

std::string baseNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A hidden temporary file of ours: "." NAME "." PID "-" N. Gives NAME and PID.
bool parseTemporaryName(const std::string& name, std::string& target, pid_t& pid) {
    const std::size_t dash = name.rfind('-');
    const std::size_t dot = dash == std::string::npos ? dash : name.rfind('.', dash);
    if (name.size() < 2 || name[0] != '.' || dot == std::string::npos || dot < 2 ||
        dash + 1 == name.size() || dash == dot + 1)
        return false;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        if (i != dash && (name[i] < '0' || name[i] > '9'))
            return false;
    // A PID, and a number below a million.
    if (dash - dot > 11 || name.size() - dash > 7)
        return false;
    target = name.substr(1, dot - 1);
    pid = static_cast<pid_t>(std::stol(name.substr(dot + 1, dash - dot - 1)));
    return true;
}

bool processIsGone(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Opens `path` when it is a regular file that nobody holds locked: its maker is gone.
int openAbandoned(int folder, const std::string& name, struct stat& st) {
    const int fd =
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Unlinks `name` if it is still the file `held` is open on.
void unlinkIfSame(int folder, const std::string& name, const struct stat& held) {
    struct stat now {};
    if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, held))
        ::unlinkat(folder, name.c_str(), 0);
}

} // namespace

UnpublishedCopy::UnpublishedCopy(const std::string& newPath) {
    file_ = FileHandle::createUnnamed(folderOf(newPath));
    if (file_.isOpen())
        return;
    removeStaleCopies(folderOf(newPath));
    const std::string hidden = folderOf(newPath) + "/." + baseNameOf(newPath);
    const auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; !file_.isOpen(); ++attempt) {
        const std::string candidate = hidden + "." + std::to_string(::getpid()) + "-" +
                                      std::to_string((seed + attempt) % 1000000);
        try {
            // Registered in the step that creates it: an interrupt can neither leave it behind
            // nor remove a file of the same name that was not ours.
            const InterruptsDeferred deferred;
            file_ = FileHandle::createNew(candidate);
            temporaryPath_ = candidate;
            registerInterruptCleanup(candidate);
        } catch (const EInOutError& error) {
            if (error.errnoValue() != EEXIST || attempt > 100)
                throw;
        }
    }
    // Held while this process lives: a later run knows a locked file is no leftover. Where the
    // file system has no locks, a later run cannot tell, and leaves the file alone.
    file_.tryLockExclusive();
}

UnpublishedCopy::~UnpublishedCopy() {
    if (temporaryPath_.empty())
        return;
    ::unlink(temporaryPath_.c_str());
    clearInterruptCleanup();
}

void UnpublishedCopy::publishNow(const std::string& newPath) {
    if (heldInterrupt() != 0)
        throw EInOutError(EINTR);
    if (temporaryPath_.empty()) {
        file_.linkAs(newPath);
    } else if (::link(temporaryPath_.c_str(), newPath.c_str()) != 0) {
        // FAT, exFAT and many FUSE file systems have no hard links.
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
            throw EInOutError::ofCreate(errno);
        if (::renameat2(AT_FDCWD, temporaryPath_.c_str(), AT_FDCWD, newPath.c_str(),
                        RENAME_NOREPLACE) == 0) {
            temporaryPath_.clear();
            clearInterruptCleanup();
        } else if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
            publishByReservation(newPath);
        } else {
            throw EInOutError::ofCreate(errno);
        }
    }
    try {
        syncFolderOf(newPath);
    } catch (const EInOutError&) {
        // Not known to be on disk: not published.
        FileIdentity id;
        if (file_.identity(id))
            unlinkIfSameAt(newPath, id);
        throw;
    }
    PublishedCopies::note(newPath, file_);
}

// Where a file system can neither link nor rename without replacing, the name is first taken
// by an empty file of our own, made with O_EXCL so that it never replaces anything, and the
// copy is renamed over it while it is still ours. A reader of the name sees nothing, an empty
// file or the complete copy; never a part of it.
void UnpublishedCopy::publishByReservation(const std::string& newPath) {
    FileHandle reserved;
    {
        // The name is registered for removal only once it is ours, and in the same step.
        const InterruptsDeferred deferred;
        reserved = FileHandle::createNew(newPath);
        registerInterruptCleanup(temporaryPath_, newPath);
    }
    reserved.tryLockExclusive();
    FileIdentity ours;
    struct stat now {};
    errno = 0;
    if (!reserved.identity(ours) || ::lstat(newPath.c_str(), &now) != 0 ||
        !(identityOf(now) == ours) || now.st_size != 0 ||
        ::rename(temporaryPath_.c_str(), newPath.c_str()) != 0) {
        const int error = errno;
        unlinkIfSameAt(newPath, ours);
        registerInterruptCleanup(temporaryPath_);
        throw EInOutError::ofCreate(error == 0 ? EEXIST : error);
    }
    temporaryPath_.clear();
    clearInterruptCleanup();
}

std::vector<std::string> PublishedCopies::removeAll() {
    std::vector<std::string> left;
    for (auto it = copies_.rbegin(); it != copies_.rend(); ++it) {
        struct stat st {};
        if (::lstat(it->path.c_str(), &st) != 0)
            continue;
        // Another file put in its place since is not ours to remove.
        if (!(identityOf(st) == it->identity))
            continue;
        if (::unlink(it->path.c_str()) != 0)
            left.push_back(it->path);
    }
    copies_.clear();
    return left;
}

void removeStaleCopies(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* listing = ::fdopendir(::dup(fd));
    if (!listing) {
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing))
        names.emplace_back(entry->d_name);
    ::closedir(listing);
    for (const std::string& name : names) {
        std::string target;
        pid_t pid = 0;
        if (!parseTemporaryName(name, target, pid) || !processIsGone(pid))
            continue;
        struct stat temporary {};
        const int stale = openAbandoned(fd, name, temporary);
        if (stale < 0)
            continue;
        // A name reserved for this copy is an empty file made after the copy's last write,
        // unlocked since its maker died.
        struct stat reserved {};
        const int holder = openAbandoned(fd, target, reserved);
        if (holder >= 0) {
            if (reserved.st_size == 0 && reserved.st_mtime >= temporary.st_mtime)
                unlinkIfSame(fd, target, reserved);
            ::close(holder);
        }
        unlinkIfSame(fd, name, temporary);
        ::close(stale);
    }
    ::close(fd);
}

} // namespace qm::core
