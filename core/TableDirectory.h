#pragma once

#include "core/FontBytes.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Where the offset table's directory is and how big an entry is.
constexpr std::uint64_t DirectoryStart = 12;
constexpr std::uint64_t DirectoryEntrySize = 16;

// One directory entry: tag, checkSum, offset, length.
struct TableEntry {
    std::uint64_t EntryPosition = 0; // of the entry's tag in the file
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
    // Where the entry's offset field is; the length field follows it.
    std::uint64_t LocationPosition() const { return EntryPosition + 8; }
};

struct TableLookup {
    // False when numTables or a directory entry lies beyond the end of the file.
    bool DirectoryComplete = false;
    // The last entry with the tag: a later entry with the same tag replaces an earlier one.
    std::optional<TableEntry> Entry;
    // More than one entry carries the tag. The reader takes the last; make and restore, which
    // must change the entry the reader takes and nothing else, refuse such a font.
    bool Duplicate = false;
};

// Looks `tag` up in the directory, comparing after turning A-Z into a-z ("NAME" is "name").
TableLookup FindTable(const FontBytes& font, std::string_view tag);
