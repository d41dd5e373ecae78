#pragma once

#include "core/FontNames.h"
#include "core/FontReader.h"
#include "core/NameTableBuilder.h"

#include <stdexcept>
#include <string>

// A renamed copy that make will not publish, with the reason in the program's words.
class EMakeRefused : public std::runtime_error {
public:
    static constexpr const char* kTwoNameEntriesText =
        "This font has two NAME table entries; no copy was made.";
    static constexpr const char* kNotReadBackText =
        "The new font file did not read back with the new names; no copy was made.";
    static constexpr const char* kNotRestorableText =
        "The new font file could not be restored to the original names; no copy was made.";
    using std::runtime_error::runtime_error;
};

// Copies the font at `SourceFontPath` to `NewFontPath` with a new name table holding the eight
// texts of `names` and the renamed-font trailer. The copy is written unnamed in the new file's
// folder, synced, read back, and given its name only when it reads as exactly `names` and a
// restore of it gives the source's names; an existing file is never replaced. Raises
// EInOutError when a file operation fails and EMakeRefused when the copy would not be sound;
// either way nothing is left at `NewFontPath`. Texts above their field's capacity raise
// std::length_error before anything is written.
void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const FontNames& names);

// The same for the command line: the new name table holds `strings` as they are (texts of any
// length the table can hold, in any script), the copy is verified to carry exactly that table,
// and `kinds` says whether a source with CFF outlines is accepted. A string or offset beyond
// 16 bits raises std::length_error before anything is written.
void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const NameStrings& strings, FontKinds kinds);
