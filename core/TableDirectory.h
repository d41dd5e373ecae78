#pragma once

#include "core/FontBytes.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Where the offset table's directory is and how big an entry is.
constexpr std::uint64_t kDirectoryStart = 12;
constexpr std::uint64_t kDirectoryEntrySize = 16;

// One directory entry: tag, checkSum, offset, length.
struct TableEntry {
    std::uint64_t entryPosition = 0; // of the entry's tag in the file
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    // Where the entry's offset field is; the length field follows it.
    std::uint64_t locationPosition() const { return entryPosition + 8; }
};

struct TableLookup {
    // False when numTables or a directory entry lies beyond the end of the file.
    bool directoryComplete = false;
    // The last entry with the tag: a later entry with the same tag replaces an earlier one.
    std::optional<TableEntry> entry;
    // More than one entry carries the tag. The reader takes the last; make and restore, which
    // must change the entry the reader takes and nothing else, refuse such a font.
    bool duplicate = false;
};

// Looks `tag` up in the directory, comparing after turning A-Z into a-z ("NAME" is "name").
TableLookup findTable(const FontBytes& font, std::string_view tag);
