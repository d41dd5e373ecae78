#include "core/UnpublishedCopy.h"

#include "core/EInOutError.h"
#include "core/InterruptCleanup.h"

#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace qm::core {

UnpublishedCopy::UnpublishedCopy(const std::string& newPath) {
    file_ = FileHandle::createUnnamed(folderOf(newPath));
    if (file_.isOpen())
        return;
    const std::string hidden = folderOf(newPath) + "/." + newPath.substr(newPath.rfind('/') + 1);
    const auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; !file_.isOpen(); ++attempt) {
        const std::string candidate = hidden + "." + std::to_string(::getpid()) + "-" +
                                      std::to_string((seed + attempt) % 1000000);
        try {
            // Registered before it exists, so an interrupt cannot leave it behind.
            registerInterruptCleanup(candidate);
            file_ = FileHandle::createNew(candidate);
            temporaryPath_ = candidate;
        } catch (const EInOutError& error) {
            clearInterruptCleanup();
            if (error.errnoValue() != EEXIST || attempt > 100)
                throw;
        }
    }
}

UnpublishedCopy::~UnpublishedCopy() {
    if (temporaryPath_.empty())
        return;
    ::unlink(temporaryPath_.c_str());
    clearInterruptCleanup();
}

void UnpublishedCopy::publish(const std::string& newPath) {
    if (temporaryPath_.empty())
        file_.linkAs(newPath);
    else if (::link(temporaryPath_.c_str(), newPath.c_str()) != 0)
        throw EInOutError::ofCreate(errno);
    try {
        syncFolderOf(newPath);
    } catch (const EInOutError&) {
        // Not known to be on disk: not published.
        ::unlink(newPath.c_str());
        throw;
    }
}

} // namespace qm::core
