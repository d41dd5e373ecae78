#pragma once

#include "core/FileHandle.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qm::core {

// The copy before it has its name: an unnamed file in the new file's folder, or where the
// file system has none, a hidden file beside it (".NAME.PID-N", locked while its process
// lives) that every way out removes, and that the next copy into the folder removes when a
// killed process left it.
class UnpublishedCopy {
public:
    explicit UnpublishedCopy(const std::string& newPath);
    ~UnpublishedCopy();
    UnpublishedCopy(const UnpublishedCopy&) = delete;
    UnpublishedCopy& operator=(const UnpublishedCopy&) = delete;

    FileHandle& file() { return file_; }

    // Gives the finished copy its name, which must still be free, and syncs the folder. An
    // existing file is never replaced, and the name never shows a partial copy. Refused
    // (EINTR) when a held interrupt has come: the run is being undone. While HeldCopies are
    // open, the copy is handed to them instead and gets its name when they publish.
    void publish(const std::string& newPath);

private:
    friend class HeldCopies;
    UnpublishedCopy(UnpublishedCopy&& other) noexcept
        : file_(std::move(other.file_)), temporaryPath_(std::move(other.temporaryPath_)) {
        other.temporaryPath_.clear();
    }
    void publishNow(const std::string& newPath);
    void publishByReservation(const std::string& newPath);

    FileHandle file_;
    std::string temporaryPath_;
};

// The copies published while a run is open, so that a run over several files can take back
// exactly the files it made, and none that has since been put in their place.
class PublishedCopies {
public:
    PublishedCopies();
    ~PublishedCopies();
    PublishedCopies(const PublishedCopies&) = delete;
    PublishedCopies& operator=(const PublishedCopies&) = delete;

    // Removes every copy of the run; returns those that are still there.
    std::vector<std::string> removeAll();

    // Called by a publish: `file` is now at `path`.
    static void note(const std::string& path, const FileHandle& file);

private:
    struct Copy {
        std::string path;
        FileIdentity identity;
    };
    std::vector<Copy> copies_;
    PublishedCopies* previous_;
};

// The finished copies of a run over several files, kept unpublished (unnamed, or hidden where
// the file system has no unnamed files) until the run has made them all, so that a run killed
// before it publishes leaves no copy in sight. Those not published when it closes are removed.
class HeldCopies {
public:
    HeldCopies();
    ~HeldCopies();
    HeldCopies(const HeldCopies&) = delete;
    HeldCopies& operator=(const HeldCopies&) = delete;

    // A copy to be published at `path` is to be held; the scratch files a writer may publish on
    // its way are not.
    void expect(const std::string& path) { expected_.push_back(path); }

    // Gives every copy its name, in the order they were made; `publishing` is the name being
    // given. Raises as UnpublishedCopy::publish does; the copies not yet published stay held.
    void publishAll(std::string& publishing);

private:
    friend class UnpublishedCopy;
    // Takes `copy` when a run holds copies and expects one at `newPath`; a name already held
    // raises EEXIST.
    static bool hold(UnpublishedCopy& copy, const std::string& newPath);

    std::vector<std::string> expected_;
    std::vector<std::pair<std::unique_ptr<UnpublishedCopy>, std::string>> copies_;
    HeldCopies* previous_;
};

// Removes from `folder` what killed makes left: hidden temporary files of ours whose process
// is gone, and the empty file that held a name while such a file was being published.
void removeStaleCopies(const std::string& folder);

} // namespace qm::core
