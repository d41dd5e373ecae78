#include "core/TableDirectory.h"

#include "core/ByteCursor.h"

#include <vector>

namespace {

bool TagIs(const std::uint8_t* tag, std::string_view lowerTag) {
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

TableLookup FindTable(const FontBytes& font, std::string_view tag) {
    TableLookup lookup;
    std::uint8_t numTablesBytes[2];
    if (font.ReadAt(4, numTablesBytes, 2) != 2)
        return lookup;
    ByteCursor numTablesCursor(numTablesBytes, 2);
    std::uint16_t numTables = 0;
    numTablesCursor.ReadU16(numTables);

    std::vector<std::uint8_t> directory(DirectoryEntrySize * numTables);
    const std::size_t got = font.ReadAt(DirectoryStart, directory.data(), directory.size());
    ByteCursor cursor(directory.data(), got);
    for (std::uint16_t i = 0; i < numTables; ++i) {
        const std::uint8_t* entryTag = nullptr;
        std::uint32_t checkSum = 0;
        TableEntry entry;
        entry.EntryPosition = DirectoryStart + cursor.Offset();
        if (!cursor.ReadBytes(entryTag, 4) || !cursor.ReadU32(checkSum) ||
            !cursor.ReadU32(entry.Offset) || !cursor.ReadU32(entry.Length))
            return lookup;
        if (!TagIs(entryTag, tag))
            continue;
        lookup.Duplicate = lookup.Entry.has_value();
        lookup.Entry = entry;
    }
    lookup.DirectoryComplete = true;
    return lookup;
}
