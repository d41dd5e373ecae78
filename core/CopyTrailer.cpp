#include "core/CopyTrailer.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/TableDirectory.h"

namespace qm::core {
namespace {

Location readLocation(const FontBytes& font, std::uint64_t position) {
    Location location{};
    if (font.readAt(position, location.data(), location.size()) != location.size())
        throw EInOutError::readBeyondEnd();
    return location;
}

std::uint32_t readWord(const FontBytes& font, std::uint64_t position) {
    std::uint8_t bytes[4];
    if (font.readAt(position, bytes, 4) != 4)
        throw EInOutError::readBeyondEnd();
    return BytesToLong(bytes);
}

void appendLocation(std::string& out, const Location& location) {
    out.append(reinterpret_cast<const char*>(location.data()), location.size());
}

} // namespace

Location makeLocation(std::uint32_t offset, std::uint32_t length) {
    Location location{};
    const auto o = SwapLong(offset);
    const auto l = SwapLong(length);
    std::copy(o.begin(), o.end(), location.begin());
    std::copy(l.begin(), l.end(), location.begin() + 4);
    return location;
}

std::uint32_t offsetOf(const Location& location) {
    return BytesToLong(location.data());
}
std::uint32_t lengthOf(const Location& location) {
    return BytesToLong(location.data() + 4);
}

std::optional<CopyTrailer> readCopyTrailer(const FontBytes& font, std::string& problem) {
    const std::uint64_t size = font.size();
    if (size < kTrailerSize + kDirectoryStart) {
        problem = "too short for a trailer";
        return std::nullopt;
    }
    CopyTrailer trailer;
    const std::uint32_t form = readWord(font, size - kFormDistance);
    trailer.state = readWord(font, size - kStateDistance);
    if (form != 0 && form != kCffForm) {
        problem = "unknown trailer form";
        return std::nullopt;
    }
    trailer.cffForm = form == kCffForm;
    trailer.tablesEnd = size - kTrailerSize;
    if (trailer.cffForm) {
        if (trailer.tablesEnd < kDirectoryStart + kCffExtensionSize) {
            problem = "too short for a trailer";
            return std::nullopt;
        }
        trailer.tablesEnd -= kCffExtensionSize;
    }

    for (const bool cff : {false, true}) {
        if (cff && !trailer.cffForm)
            break;
        const TableLookup lookup = findTable(font, cff ? "cff " : "name");
        if (!lookup.directoryComplete || lookup.duplicate || !lookup.entry) {
            problem = cff ? "no single CFF entry" : "no single name entry";
            return std::nullopt;
        }
        SwappedTable table;
        table.cff = cff;
        table.entryAt = lookup.entry->locationPosition();
        // An entry inside what the swap writes would be half overwritten by its own exchange.
        if (table.entryAt + 8 > trailer.tablesEnd) {
            problem = "a directory entry inside the trailer";
            return std::nullopt;
        }
        table.savedAt = cff ? trailer.tablesEnd : size - 8;
        table.entry = readLocation(font, table.entryAt);
        table.saved = readLocation(font, table.savedAt);
        if (trailer.cffForm)
            table.appended = readLocation(font, trailer.tablesEnd + (cff ? 16 : 8));
        trailer.tables.push_back(table);
    }
    return trailer;
}

std::string cffCopyTail(std::uint64_t sourceSize, std::string_view nameTable,
                        std::string_view cffTable, std::string_view marker,
                        const Location& sourceName, const Location& sourceCff,
                        std::uint64_t& cffAt) {
    std::string tail(nameTable);
    // Strict consumers refuse a table that does not start at a multiple of 4.
    while ((sourceSize + tail.size()) % 4 != 0)
        tail += '\0';
    cffAt = sourceSize + tail.size();
    tail.append(cffTable);
    while ((sourceSize + tail.size()) % 4 != 0)
        tail += '\0';
    appendLocation(tail, sourceCff);
    appendLocation(tail, makeLocation(static_cast<std::uint32_t>(sourceSize),
                                      static_cast<std::uint32_t>(nameTable.size())));
    appendLocation(tail, makeLocation(static_cast<std::uint32_t>(cffAt),
                                      static_cast<std::uint32_t>(cffTable.size())));
    const std::size_t formAt = tail.size();
    tail.append(marker);
    const auto form = SwapLong(kCffForm);
    std::copy(form.begin(), form.end(), tail.begin() + static_cast<std::ptrdiff_t>(formAt));
    appendLocation(tail, sourceName);
    return tail;
}

} // namespace qm::core
