#pragma once

// The journal a restore of several files keeps on the host (qm::core::stateFolder) from before
// its first swap until it ends. Each file is named by its absolute path and size, with the
// places a swap writes that say where the file stands (each name or CFF entry's location and
// the location saved for the next swap; for a collection each face's name entry and the swap
// state) and what they hold before the run and after its swap. A run killed before it ended
// leaves its journal for the next restore to finish.

#include "core/FileHandle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::session {

struct Rules;

struct JournalFile {
    struct Place {
        std::uint64_t at = 0;
        std::uint32_t size = 0;
        // A location only the file of the run holds; the swap state of a collection is not one.
        bool locates = true;
    };

    std::string path;
    std::uint64_t size = 0;
    // Which file it was, so that a restore naming it by another path (a hard link, another
    // case on Windows) finds the run too; a disk mounted again may give it another.
    std::optional<FileIdentity> identity;
    std::vector<Place> places;
    std::string before;
    std::string after;
};

// The file's entry for a journal: nothing when no swap of it can be planned (its restore
// will fail and undo the run).
std::optional<JournalFile> journalFileOf(const std::string& path, const Rules& rules);

// Where a file of a journal stands now: as the run found it, as the run left it, half swapped,
// gone, or another file at its path.
enum class Standing { Before, After, Between, Missing, Other };
Standing standingOf(const JournalFile& entry);

// The run's journal while it runs: written, synced and renamed into place before the first
// swap, held locked so that no other restore takes the run for a killed one, and removed when
// the run ends however it ends. A killed run leaves it.
class RestoreJournal {
public:
    RestoreJournal() = default;
    RestoreJournal(const RestoreJournal&) = delete;
    RestoreJournal& operator=(const RestoreJournal&) = delete;
    ~RestoreJournal();

    // False, with `problem`, when the journal could not be kept.
    bool begin(const std::vector<std::string>& paths, const Rules& rules, std::string& problem);

private:
    FileHandle file_;
    std::string path_;
};

// The journals in `folder` that killed runs left. A journal whose run was killed while writing
// it (that run swapped nothing) is removed instead.
std::vector<std::string> journalsIn(const std::string& folder);

// The journal at `path` when it is this user's, whole and not held by a running restore, with
// it locked in `file`; `said` gets why a journal is not followed.
std::optional<std::vector<JournalFile>> takeJournal(const std::string& path, FileHandle& file,
                                                    std::vector<std::string>& said);

} // namespace qm::session
