#pragma once

#include "core/FileHandle.h"

#include <string>

namespace qm::core {

// The copy before it has its name: an unnamed file in the new file's folder, or where the
// file system has none, a hidden file beside it that every way out removes.
class UnpublishedCopy {
public:
    explicit UnpublishedCopy(const std::string& newPath);
    ~UnpublishedCopy();
    UnpublishedCopy(const UnpublishedCopy&) = delete;
    UnpublishedCopy& operator=(const UnpublishedCopy&) = delete;

    FileHandle& file() { return file_; }

    // Links the finished copy to its name, which must still be free, and syncs the folder.
    void publish(const std::string& newPath);

private:
    FileHandle file_;
    std::string temporaryPath_;
};

} // namespace qm::core
