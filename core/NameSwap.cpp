#include "core/NameSwap.h"

#include "core/ByteCursor.h"
#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/TableDirectory.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using Location = std::array<std::uint8_t, 8>;

// The largest name table a renamed copy appends: records and two 16-bit string areas.
constexpr std::uint64_t kLargestAppendedTable = 256 * 1024;

std::uint64_t endOfAppendedTable(const FontBytes& font) {
    return font.size() - RenamedTrailer::kSize;
}

bool isAppendedTable(const FontBytes& font, const Location& location) {
    const std::uint64_t offset = BytesToLong(location.data());
    const std::uint64_t length = BytesToLong(location.data() + 4);
    return offset + length == endOfAppendedTable(font);
}

// True when the `length` bytes at the end of `tail` are one name table whose strings end
// exactly at its end, as the table a renamed copy appends does.
bool isWholeNameTable(const std::vector<std::uint8_t>& tail, std::size_t length) {
    ByteCursor cursor(tail.data() + tail.size() - length, length);
    std::uint16_t format = 0;
    std::uint16_t count = 0;
    std::uint16_t stringOffset = 0;
    if (!cursor.readU16(format) || !cursor.readU16(count) || !cursor.readU16(stringOffset) ||
        count == 0 || stringOffset != 6 + 12 * std::uint32_t{count} || stringOffset > length)
        return false;
    std::uint32_t stringsEnd = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t recordLength = 0;
        std::uint16_t recordOffset = 0;
        // platformID, encodingID, languageID, nameID, then length and offset
        if (!cursor.skip(8) || !cursor.readU16(recordLength) || !cursor.readU16(recordOffset))
            return false;
        stringsEnd = std::max(stringsEnd, std::uint32_t{recordOffset} + recordLength);
    }
    return stringOffset + stringsEnd == length;
}

// After a swap cut off between its two writes, the directory entry and the saved location
// agree, and the appended table's location is the one lost. The layout gives it back: the
// table ends where the marker begins.
std::optional<Location> findAppendedTable(const FontBytes& font) {
    const std::uint64_t end = endOfAppendedTable(font);
    const std::uint64_t directoryEnd = kDirectoryStart;
    if (end <= directoryEnd)
        return std::nullopt;
    const std::size_t span =
        static_cast<std::size_t>(std::min(end - directoryEnd, kLargestAppendedTable));
    std::vector<std::uint8_t> tail(span);
    if (font.readAt(end - span, tail.data(), span) != span)
        return std::nullopt;
    for (std::size_t length = 6 + 12; length <= span; ++length) {
        if (!isWholeNameTable(tail, length))
            continue;
        Location location{};
        const auto offset = SwapLong(static_cast<std::uint32_t>(end - length));
        const auto size = SwapLong(static_cast<std::uint32_t>(length));
        std::copy(offset.begin(), offset.end(), location.begin());
        std::copy(size.begin(), size.end(), location.begin() + 4);
        return location;
    }
    return std::nullopt;
}

Location readLocation(const FontBytes& font, std::uint64_t position) {
    Location location{};
    if (font.readAt(position, location.data(), location.size()) != location.size())
        throw EInOutError::readBeyondEnd();
    return location;
}

bool writeBack(FileHandle& file, std::uint64_t position, const Location& bytes) noexcept {
    try {
        file.writeAt(position, bytes.data(), bytes.size());
        return true;
    } catch (const EInOutError&) {
        return false;
    }
}

SwapResult notConfirmed(const std::string& why) {
    SwapResult result;
    result.outcome = SwapOutcome::NotConfirmed;
    result.ErrorText = why;
    return result;
}

bool sameRead(const FontRead& a, const FontRead& b) {
    return a.ReadFailed == b.ReadFailed && a.FontNames == b.FontNames && a.IsRenamed == b.IsRenamed;
}

} // namespace

SwapOutcome planSwap(const FontBytes& font, SwapPlan& plan) {
    const std::uint64_t size = font.size();
    if (size < RenamedTrailer::kSize + kDirectoryStart)
        return SwapOutcome::NotValid;
    std::uint8_t probe[RenamedTrailer::kMarkerProbeSize];
    if (font.readAt(size - RenamedTrailer::kMarkerProbeDistance, probe, sizeof probe) !=
            sizeof probe ||
        !isRenamedMarkerProbe(probe))
        return SwapOutcome::NotValid;

    const TableLookup name = findTable(font, "name");
    if (!name.directoryComplete || name.duplicate)
        return SwapOutcome::NotValid;
    if (!name.entry)
        return SwapOutcome::NoNameEntry;
    // An entry inside the trailer would be half overwritten by its own exchange.
    const std::uint64_t entryAt = name.entry->locationPosition();
    const std::uint64_t savedAt = size - 8;
    if (entryAt + 8 > size - RenamedTrailer::kSize)
        return SwapOutcome::NotValid;

    const Location entry = readLocation(font, entryAt);
    const Location saved = readLocation(font, savedAt);
    if (entry == saved) {
        // Complete the half-done swap towards the names the directory shows now: the appended
        // table's location goes back into the trailer.
        const std::optional<Location> appended = findAppendedTable(font);
        if (!appended || *appended == saved)
            return SwapOutcome::NotValid;
        plan.first = {savedAt, *appended};
        plan.second = plan.first;
        return SwapOutcome::Swapped;
    }
    // The first write overwrites the appended table's location, which the layout can find
    // again; the other location, recorded nowhere else, is overwritten only once it has been
    // written to its new place. So a swap cut off between the writes loses nothing.
    const SwappedFontBytes::Patch toEntry{entryAt, saved};
    const SwappedFontBytes::Patch toTrailer{savedAt, entry};
    const bool trailerFirst = isAppendedTable(font, saved) && !isAppendedTable(font, entry);
    plan.first = trailerFirst ? toTrailer : toEntry;
    plan.second = trailerFirst ? toEntry : toTrailer;
    return SwapOutcome::Swapped;
}

FontRead readSwapped(const FontBytes& font, const SwapPlan& plan, FontKinds kinds) {
    return ReadFontNames(SwappedFontBytes(font, plan.first, plan.second), kinds);
}

SwapResult swapNameTables(const std::string& path, FontKinds kinds) {
    SwapResult result;
    int openError = 0;
    FileHandle file = FileHandle::openExclusive(path, openError);
    if (!file.isOpen()) {
        result.outcome = SwapOutcome::InUse;
        return result;
    }
    SwapPlan plan;
    Location firstBefore{};
    Location secondBefore{};
    FontRead expected;
    {
        const FileFontBytes before(file);
        result.outcome = planSwap(before, plan);
        if (result.outcome != SwapOutcome::Swapped)
            return result;
        expected = readSwapped(before, plan, kinds);
        if (expected.ReadFailed) {
            result.outcome = SwapOutcome::NotValid;
            return result;
        }
        firstBefore = readLocation(before, plan.first.position);
        secondBefore = readLocation(before, plan.second.position);
    }

    // A write that fails is undone, so that a failure leaves the file as it was.
    try {
        file.writeAt(plan.first.position, plan.first.bytes.data(), plan.first.bytes.size());
    } catch (const EInOutError& error) {
        if (!writeBack(file, plan.first.position, firstBefore))
            return notConfirmed(error.what());
        throw;
    }
    try {
        file.writeAt(plan.second.position, plan.second.bytes.data(), plan.second.bytes.size());
    } catch (const EInOutError& error) {
        if (!writeBack(file, plan.second.position, secondBefore) ||
            !writeBack(file, plan.first.position, firstBefore))
            return notConfirmed(error.what());
        throw;
    }

    // From here on the file has changed: whatever fails, the result says so.
    try {
        file.sync();
        // Read again through the same open file, still under the lock.
        file.refreshSize();
        const FileFontBytes after(file);
        const FontRead now = ReadFontNames(after, kinds);
        if (readLocation(after, plan.first.position) != plan.first.bytes ||
            readLocation(after, plan.second.position) != plan.second.bytes ||
            !sameRead(now, expected))
            return notConfirmed(SwapResult::kNotValidFontText);
        result.read = now;
    } catch (const EInOutError& error) {
        return notConfirmed(error.what());
    }
    file.discard();
    return result;
}
