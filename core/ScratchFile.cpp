#include "core/ScratchFile.h"

#include "core/EInOutError.h"
#include "core/FileHandle.h"

#include <cerrno>

namespace qm::core {

namespace {

// Names taken by other runs are skipped; this many in a row means something else is wrong.
constexpr unsigned kNamesTried = 100;

} // namespace

std::string ScratchFile::nextName(std::string_view prefix) {
    if (tried_ == kNamesTried)
        throw EInOutError::ofCreate(EEXIST);
    return temporaryFolder() + "/" + std::string(prefix) + "-" + std::to_string(processId()) + "-" +
           std::to_string(tried_++);
}

ScratchFile::ScratchFile(std::string_view prefix, std::string_view bytes) {
    for (;;) {
        path_ = nextName(prefix);
        try {
            FileHandle file = FileHandle::createNew(path_);
            ours_ = true;
            file.writeAll(bytes.data(), bytes.size());
            file.close();
            return;
        } catch (const EInOutError& error) {
            if (ours_) {
                removeFile(path_);
                throw;
            }
            if (error.errnoValue() != EEXIST)
                throw;
        }
    }
}

ScratchFile::ScratchFile(std::string_view prefix) {
    do
        path_ = nextName(prefix);
    while (pathIsTaken(path_));
    ours_ = true;
}

ScratchFile ScratchFile::freeName(std::string_view prefix) {
    return ScratchFile(prefix);
}

ScratchFile::~ScratchFile() {
    if (ours_)
        removeFile(path_);
}

} // namespace qm::core
