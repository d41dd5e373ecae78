#include "session/FileSteps.h"

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

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <set>
#include <sstream>
#include <string_view>

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

} // namespace

namespace {

// The journal of a restore of several files. Each file is named by its absolute path and size,
// with the places a swap writes that say where the file stands (each name or CFF entry's
// location and the location saved for the next swap; for a collection each face's name entry
// and the swap state) and what they hold before the run and after its swap. The text ends with
// a checksum: a journal cut short or damaged is never followed.
constexpr const char* kJournalHeader = "quillmark restore journal 1";
constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kUnfinishedSuffix = ".tmp";
constexpr std::uint64_t kLargestJournal = 16 * 1024 * 1024;
// A half-done swap is completed first, and one completed back to where the run found the file
// is swapped once more.
constexpr int kMostSwapsToFinish = 3;

struct Place {
    std::uint64_t at = 0;
    std::uint32_t size = 0;
    // A location only the file of the run holds; the swap state of a collection is not one.
    bool locates = true;
};

struct JournalFile {
    std::string path;
    std::uint64_t size = 0;
    // Which file it was, so that a restore naming it by another path (a hard link, another
    // case on Windows) finds the run too; a disk mounted again may give it another.
    std::optional<FileIdentity> identity;
    std::vector<Place> places;
    std::string before;
    std::string after;
};

std::string bytesAtPlaces(const FontBytes& font, const std::vector<Place>& places) {
    std::string bytes;
    for (const Place& place : places) {
        std::string part(place.size, '\0');
        if (font.readAt(place.at, reinterpret_cast<std::uint8_t*>(part.data()), place.size) !=
            place.size)
            throw EInOutError::readBeyondEnd();
        bytes += part;
    }
    return bytes;
}

// The file's entry for a journal: nothing when no swap of it can be planned (its restore
// will fail and undo the run).
std::optional<JournalFile> journalFileOf(const std::string& path, const Rules& rules) {
    try {
        const FileHandle file = FileHandle::openSharedIfFile(path);
        if (!file.isOpen())
            return std::nullopt;
        const FileFontBytes font(file);
        JournalFile entry;
        entry.path = qm::core::absolutePathOf(path);
        entry.size = font.size();
        if (FileIdentity id; file.identity(id))
            entry.identity = id;
        std::vector<SwappedFontBytes::Patch> writes;
        std::string problem;
        if (rules.collectionsAndWebFonts && qm::core::isCollection(font)) {
            const std::optional<qm::core::Collection> collection =
                qm::core::readCollection(font, problem);
            std::vector<FontRead> after;
            if (!collection || !collection->trailer ||
                qm::core::planCollectionSwap(font, writes, after) != SwapOutcome::Swapped)
                return std::nullopt;
            for (const qm::core::FaceRecord& face : collection->trailer->records)
                entry.places.push_back({face.entryAt, 8, true});
            entry.places.push_back({entry.size - qm::core::kStateDistance, 4, false});
        } else {
            const std::optional<qm::core::CopyTrailer> trailer =
                qm::core::readCopyTrailer(font, problem);
            SwapPlan plan;
            if (!trailer || planSwap(font, plan, rules.kinds) != SwapOutcome::Swapped)
                return std::nullopt;
            writes = std::move(plan.writes);
            for (const qm::core::SwappedTable& table : trailer->tables) {
                entry.places.push_back({table.entryAt, 8, true});
                entry.places.push_back({table.savedAt, 8, true});
            }
        }
        entry.before = bytesAtPlaces(font, entry.places);
        entry.after = bytesAtPlaces(SwappedFontBytes(font, writes), entry.places);
        return entry;
    } catch (const EInOutError&) {
        return std::nullopt;
    }
}

std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

std::optional<std::string> bytesOfHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (const char c : hex.substr(i, 2)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// FNV-1a: enough to know a journal is the one written, not to guard against a forger, who
// would need to write in this user's own folder.
std::string checksumOf(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

std::string journalText(const std::vector<JournalFile>& files) {
    std::string text = std::string(kJournalHeader) + "\n";
    for (const JournalFile& file : files) {
        text += "file " + hexOf(file.path) + " " + std::to_string(file.size) + "\n";
        if (file.identity)
            text += "identity " + std::to_string(file.identity->device) + " " +
                    std::to_string(file.identity->file) + "\n";
        for (const Place& place : file.places)
            text += "place " + std::to_string(place.at) + " " + std::to_string(place.size) + " " +
                    (place.locates ? "1" : "0") + "\n";
        text += "before " + hexOf(file.before) + "\nafter " + hexOf(file.after) + "\n";
    }
    return text + "check " + checksumOf(text) + "\n";
}

std::optional<std::uint64_t> numberOf(const std::string& word) {
    if (word.empty() || word.size() > 19 ||
        word.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(word);
}

// The files of a journal; nothing when it is not exactly what journalText writes.
std::optional<std::vector<JournalFile>> parseJournal(const std::string& text) {
    const std::size_t check = text.rfind("check ");
    if (check == std::string::npos ||
        text != text.substr(0, check) + "check " + checksumOf(text.substr(0, check)) + "\n")
        return std::nullopt;
    std::vector<JournalFile> files;
    std::istringstream lines(text.substr(0, check));
    std::string line;
    if (!std::getline(lines, line) || line != kJournalHeader)
        return std::nullopt;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string key, a, b, c;
        words >> key >> a >> b >> c;
        if (key == "file" && c.empty()) {
            const std::optional<std::string> path = bytesOfHex(a);
            const std::optional<std::uint64_t> size = numberOf(b);
            if (!path || path->empty() || !size)
                return std::nullopt;
            files.push_back({*path, *size, std::nullopt, {}, {}, {}});
        } else if (key == "identity" && !files.empty() && !files.back().identity && c.empty()) {
            const std::optional<std::uint64_t> device = numberOf(a);
            const std::optional<std::uint64_t> file = numberOf(b);
            if (!device || !file)
                return std::nullopt;
            files.back().identity = FileIdentity{*device, *file};
        } else if (key == "place" && !files.empty() && (c == "0" || c == "1")) {
            const std::optional<std::uint64_t> at = numberOf(a);
            const std::optional<std::uint64_t> size = numberOf(b);
            if (!at || !size || (*size != 4 && *size != 8))
                return std::nullopt;
            files.back().places.push_back({*at, static_cast<std::uint32_t>(*size), c == "1"});
        } else if ((key == "before" || key == "after") && !files.empty() && b.empty()) {
            const std::optional<std::string> bytes = bytesOfHex(a);
            if (!bytes)
                return std::nullopt;
            (key == "before" ? files.back().before : files.back().after) = *bytes;
        } else {
            return std::nullopt;
        }
    }
    for (const JournalFile& file : files) {
        std::size_t size = 0;
        for (const Place& place : file.places)
            size += place.size;
        if (file.places.empty() || file.before.size() != size || file.after.size() != size)
            return std::nullopt;
    }
    if (files.empty())
        return std::nullopt;
    return files;
}

// Where a file of a journal stands now.
enum class Standing { Before, After, Between, Missing, Other };

Standing standingOf(const JournalFile& entry) {
    try {
        const FileHandle file = FileHandle::openSharedIfFile(entry.path);
        if (!file.isOpen())
            return ::pathIsTaken(entry.path) ? Standing::Other : Standing::Missing;
        const FileFontBytes font(file);
        if (font.size() != entry.size)
            return Standing::Other;
        const std::string now = bytesAtPlaces(font, entry.places);
        if (now == entry.after)
            return Standing::After;
        if (now == entry.before)
            return Standing::Before;
        // A swap cut short leaves each location as it was or as it will be; any other is
        // another file.
        std::size_t offset = 0;
        for (const Place& place : entry.places) {
            const auto part = [&](const std::string& bytes) {
                return bytes.compare(offset, place.size, now, offset, place.size) == 0;
            };
            if (place.locates && !part(entry.before) && !part(entry.after))
                return Standing::Other;
            offset += place.size;
        }
        return Standing::Between;
    } catch (const EInOutError&) {
        return Standing::Other;
    }
}

// The run's journal while it runs: written, synced and renamed into place before the first
// swap, held locked so that no other restore takes the run for a killed one, and removed when
// the run ends however it ends. A killed run leaves it.
class Journal {
public:
    // False, with `problem`, when the journal could not be kept.
    bool begin(const std::vector<std::string>& paths, const Rules& rules, std::string& problem) {
        const std::string folder = qm::core::stateFolder(problem);
        if (folder.empty())
            return false;
        std::vector<JournalFile> files;
        for (const std::string& path : paths)
            if (std::optional<JournalFile> file = journalFileOf(path, rules))
                files.push_back(std::move(*file));
        // No file can be swapped: the run fails at its first file and changes nothing.
        if (files.empty())
            return true;
        const std::string name = qm::core::pathInFolder(
            folder,
            "restore-" + std::to_string(processId()) + "-" +
                std::to_string(std::chrono::system_clock::now().time_since_epoch().count()));
        const std::string text = journalText(files);
        try {
            file_ = FileHandle::createNew(name + kUnfinishedSuffix);
            file_.tryLockExclusive();
            file_.writeAll(text.data(), text.size());
            file_.sync();
            qm::core::renameOver(name + kUnfinishedSuffix, name + kJournalSuffix);
            path_ = name + kJournalSuffix;
        } catch (const EInOutError& error) {
            file_.discard();
            removeFile(name + kUnfinishedSuffix);
            problem = name + kJournalSuffix + ": " + error.what();
            return false;
        }
        return true;
    }
    ~Journal() {
        if (path_.empty())
            return;
        removeFile(path_);
        file_.discard();
    }

private:
    FileHandle file_;
    std::string path_;
};

// The journal at `path` when it is this user's, whole and not held by a running restore, with
// it locked in `file`; `said` gets why a journal is not followed.
std::optional<std::vector<JournalFile>> takeJournal(const std::string& path, FileHandle& file,
                                                    std::vector<std::string>& said) {
    if (!qm::core::isOwnPrivateFile(path)) {
        said.push_back(path + ": not a journal of this user's alone; it is not followed");
        return std::nullopt;
    }
    try {
        file = FileHandle::openSharedIfFile(path);
    } catch (const EInOutError&) {
        // Locked: its run is still going.
        return std::nullopt;
    }
    if (!file.isOpen() || !file.tryLockExclusive())
        return std::nullopt;
    std::optional<std::vector<JournalFile>> files;
    if (file.size() <= kLargestJournal) {
        std::string text(static_cast<std::size_t>(file.size()), '\0');
        if (file.tryRead(0, text.data(), text.size()) == static_cast<long long>(text.size()))
            files = parseJournal(text);
    }
    if (!files)
        said.push_back(path + ": a damaged journal of an interrupted restore; it is not "
                              "followed (check the files it was restoring, then remove it)");
    return files;
}

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
    const auto endsWith = [](const std::string& name, std::string_view end) {
        return name.size() > end.size() &&
               name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    for (const std::string& name : qm::core::namesIn(folder)) {
        const std::string path = qm::core::pathInFolder(folder, name);
        if (endsWith(name, kUnfinishedSuffix) && qm::core::isOwnPrivateFile(path)) {
            // A journal its run was killed while writing: that run swapped nothing.
            try {
                FileHandle file = FileHandle::openSharedIfFile(path);
                if (file.isOpen() && file.tryLockExclusive())
                    removeFile(path);
            } catch (const EInOutError&) {
            }
            continue;
        }
        if (!endsWith(name, kJournalSuffix))
            continue;
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
    Journal journal;
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
