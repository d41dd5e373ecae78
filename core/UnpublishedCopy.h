#pragma once

#include "core/FileHandle.h"

#include <string>
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
    // (EINTR) when a held interrupt has come: the run is being undone.
    void publish(const std::string& newPath);

private:
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

// Removes from `folder` what killed makes left: hidden temporary files of ours whose process
// is gone, and the empty file that held a name while such a file was being published.
void removeStaleCopies(const std::string& folder);

} // namespace qm::core
