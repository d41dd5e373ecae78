#pragma once

#include "core/FontBytes.h"
#include "core/FontReader.h"

#include <string>
#include <vector>

// Outcome of the in-place swap of a renamed font's two name-table locations.
enum class SwapOutcome {
    Swapped,      // both locations exchanged (or a half-done exchange completed) and synced
    NoNameEntry,  // the directory has no `name` entry; nothing written
    InUse,        // the file could not be opened for writing; ErrorText says why
    NotValid,     // no renamed-font trailer, or the file would not read after the swap
    NotConfirmed, // the file was changed, but the change could not be confirmed on disk
};

struct SwapResult {
    // Why a file could not be opened for the swap; another process's lock keeps the program's
    // own words.
    static constexpr const char* kFontInUseText = "Font is in use by another application.";
    static constexpr const char* kFolderText = "This is a folder, not a font file.";
    static constexpr const char* kReadOnlyText = "The font file is read-only.";
    static constexpr const char* kReadOnlyMountText =
        "The font file is on a read-only file system.";
    static constexpr const char* kNotRegularText = "This is not a font file but a device or pipe.";
    static constexpr const char* kNotRenamedText =
        "This font is not a renamed copy: it has no original names to restore.";
    static constexpr const char* kNotValidFontText = "Not a valid TrueType font file.";
    static constexpr const char* kNotConfirmedText =
        "The font file was changed, but the change could not be confirmed on disk.";

    SwapOutcome outcome = SwapOutcome::NotValid;
    // After Swapped: the file as it now reads.
    FontRead read;
    // After InUse: why the file could not be opened. After NotConfirmed: what kept the change
    // from being confirmed.
    std::string ErrorText;
};

// The writes of a swap, in the order they are made, and the file as they leave it.
struct SwapPlan {
    std::vector<SwappedFontBytes::Patch> writes;
    FontRead after;
};

// What a restore of `font` would write: Swapped with `plan` filled, or why it would write
// nothing (NoNameEntry, NotValid). A plan is made only when the file reads, as `kinds` says,
// both after it and after the swap that would follow it, and every location it leaves in a
// directory entry or saves for the next swap lies inside the file and holds a whole table.
// A swap that an earlier run left half done is completed, towards the names the directory
// shows.
SwapOutcome planSwap(const FontBytes& font, SwapPlan& plan, FontKinds kinds = FontKinds::TrueType);

// Exchanges the `name` directory entry's location with the one saved at the end of the file (and
// a CFF copy's CFF entry with its saved one), deciding first, on the file as the swap would leave
// it, that the result reads as a font. Holds an exclusive lock from the first read to the final
// check. Raises EInOutError when a read fails, or when a write fails and the file is exactly as
// before. `kinds` says which fonts count as reading.
SwapResult swapNameTables(const std::string& path, FontKinds kinds = FontKinds::TrueType);

// The program's words for why a font could not be opened for a swap (openExclusive's errors).
std::string openFailureText(int errorCode);
