#pragma once

// What a make and a restore mean, for the window's one file and for the command line's runs
// over several: when a new file's name is taken, what is written and verified, which files a
// restore takes, and what each step did on disk, as an outcome. The window's rules are the
// narrowest; the command line's take fonts with CFF outlines, collections and web fonts, and
// say why a restore was refused.

#include "core/FileHandle.h"
#include "core/FontCollection.h"
#include "core/FontNames.h"
#include "core/FontReader.h"
#include "core/NamingRules.h"
#include "core/RenamedFontWriter.h"
#include "session/Outcome.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm::session {

// The rules of a make or restore: the window's (FontSession.h) or the command line's.
struct Rules {
    // The fonts a make or restore takes: TrueType only, or OpenType with CFF outlines too.
    FontKinds kinds;
    // A collection is restored as one; a web font's restore is refused with the reason.
    bool collectionsAndWebFonts;
    // The words for a new file's name that is taken.
    const char* fileExistsText;
    // The words for a file that could not be restored (neither in use nor unconfirmed);
    // nullptr: the reason itself.
    const char* notRestoredText;
};

inline constexpr Rules kCommandLineRules{FontKinds::TrueTypeAndCff, true,
                                         "A TrueType font file with this name already exists.",
                                         nullptr};

// Whether anything at all is at `path`, even a dangling link: a new file never takes its place.
bool pathIsTaken(const std::string& path);

// A restore that changed the file but could not confirm the change: the message says so and
// why, in the code page of the swap's ErrorText.
std::string notConfirmedText(const SwapResult& swap);

// One new file: where from, where to, the names it is given, and once made, what it could not
// be given.
struct CopyPlan {
    std::string source;
    std::string target;
    // The window's: the boxes as names, and the names the source was read as, which it must
    // still read as.
    std::optional<FontNames> boxes;
    FontNames plannedNames;
    // The command line's: the texts that change, in Unicode and of any length, the source's
    // whole texts as read, and the new PostScript name (UTF-8).
    NewNameTexts newTexts;
    FullNameTexts sourceTexts;
    std::string postscript;
    // A web font is copied as a web font of its format, a collection as a collection with each
    // face's own texts, and with `face` one face of a collection as a font of its own.
    bool web = false;
    bool collection = false;
    std::vector<qm::core::FacePlan> faces;
    std::optional<std::size_t> face;
    // Once made: per face of a collection, else one: what was cut and what could not be done.
    std::vector<MadeCopy> made;
};

// The texts typed over a source's, by the field each fills.
using TypedTexts = std::vector<std::pair<std::string NameTexts::*, std::string>>;

// A copy's texts from the source's whole texts (UTF-8) with `typed` over them, derived as the
// window derives its boxes but nothing cut to its field sizes. A text that comes out as the
// source has it keeps the source's records. Fills newTexts, sourceTexts and postscript.
void planTexts(const FullNameTextsUtf8& source, const TypedTexts& typed, NewNameTexts& newTexts,
               FullNameTexts& sourceTexts, std::string& postscript);

// The refusal of a new file whose name is taken; none when it is free.
std::optional<Outcome> refuseTaken(const std::string& target, const Rules& rules);

// Makes `copy` when its name is free; the copy is published finished and verified, or nothing
// is. Created, or Nothing with why: the name taken, or a file operation that failed (the
// message names the target). A copy that would not be sound raises EMakeRefused, and texts the
// window's fields cannot hold raise std::length_error, both before anything is published.
Outcome makeCopy(CopyPlan& copy, const Rules& rules);

// One file restored in place: what the file reads as now, whether it was a collection.
struct Restored {
    Outcome outcome;
    FontRead read;
    bool collection = false;
};

// Swaps the saved names of the file at `path` back in. A failure to open keeps the font (the
// red panel names the file); any other failure forgets it. A file that cannot be read at all
// raises EInOutError.
Restored restoreFile(const std::string& path, const Rules& rules);

// A run over several files, all or nothing: the files done, or when a file failed or an
// interrupt came, the files changed that could not be taken back. Interrupts count only while
// the caller holds them back (qm::core::HeldInterrupts); ending the process is the caller's.
struct Run {
    // The file that failed and the outcome that says why.
    std::optional<std::pair<std::string, Outcome>> failure;
    std::vector<std::string> left;
    // The held interrupt that stopped the run, or that came while it was undone after a
    // restore failed (0: none).
    int interruptedBy = 0;
};

struct RestoreRun : Run {
    std::vector<std::pair<std::string, Restored>> restored;
};

// Called once, when a file fails, before the run is undone.
using FailureSeen = std::function<void(const std::string& path, const Outcome& outcome)>;

// Makes every copy or none: a copy that fails, or an interrupt between copies, removes the
// copies the run made. Nothing that existed before is touched. The copies are all written and
// verified unpublished before the first gets its name: a run killed before then leaves none in
// sight, and one killed while they get their names leaves those named so far, each complete.
Run makeAll(std::vector<CopyPlan>& copies, const Rules& rules, const FailureSeen& seen);

// A restore of several files keeps a journal on the host (qm::core::stateFolder) from before
// its first swap until it ends, naming each file with the bytes that say where it stands before
// the run and after it. A run killed before it ended leaves its journal for the next restore.
struct Finishing {
    // What was done or found, a line each (UTF-8), for standard error.
    std::vector<std::string> said;
    // The files an unfinished run was taking and that are now where it was taking them.
    std::vector<std::string> finished;
    std::vector<FileIdentity> finishedFiles;
    // A file of an unfinished run is missing, no longer the same file, or could not be swapped:
    // its journal is kept, and nothing was touched unless `finished` says so.
    bool blocked = false;
    int interruptedBy = 0;

    // Whether `path` names one of the files finished, by any path.
    bool covers(const std::string& path) const;
};

// Finishes every unfinished run that any of `paths` belongs to, deciding each swap by the file's
// own bytes: a file still where the run found it is swapped, one already swapped is left.
// Journals of another user or that are damaged are never followed; a journal whose run is still
// going is left to it.
Finishing finishUnfinishedRuns(const std::vector<std::string>& paths, const Rules& rules);

// Restores every file or none: a file that cannot be restored, or an interrupt between files,
// has the files restored before it swapped back, last first (the swap is its own inverse). An
// error is the file's failure. A run of several files that cannot keep its journal changes
// nothing and fails with why.
RestoreRun restoreAll(const std::vector<std::string>& paths, const Rules& rules,
                      const FailureSeen& seen);

} // namespace qm::session
