// The bookkeeping of a run over several copies, the same on every system: the copies it holds
// unpublished and the copies it has published.
#include "core/UnpublishedCopy.h"

#include "core/EInOutError.h"
#include "core/InterruptCleanup.h"

#include <algorithm>
#include <cerrno>

namespace qm::core {

namespace {

PublishedCopies* openRun = nullptr;
HeldCopies* openHold = nullptr;

} // namespace

void UnpublishedCopy::publish(const std::string& newPath) {
    if (!HeldCopies::hold(*this, newPath))
        publishNow(newPath);
}

HeldCopies::HeldCopies() : previous_(openHold) {
    openHold = this;
}

HeldCopies::~HeldCopies() {
    openHold = previous_;
}

bool HeldCopies::hold(UnpublishedCopy& copy, const std::string& newPath) {
    if (!openHold || std::find(openHold->expected_.begin(), openHold->expected_.end(), newPath) ==
                         openHold->expected_.end())
        return false;
    if (heldInterrupt() != 0)
        throw EInOutError(EINTR);
    for (const auto& held : openHold->copies_)
        if (held.second == newPath)
            throw EInOutError::ofCreate(EEXIST);
    openHold->copies_.emplace_back(
        std::unique_ptr<UnpublishedCopy>(new UnpublishedCopy(std::move(copy))), newPath);
    return true;
}

void HeldCopies::publishAll(std::string& publishing) {
    for (auto& [copy, path] : copies_) {
        if (!copy)
            continue;
        publishing = path;
        copy->publishNow(path);
        copy.reset();
    }
}

PublishedCopies::PublishedCopies() : previous_(openRun) {
    openRun = this;
}

PublishedCopies::~PublishedCopies() {
    openRun = previous_;
}

void PublishedCopies::note(const std::string& path, const FileHandle& file) {
    FileIdentity id;
    if (openRun && file.identity(id))
        openRun->copies_.push_back({path, id});
}

} // namespace qm::core
