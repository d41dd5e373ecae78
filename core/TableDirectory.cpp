#include "core/TableDirectory.h"

#include "core/ByteCursor.h"

#include <string>

namespace {

bool tagIs(const std::uint8_t* tag, std::string_view lowerTag) {
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint8_t c = tag[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<std::uint8_t>(c - 'A' + 'a');
        if (c != static_cast<std::uint8_t>(lowerTag[i]))
            return false;
    }
    return true;
}

} // namespace

TableLookup findTable(const FontBytes& font, std::string_view tag) {
    TableLookup lookup;
    std::uint8_t numTablesBytes[2];
    if (font.readAt(4, numTablesBytes, 2) != 2)
        return lookup;
    ByteCursor numTablesCursor(numTablesBytes, 2);
    std::uint16_t numTables = 0;
    numTablesCursor.readU16(numTables);

    // Seen where the font holds it, copied only where it cannot be: every read looks up two
    // tables, a read of many fonts thousands.
    const std::size_t size = kDirectoryEntrySize * numTables;
    std::string copy;
    const std::string_view held = font.bytesAt(kDirectoryStart, size, copy);
    const auto* entries = reinterpret_cast<const std::uint8_t*>(held.data());
    const std::size_t complete = held.size() / kDirectoryEntrySize;
    for (std::size_t i = 0; i < numTables; ++i) {
        if (i == complete)
            return lookup;
        const std::uint8_t* bytes = entries + kDirectoryEntrySize * i;
        if (!tagIs(bytes, tag))
            continue;
        TableEntry entry;
        entry.entryPosition = kDirectoryStart + kDirectoryEntrySize * i;
        entry.offset = BytesToLong(bytes + 8);
        entry.length = BytesToLong(bytes + 12);
        lookup.duplicate = lookup.entry.has_value();
        lookup.entry = entry;
    }
    lookup.directoryComplete = true;
    return lookup;
}
