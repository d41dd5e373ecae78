#pragma once

#include "core/FontNames.h"
#include "core/FontReader.h"
#include "core/RenamedNameTable.h"

#include <stdexcept>
#include <string>
#include <vector>

// A renamed copy that make will not publish, with the reason in the program's words.
class EMakeRefused : public std::runtime_error {
public:
    static constexpr const char* kTwoNameEntriesText =
        "This font has two NAME table entries; no copy was made.";
    static constexpr const char* kNotReadBackText =
        "The new font file did not read back with the new names; no copy was made.";
    static constexpr const char* kNotRestorableText =
        "The new font file could not be restored to the original names; no copy was made.";
    static constexpr const char* kSourceChangedText =
        "The font file changed after it was read; no copy was made.";
    static constexpr const char* kTableTooLargeText =
        "The font's names do not fit a name table of 65,535 bytes; no copy was made.";
    using std::runtime_error::runtime_error;
};

// Copies the font at `SourceFontPath` to `NewFontPath` with a new name table and the
// renamed-font trailer. The table is the source's with the changed names written in and the
// names that would contradict them rewritten (buildRenamedNameTable); everything else in it
// stays byte for byte. The source is read once, through the one open file the copy is made
// from, and must still read as `plannedNames`, the names the caller showed and edited. The
// copy is written unnamed in the new file's folder, synced, read back, and given its name only
// when it holds exactly the new table, reads back with the changed names, and a restore of it
// gives the source's names; an existing file is never replaced. Raises EInOutError when a file
// operation fails and EMakeRefused when the copy would not be sound; either way nothing is
// left at `NewFontPath`.

// The window's: `names` are the boxes, a text that differs from `plannedNames` is changed (in
// Windows-1252, written as Unicode). Returns the names the copy reads as (a PostScript name
// cut to 63 characters, say), the plan for a further copy made from it. Texts above their
// field's capacity raise std::length_error before anything is written.
FontNames WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                           const FontNames& names, const FontNames& plannedNames);
// The same with the source's names as it reads now.
void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const FontNames& names);

// What became of a copy: the name IDs whose text had to be cut to fit the table, in words what
// else was not done (a CFF table that could not be renamed), and the names it reads as.
struct MadeCopy {
    std::vector<unsigned> cutNameIDs;
    std::vector<std::string> warnings;
    // The copy's names as the reader reads them.
    FontNames readBack;
};

// The command line's: `newTexts` in Unicode and of any length, `plannedTexts` the source's
// whole texts as the caller read them; `kinds` says whether a source with CFF outlines is
// accepted. A CFF font's CFF table is renamed too; where it cannot be, the copy is renamed as
// far as is sound and the warnings say what was not done.
MadeCopy WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                          const NewNameTexts& newTexts, const FullNameTexts& plannedTexts,
                          FontKinds kinds);
