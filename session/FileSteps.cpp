#include "session/FileSteps.h"

#include "session/RestoreJournal.h"

#include "core/ByteHelpers.h"
#include "core/CopyTrailer.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/InterruptCleanup.h"
#include "core/NameSwap.h"
#include "core/ScratchFile.h"
#include "core/StateFolder.h"
#include "core/UnpublishedCopy.h"
#include "core/WebFont.h"
#include "core/Windows1252.h"
#include "session/RestoreJournal.h"

#include <algorithm>
#include <cerrno>
#include <set>

namespace qm::session {

namespace {

// A web font keeps no names to swap back: make wrote a new file and left the source as it was.
constexpr const char* kWebFontRestoreText =
    "A web font cannot be restored in place; its source was never changed.";

// The face is taken out of the collection first; the copy is then made from it as from any
// font, so it restores to the face as it stands in the collection.
MadeCopy writeFace(const CopyPlan& copy, FontKinds kinds) {
    std::string problem;
    std::optional<std::string> font;
    {
        const FileHandle file = FileHandle::openShared(copy.source);
        font = qm::core::standaloneFace(FileFontBytes(file), *copy.face, problem);
    }
    if (!font)
        throw EMakeRefused(problem);
    const qm::core::ScratchFile face("quillmark-face", *font);
    font.reset();
    return WriteRenamedFont(face.path(), copy.target, copy.newTexts, copy.sourceTexts, kinds);
}

void write(CopyPlan& copy, const Rules& rules) {
    if (copy.boxes) {
        MadeCopy made;
        made.readBack = WriteRenamedFont(copy.source, copy.target, *copy.boxes, copy.plannedNames);
        copy.made = {std::move(made)};
    } else if (copy.face) {
        copy.made = {writeFace(copy, rules.kinds)};
    } else if (copy.web) {
        copy.made = {qm::core::writeRenamedWebFont(copy.source, copy.target, copy.newTexts,
                                                   copy.sourceTexts)};
    } else if (copy.collection) {
        copy.made = qm::core::writeRenamedCollection(copy.source, copy.target, copy.faces);
    } else {
        copy.made = {WriteRenamedFont(copy.source, copy.target, copy.newTexts, copy.sourceTexts,
                                      rules.kinds)};
    }
}

// Whether the file at `path` has the form `is` looks for. A file that cannot be opened to look
// is left to the font swap, which says why it cannot be opened.
template <typename Test> bool fileIs(const std::string& path, Test is) {
    try {
        const FileHandle file = FileHandle::openSharedIfFile(path);
        return file.isOpen() && is(FileFontBytes(file));
    } catch (const EInOutError&) {
        return false;
    }
}

// A collection does not read as a font, so the font swap leaves it alone and it is then
// swapped as a collection.
SwapResult swap(const std::string& path, const Rules& rules, bool& collection) {
    SwapResult result = swapNameTables(path, rules.kinds);
    const bool notAFont =
        result.outcome == SwapOutcome::NotValid || result.outcome == SwapOutcome::NoNameEntry;
    if (!notAFont || !rules.collectionsAndWebFonts)
        return result;
    if (fileIs(path, [](const FontBytes& bytes) {
            return qm::core::webFormatOf(bytes) != qm::core::WebFormat::None;
        })) {
        result.ErrorText = kWebFontRestoreText;
        return result;
    }
    if (!fileIs(path, [](const FontBytes& bytes) { return qm::core::isCollection(bytes); }))
        return result;
    collection = true;
    const qm::core::CollectionSwapResult faces = qm::core::swapCollection(path);
    result = SwapResult{};
    result.outcome = faces.outcome;
    result.ErrorText = faces.ErrorText;
    return result;
}

// Why a file that opened was not restored, in the code page of the swap's ErrorText.
std::string reasonNotRestored(const std::string& path, const SwapResult& swap, const Rules& rules) {
    if (!swap.ErrorText.empty())
        return swap.ErrorText;
    // A font that reads but carries no trailer was never renamed.
    try {
        const FontRead read = ReadFontNames(path, rules.kinds);
        if (!read.ReadFailed && !read.IsRenamed)
            return SwapResult::kNotRenamedText;
    } catch (const EInOutError&) {
    }
    return SwapResult::kNotValidFontText;
}

Restored restoredAs(const std::string& path, const SwapResult& swap, const Rules& rules) {
    Restored restored;
    Outcome& outcome = restored.outcome;
    switch (swap.outcome) {
    case SwapOutcome::Swapped:
        // The swap was made only if the file reads after it; that read is its names now.
        restored.read = swap.read;
        outcome.disk = OnDisk::Swapped;
        outcome.cue = Cue::Chimes;
        outcome.showNames = true;
        return restored;
    case SwapOutcome::InUse:
        // Not opened: nothing was written, and the font stays on show. Another program's lock
        // keeps "Font is in use by another application."
        outcome = saying(Cue::OhOh, MessageKind::FontPanel, windows1252ToUtf8(swap.ErrorText));
        outcome.path = path;
        return restored;
    case SwapOutcome::NotConfirmed:
        // The file changed, but whether the change is on disk is not known: say so.
        outcome = saying(Cue::OhOh, MessageKind::Error, windows1252ToUtf8(notConfirmedText(swap)));
        outcome.disk = OnDisk::SwappedUnconfirmed;
        break;
    default:
        // A file that would not read was left alone, but the press fails as for one that no
        // longer reads.
        outcome =
            saying(Cue::OhOh, MessageKind::Error,
                   rules.notRestoredText ? std::string(rules.notRestoredText)
                                         : windows1252ToUtf8(reasonNotRestored(path, swap, rules)));
        break;
    }
    outcome.forgetFont = true;
    return restored;
}

Restored restoreSwept(const std::string& path, const Rules& rules);

// A run's step that raised EInOutError failed as a file that did not read, with the error's
// text; the file is as it was.
Restored restoreOrFail(const std::string& path, const Rules& rules) {
    try {
        return restoreSwept(path, rules);
    } catch (const EInOutError& error) {
        SwapResult failed;
        failed.ErrorText = error.what();
        return restoredAs(path, failed, rules);
    }
}

// Swaps back, last first; returns the files that could not be swapped back.
std::vector<std::string> swapBack(const RestoreRun& run, const Rules& rules) {
    std::vector<std::string> left;
    for (auto it = run.restored.rbegin(); it != run.restored.rend(); ++it)
        if (restoreOrFail(it->first, rules).outcome.disk != OnDisk::Swapped)
            left.push_back(it->first);
    return left;
}

// A half-done swap is completed first, and one completed back to where the run found the file
// is swapped once more.
constexpr int kMostSwapsToFinish = 3;

// Brings a file of an unfinished run to where the run was taking it; counts the swaps made.
// False, with why, when it cannot.
bool finishFile(const JournalFile& entry, const Rules& rules, int& swaps, std::string& why) {
    for (swaps = 0;; ++swaps) {
        switch (standingOf(entry)) {
        case Standing::After:
            return true;
        case Standing::Missing:
        case Standing::Other:
            why = "no longer the file the interrupted restore was swapping";
            return false;
        case Standing::Before:
        case Standing::Between:
            break;
        }
        if (swaps == kMostSwapsToFinish) {
            why = "could not be brought to where the interrupted restore was taking it";
            return false;
        }
        const Restored restored = restoreOrFail(entry.path, rules);
        if (restored.outcome.disk != OnDisk::Swapped) {
            why = restored.outcome.message;
            return false;
        }
    }
}

// Finishes the run of one journal; false when it had to stop.
bool finishRun(const std::string& journalPath, FileHandle& journal,
               const std::vector<JournalFile>& files, const Rules& rules, Finishing& finishing) {
    for (const JournalFile& file : files) {
        const Standing standing = standingOf(file);
        if (standing == Standing::Missing || standing == Standing::Other) {
            finishing.said.push_back(
                file.path + ": " +
                (standing == Standing::Missing ? "missing" : "no longer the same file") +
                ", but an interrupted restore of it and " + std::to_string(files.size() - 1) +
                " other file(s) is unfinished; nothing was changed. Put it back and run the "
                "restore again (or, to give up finishing that restore, remove " +
                journalPath + ")");
            return false;
        }
    }
    finishing.said.push_back("finishing an interrupted restore of " + std::to_string(files.size()) +
                             " file(s) first");
    for (const JournalFile& file : files) {
        finishing.interruptedBy = qm::core::heldInterrupt();
        if (finishing.interruptedBy != 0)
            return false;
        int swaps = 0;
        std::string why;
        if (!finishFile(file, rules, swaps, why)) {
            finishing.said.push_back(file.path + ": " + why +
                                     "; the interrupted restore stays unfinished (" + journalPath +
                                     ")");
            return false;
        }
        finishing.said.push_back(file.path +
                                 (swaps == 0 ? ": was already swapped" : ": swapped to finish it"));
        finishing.finished.push_back(file.path);
        if (const std::optional<FileIdentity> id = identityOfPath(file.path))
            finishing.finishedFiles.push_back(*id);
    }
    // Let go first: Windows removes no file open without sharing its removal. A restore that
    // takes the journal meanwhile finds every file already swapped.
    journal.discard();
    removeFile(journalPath);
    return true;
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

void planTexts(const FullNameTextsUtf8& source, const TypedTexts& typed, NewNameTexts& newTexts,
               FullNameTexts& sourceTexts, std::string& postscript) {
    NameTexts boxes;
    boxes.Copyright = source[0];
    boxes.FamilyName = source[1];
    boxes.Style = source[2];
    boxes.FontID = source[3];
    boxes.FullName = source[4];
    boxes.Version = source[5];
    boxes.Postscript = source[6];
    boxes.TradeMark = source[7];
    for (const auto& [field, text] : typed)
        boxes.*field = text;
    // The derivation touches ASCII blanks, controls and letters only, so it works on UTF-8.
    const NameTexts names = deriveNameTexts(boxes, source[1]);
    const std::string* derived[8] = {&names.Copyright,  &names.FamilyName, &names.Style,
                                     &names.FontID,     &names.FullName,   &names.Version,
                                     &names.Postscript, &names.TradeMark};
    for (unsigned k = 0; k < 8; ++k) {
        sourceTexts[k] = utf8ToUtf32(source[k]);
        std::u32string text = utf8ToUtf32(*derived[k]);
        if (k == 6)
            text = postscriptNameOf(text);
        if (text != sourceTexts[k])
            newTexts[k] = std::move(text);
    }
    postscript = utf32ToUtf8(newTexts[6].value_or(sourceTexts[6]));
}

std::optional<Outcome> refuseTaken(const std::string& target, const Rules& rules) {
    if (!pathIsTaken(target))
        return std::nullopt;
    return saying(Cue::OhOh, MessageKind::Error, rules.fileExistsText);
}

Outcome makeCopy(CopyPlan& copy, const Rules& rules) {
    // This also keeps the source safe when its own name is chosen in its own folder.
    if (std::optional<Outcome> taken = refuseTaken(copy.target, rules))
        return *taken;
    copy.made.clear();
    try {
        // The writers publish a finished, verified copy or nothing.
        write(copy, rules);
    } catch (const EInOutError& error) {
        // Another program took the name meanwhile: as when it was taken before.
        if (error.errnoValue() == EEXIST)
            return saying(Cue::OhOh, MessageKind::Error, rules.fileExistsText);
        Outcome outcome = saying(Cue::None, MessageKind::Error, error.what());
        outcome.path = copy.target;
        return outcome;
    }
    Outcome outcome;
    outcome.disk = OnDisk::Created;
    outcome.cue = Cue::Ok;
    return outcome;
}

Restored restoreFile(const std::string& path, const Rules& rules) {
    // A copy a killed make left half published in the folder would otherwise stay there.
    qm::core::removeStaleCopies(folderOf(path));
    return restoreSwept(path, rules);
}

namespace {

Restored restoreSwept(const std::string& path, const Rules& rules) {
    bool collection = false;
    // The core checks the saved location before it writes anything.
    const SwapResult result = swap(path, rules, collection);
    Restored restored = restoredAs(path, result, rules);
    restored.collection = collection;
    return restored;
}

} // namespace

Run makeAll(std::vector<CopyPlan>& copies, const Rules& rules, const FailureSeen& seen) {
    Run run;
    qm::core::PublishedCopies published;
    // Every copy is written, synced and verified unpublished first; only then do they get
    // their names, one after the other. A run killed before that leaves no copy in sight.
    qm::core::HeldCopies held;
    const auto undone = [&] {
        run.interruptedBy = qm::core::heldInterrupt();
        run.left = published.removeAll();
        return run;
    };
    for (CopyPlan& copy : copies) {
        if (qm::core::heldInterrupt() != 0)
            return undone();
        held.expect(copy.target);
        Outcome outcome;
        try {
            outcome = makeCopy(copy, rules);
        } catch (const std::exception& error) {
            outcome = saying(Cue::None, MessageKind::Error, error.what());
            outcome.path = copy.target;
        }
        if (outcome.disk == OnDisk::Created)
            continue;
        if (qm::core::heldInterrupt() != 0)
            return undone();
        // Only what this run created goes; a failed copy leaves nothing of its own.
        seen(copy.target, outcome);
        run.failure.emplace(copy.target, std::move(outcome));
        run.left = published.removeAll();
        return run;
    }
    if (qm::core::heldInterrupt() != 0)
        return undone();
    std::string publishing;
    try {
        held.publishAll(publishing);
    } catch (const EInOutError& error) {
        if (qm::core::heldInterrupt() != 0)
            return undone();
        Outcome outcome = error.errnoValue() == EEXIST
                              ? saying(Cue::OhOh, MessageKind::Error, rules.fileExistsText)
                              : saying(Cue::None, MessageKind::Error, error.what());
        if (error.errnoValue() != EEXIST)
            outcome.path = publishing;
        seen(publishing, outcome);
        run.failure.emplace(publishing, std::move(outcome));
        run.left = published.removeAll();
        return run;
    }
    if (qm::core::heldInterrupt() != 0)
        return undone();
    return run;
}

bool Finishing::covers(const std::string& path) const {
    const std::optional<FileIdentity> id = identityOfPath(path);
    return std::find(finished.begin(), finished.end(), qm::core::absolutePathOf(path)) !=
               finished.end() ||
           (id &&
            std::find(finishedFiles.begin(), finishedFiles.end(), *id) != finishedFiles.end());
}

Finishing finishUnfinishedRuns(const std::vector<std::string>& paths, const Rules& rules) {
    Finishing finishing;
    std::string problem;
    const std::string folder = qm::core::stateFolder(problem);
    if (folder.empty())
        return finishing;
    std::set<std::string> named;
    std::set<FileIdentity> namedFiles;
    for (const std::string& path : paths) {
        named.insert(qm::core::absolutePathOf(path));
        if (const std::optional<FileIdentity> id = identityOfPath(path))
            namedFiles.insert(*id);
    }
    for (const std::string& path : journalsIn(folder)) {
        FileHandle held;
        const std::optional<std::vector<JournalFile>> files =
            takeJournal(path, held, finishing.said);
        if (!files || std::none_of(files->begin(), files->end(), [&](const JournalFile& file) {
                return named.count(file.path) != 0 ||
                       (file.identity && namedFiles.count(*file.identity) != 0);
            }))
            continue;
        if (!finishRun(path, held, *files, rules, finishing)) {
            finishing.blocked = true;
            return finishing;
        }
    }
    return finishing;
}

RestoreRun restoreAll(const std::vector<std::string>& paths, const Rules& rules,
                      const FailureSeen& seen) {
    // What killed makes left in the folders about to be written goes first.
    std::set<std::string> folders;
    for (const std::string& path : paths)
        if (folders.insert(folderOf(path)).second)
            qm::core::removeStaleCopies(folderOf(path));
    RestoreRun run;
    RestoreJournal journal;
    std::string problem;
    if (paths.size() > 1 && !journal.begin(paths, rules, problem)) {
        Outcome outcome = saying(Cue::OhOh, MessageKind::Error,
                                 "no journal of this restore could be kept, so nothing was "
                                 "changed: " +
                                     problem);
        seen(paths.front(), outcome);
        run.failure.emplace(paths.front(), std::move(outcome));
        return run;
    }
    for (const std::string& path : paths) {
        if (qm::core::heldInterrupt() != 0)
            break;
        Restored restored = restoreOrFail(path, rules);
        if (restored.outcome.disk != OnDisk::Swapped) {
            // The outcome names a file left unconfirmed; `left` the others.
            seen(path, restored.outcome);
            run.failure.emplace(path, std::move(restored.outcome));
            run.left = swapBack(run, rules);
            run.interruptedBy = qm::core::heldInterrupt();
            return run;
        }
        run.restored.emplace_back(path, std::move(restored));
    }
    run.interruptedBy = qm::core::heldInterrupt();
    if (run.interruptedBy != 0)
        run.left = swapBack(run, rules);
    return run;
}

} // namespace qm::session
