#include "session/FontSession.h"

#include "core/Windows1252.h"

namespace qm::session {

std::string FontSession::browse(const std::string& folder) {
    browsed_ = folder;
    currentPath_ = browsedFolder();
    return destination_.empty() ? currentPath_ : destination_;
}

std::string FontSession::browsedFolder() const {
    return browsed_.ends_with('/') ? browsed_ : browsed_ + '/';
}

Outcome FontSession::load() {
    font_ = FontRead{};
    font_ = ReadFontNames(currentPath_);
    if (font_.ReadFailed)
        return notShown(nullptr);
    Outcome outcome;
    outcome.showNames = true;
    return outcome;
}

Outcome FontSession::notShown(const char* reason) {
    if (reason) {
        font_.ReadFailed = true;
        font_.ErrorText = reason;
    }
    Outcome outcome = saying(Cue::OhOh, MessageKind::FontPanel, windows1252ToUtf8(font_.ErrorText));
    outcome.path = currentPath_;
    outcome.forgetFont = true;
    forget();
    return outcome;
}

void FontSession::forget() {
    font_.FontNames.reset();
    currentPath_.clear();
    source_.clear();
}

Outcome FontSession::openMake() const {
    if (currentPath_.empty())
        return saying(Cue::Ding, MessageKind::Information, kNothingToCreateText);
    return {};
}

MakePlan FontSession::planMake(const std::string& typedName) const {
    MakePlan plan;
    // A folder part can only arrive by pasting; the new file goes into the chosen folder only.
    if (!isValidNewFontName(typedName) || typedName.find('/') != std::string::npos) {
        plan.refusal = saying(Cue::Ding, MessageKind::Information, kBadFileNameText);
        return plan;
    }
    // Only the new file's own name changes case, never its folder.
    const std::string target = composeNewFontPath(makeFolder(), typedName);
    if (std::optional<Outcome> taken = refuseTaken(target, kWindowRules)) {
        plan.refusal = *taken;
        return plan;
    }
    plan.target = target;
    return plan;
}

Outcome FontSession::make(const MakePlan& plan, const NameTexts& boxes) {
    // A box left as it was keeps the source's own records: the source must still read as the
    // names the boxes were filled from.
    CopyPlan copy;
    copy.source = source_;
    copy.target = plan.target;
    copy.boxes = font_.FontNames;
    storeNameTexts(boxes, *copy.boxes);
    copy.plannedNames = namesAsRead(font_.FontNames);
    Outcome outcome = makeCopy(copy, kWindowRules);
    if (outcome.disk != OnDisk::Created) {
        // A failed write names the folder that refused.
        if (!outcome.path.empty())
            outcome.path = makeFolder();
        return outcome;
    }
    // The record holds the names the new file reads as, for a copy made from it.
    font_.FontNames = copy.made.front().readBack;
    currentPath_ = plan.target;
    source_ = plan.target;
    return outcome;
}

Outcome FontSession::restore() {
    Restored restored = restoreFile(currentPath_, kWindowRules);
    if (restored.outcome.disk == OnDisk::Swapped)
        font_ = std::move(restored.read);
    if (restored.outcome.forgetFont)
        forget();
    return restored.outcome;
}

} // namespace qm::session
