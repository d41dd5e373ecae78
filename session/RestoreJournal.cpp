#include "session/RestoreJournal.h"

#include "core/CopyTrailer.h"
#include "core/EInOutError.h"
#include "core/FontBytes.h"
#include "core/FontCollection.h"
#include "core/NameSwap.h"
#include "core/StateFolder.h"
#include "session/FileSteps.h"

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string_view>

namespace qm::session {

namespace {

// A journal's text ends with a checksum: a journal cut short or damaged is never followed.
constexpr const char* kJournalHeader = "quillmark restore journal 1";
constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kUnfinishedSuffix = ".tmp";
constexpr std::uint64_t kLargestJournal = 16 * 1024 * 1024;

std::string bytesAtPlaces(const FontBytes& font, const std::vector<JournalFile::Place>& places) {
    std::string bytes;
    for (const JournalFile::Place& place : places) {
        std::string part(place.size, '\0');
        if (font.readAt(place.at, reinterpret_cast<std::uint8_t*>(part.data()), place.size) !=
            place.size)
            throw EInOutError::readBeyondEnd();
        bytes += part;
    }
    return bytes;
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
        for (const JournalFile::Place& place : file.places)
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
        for (const JournalFile::Place& place : file.places)
            size += place.size;
        if (file.places.empty() || file.before.size() != size || file.after.size() != size)
            return std::nullopt;
    }
    if (files.empty())
        return std::nullopt;
    return files;
}

} // namespace

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
        for (const JournalFile::Place& place : entry.places) {
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

bool RestoreJournal::begin(const std::vector<std::string>& paths, const Rules& rules,
                           std::string& problem) {
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
        folder, "restore-" + std::to_string(processId()) + "-" +
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

RestoreJournal::~RestoreJournal() {
    if (path_.empty())
        return;
    removeFile(path_);
    file_.discard();
}

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

std::vector<std::string> journalsIn(const std::string& folder) {
    const auto endsWith = [](const std::string& name, std::string_view end) {
        return name.size() > end.size() &&
               name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    std::vector<std::string> journals;
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
        } else if (endsWith(name, kJournalSuffix)) {
            journals.push_back(path);
        }
    }
    return journals;
}

} // namespace qm::session
