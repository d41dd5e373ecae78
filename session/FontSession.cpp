#include "session/FontSession.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/RenamedFontWriter.h"
#include "core/Windows1252.h"

#include <cerrno>

namespace qm::session {

namespace {

Outcome refused(Cue cue, MessageKind kind, std::string message) {
    Outcome outcome;
    outcome.cue = cue;
    outcome.kind = kind;
    outcome.message = std::move(message);
    return outcome;
}

} // namespace

bool pathIsTaken(const std::string& path) {
    // The link itself, not what it points to: a dangling link takes the name too. The file layer
    // asks, so that a Windows path in any script, or a long one, is asked as it is.
    return !path.empty() && ::pathIsTaken(path);
}

std::string notConfirmedText(const SwapResult& swap) {
    return std::string(SwapResult::kNotConfirmedText) + '\r' + swap.ErrorText;
}

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
    Outcome outcome =
        refused(Cue::OhOh, MessageKind::FontPanel, windows1252ToUtf8(font_.ErrorText));
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
        return refused(Cue::Ding, MessageKind::Information, kNothingToCreateText);
    return {};
}

MakePlan FontSession::planMake(const std::string& typedName) const {
    MakePlan plan;
    // A folder part can only arrive by pasting; the new file goes into the chosen folder only.
    if (!isValidNewFontName(typedName) || typedName.find('/') != std::string::npos) {
        plan.refusal = refused(Cue::Ding, MessageKind::Information, kBadFileNameText);
        return plan;
    }
    // Only the new file's own name changes case, never its folder.
    const std::string target = composeNewFontPath(makeFolder(), typedName);
    // This also keeps the source safe when its own name is chosen in its own folder.
    if (pathIsTaken(target)) {
        plan.refusal = refused(Cue::OhOh, MessageKind::Error, kFileExistsText);
        return plan;
    }
    plan.target = target;
    return plan;
}

Outcome FontSession::make(const MakePlan& plan, const NameTexts& boxes) {
    // A box left as it was keeps the source's own records: the source must still read as the
    // names the boxes were filled from.
    FontNames names = font_.FontNames;
    storeNameTexts(boxes, names);
    FontNames written;
    try {
        // The writer publishes a finished, verified copy or nothing.
        written = WriteRenamedFont(source_, plan.target, names, namesAsRead(font_.FontNames));
    } catch (const EInOutError& error) {
        // Another program took the name meanwhile: as when it was taken before.
        if (error.errnoValue() == EEXIST)
            return refused(Cue::OhOh, MessageKind::Error, kFileExistsText);
        // Any other failed write names the folder that refused.
        Outcome outcome = refused(Cue::None, MessageKind::Error, error.what());
        outcome.path = makeFolder();
        return outcome;
    }
    // The record holds the names the new file reads as, for a copy made from it.
    font_.FontNames = written;
    currentPath_ = plan.target;
    source_ = plan.target;
    Outcome outcome;
    outcome.disk = OnDisk::Created;
    outcome.cue = Cue::Ok;
    return outcome;
}

Outcome FontSession::restore() {
    const std::string path = currentPath_;
    // The core checks the saved location before it writes anything.
    const SwapResult swap = swapNameTables(path);
    // Not opened: nothing was written, and the font stays on show. Another program's lock
    // keeps "Font is in use by another application."
    if (swap.outcome == SwapOutcome::InUse) {
        Outcome outcome =
            refused(Cue::OhOh, MessageKind::FontPanel, windows1252ToUtf8(swap.ErrorText));
        outcome.path = path;
        return outcome;
    }
    Outcome outcome;
    if (swap.outcome == SwapOutcome::Swapped) {
        // The swap was made only if the file reads after it; that read is its names now.
        font_ = swap.read;
        outcome.disk = OnDisk::Swapped;
        outcome.cue = Cue::Chimes;
        outcome.showNames = true;
        return outcome;
    }
    // The file changed, but whether the change is on disk is not known: say so. A file that
    // would not read was left alone, but the press fails as for one that no longer reads.
    const bool unconfirmed = swap.outcome == SwapOutcome::NotConfirmed;
    outcome = refused(Cue::OhOh, MessageKind::Error,
                      unconfirmed ? windows1252ToUtf8(notConfirmedText(swap))
                                  : std::string(kNotValidText));
    outcome.disk = unconfirmed ? OnDisk::SwappedUnconfirmed : OnDisk::Nothing;
    outcome.forgetFont = true;
    forget();
    return outcome;
}

} // namespace qm::session
