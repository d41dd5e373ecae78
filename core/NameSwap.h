#pragma once

#include "core/FontBytes.h"
#include "core/FontReader.h"

#include <string>

// Outcome of the in-place swap of a renamed font's two name-table locations.
enum class SwapOutcome {
    soSwapped,      // both locations exchanged (or a half-done exchange completed) and synced
    soNoNameEntry,  // the directory has no `name` entry; nothing written
    soInUse,        // the file could not be opened for writing: locked, read-only or gone
    soNotValid,     // no renamed-font trailer, or the file would not read after the swap
    soNotConfirmed, // the file was changed, but the change could not be confirmed on disk
};

struct SwapResult {
    static constexpr const char* FontInUseText = "Font is in use by another application.";
    static constexpr const char* NotValidFontText = "Not a valid TrueType font file.";
    static constexpr const char* NotConfirmedText =
        "The font file was changed, but the change could not be confirmed on disk.";

    SwapOutcome Outcome = SwapOutcome::soNotValid;
    // After soSwapped: the file as it now reads.
    FontRead Read;
    // After soNotConfirmed: what kept the change from being confirmed.
    std::string ErrorText;
};

// The two 8-byte writes of a swap, in the order they are made.
struct SwapPlan {
    SwappedFontBytes::Patch First;
    SwappedFontBytes::Patch Second;
};

// What a restore of `font` would write: soSwapped with `plan` filled, or why it would write
// nothing (soNoNameEntry, soNotValid). Nothing is read beyond what the plan needs.
SwapOutcome PlanSwap(const FontBytes& font, SwapPlan& plan);

// `font` read as the plan would leave it.
FontRead ReadSwapped(const FontBytes& font, const SwapPlan& plan,
                     FontKinds kinds = FontKinds::TrueType);

// Exchanges the `name` directory entry's location with the one saved at the end of the file,
// deciding first, on the file as the swap would leave it, that the result reads as a font. holds
// an exclusive lock from the first read to the final check. Raises EInOutError when a read
// fails, or when a write fails and the file is exactly as before.
// `kinds` says which fonts count as reading.
SwapResult SwapNameTables(const std::string& path, FontKinds kinds = FontKinds::TrueType);
