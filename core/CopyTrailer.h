#pragma once

#include "core/FontBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::core {

// A table's location as a directory entry and a trailer hold it: offset, then length.
using Location = std::array<std::uint8_t, 8>;
Location makeLocation(std::uint32_t offset, std::uint32_t length);
std::uint32_t offsetOf(const Location& location);
std::uint32_t lengthOf(const Location& location);

// The end of a renamed copy (big-endian fields, by their distance from the end of the file):
//   8   the saved location of a name table;
//   12  the swap state: zero at rest, and while a swap of a copy of the first form runs, the
//       length of the copy's own name table, which ends where the trailer begins;
//   46  the marker text (34 bytes);
//   50  the form: zero for a copy that swaps its name table only (the form every copy had before
//       CFF tables were renamed, kept for TrueType copies byte for byte); "CFF " for a copy that
//       swaps its CFF table too, whose trailer is preceded by 24 bytes: the saved location of a
//       CFF table, then the locations of the copy's own name and CFF tables.
// Both forms leave the marker where every reader probes for it.
constexpr std::size_t kTrailerSize = 50;
constexpr std::size_t kStateDistance = 12;
constexpr std::size_t kFormDistance = 50;
constexpr std::uint32_t kCffForm = 0x43464620; // "CFF "
constexpr std::size_t kCffExtensionSize = 24;

// One table a restore exchanges: the location in its directory entry and the one saved.
struct SwappedTable {
    bool cff = false;
    std::uint64_t entryAt = 0; // the entry's offset field; its length field follows
    std::uint64_t savedAt = 0;
    Location entry{};
    Location saved{};
    // The copy's own table, where the trailer records it.
    std::optional<Location> appended;
};

struct CopyTrailer {
    bool cffForm = false;
    std::uint32_t state = 0;
    // Where the copy's own tables end: at the trailer, or at the CFF form's 24 bytes.
    std::uint64_t tablesEnd = 0;
    // The name table first.
    std::vector<SwappedTable> tables;
};

// The trailer of `font`, which carries the renamed-font marker, with the directory entries it
// pairs with; nothing, and `problem` says why, when the directory lacks or repeats an entry,
// an entry lies inside the trailer, or the form is unknown. Raises EInOutError when a read
// fails.
std::optional<CopyTrailer> readCopyTrailer(const FontBytes& font, std::string& problem);

// What a CFF copy appends to its source (`sourceSize` bytes): the new name table, the new CFF
// table at the next multiple of 4 (its offset goes to `cffAt`), the 24 bytes of the CFF form,
// `marker` with the form in its first 4 bytes, and the source's name location.
std::string cffCopyTail(std::uint64_t sourceSize, std::string_view nameTable,
                        std::string_view cffTable, std::string_view marker,
                        const Location& sourceName, const Location& sourceCff,
                        std::uint64_t& cffAt);

} // namespace qm::core
