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
constexpr std::uint64_t LargestAppendedTable = 256 * 1024;

std::uint64_t EndOfAppendedTable(const FontBytes& font) {
    return font.size() - RenamedTrailer::kSize;
}

bool IsAppendedTable(const FontBytes& font, const Location& location) {
    const std::uint64_t offset = BytesToLong(location.data());
    const std::uint64_t length = BytesToLong(location.data() + 4);
    return offset + length == EndOfAppendedTable(font);
}

// True when the `length` bytes at the end of `tail` are one name table whose strings end
// exactly at its end, as the table a renamed copy appends does.
bool IsWholeNameTable(const std::vector<std::uint8_t>& tail, std::size_t length) {
    ByteCursor cursor(tail.data() + tail.size() - length, length);
    std::uint16_t format = 0;
    std::uint16_t count = 0;
    std::uint16_t stringOffset = 0;
    if (!cursor.ReadU16(format) || !cursor.ReadU16(count) || !cursor.ReadU16(stringOffset) ||
        count == 0 || stringOffset != 6 + 12 * std::uint32_t{count} || stringOffset > length)
        return false;
    std::uint32_t stringsEnd = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t recordLength = 0;
        std::uint16_t recordOffset = 0;
        // platformID, encodingID, languageID, nameID, then length and offset
        if (!cursor.Skip(8) || !cursor.ReadU16(recordLength) || !cursor.ReadU16(recordOffset))
            return false;
        stringsEnd = std::max(stringsEnd, std::uint32_t{recordOffset} + recordLength);
    }
    return stringOffset + stringsEnd == length;
}

// After a swap cut off between its two writes, the directory entry and the saved location
// agree, and the appended table's location is the one lost. The layout gives it back: the
// table ends where the marker begins.
std::optional<Location> FindAppendedTable(const FontBytes& font) {
    const std::uint64_t end = EndOfAppendedTable(font);
    const std::uint64_t directoryEnd = DirectoryStart;
    if (end <= directoryEnd)
        return std::nullopt;
    const std::size_t span =
        static_cast<std::size_t>(std::min(end - directoryEnd, LargestAppendedTable));
    std::vector<std::uint8_t> tail(span);
    if (font.readAt(end - span, tail.data(), span) != span)
        return std::nullopt;
    for (std::size_t length = 6 + 12; length <= span; ++length) {
        if (!IsWholeNameTable(tail, length))
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

Location ReadLocation(const FontBytes& font, std::uint64_t position) {
    Location location{};
    if (font.readAt(position, location.data(), location.size()) != location.size())
        throw EInOutError::ReadBeyondEnd();
    return location;
}

bool WriteBack(FileHandle& file, std::uint64_t position, const Location& bytes) noexcept {
    try {
        file.WriteAt(position, bytes.data(), bytes.size());
        return true;
    } catch (const EInOutError&) {
        return false;
    }
}

SwapResult NotConfirmed(const std::string& why) {
    SwapResult result;
    result.Outcome = SwapOutcome::soNotConfirmed;
    result.ErrorText = why;
    return result;
}

bool SameRead(const FontRead& a, const FontRead& b) {
    return a.ReadFailed == b.ReadFailed && a.FontNames == b.FontNames && a.IsRenamed == b.IsRenamed;
}

} // namespace

SwapOutcome PlanSwap(const FontBytes& font, SwapPlan& plan) {
    const std::uint64_t size = font.size();
    if (size < RenamedTrailer::kSize + DirectoryStart)
        return SwapOutcome::soNotValid;
    std::uint8_t probe[RenamedTrailer::kMarkerProbeSize];
    if (font.readAt(size - RenamedTrailer::kMarkerProbeDistance, probe, sizeof probe) !=
            sizeof probe ||
        !isRenamedMarkerProbe(probe))
        return SwapOutcome::soNotValid;

    const TableLookup name = FindTable(font, "name");
    if (!name.DirectoryComplete || name.Duplicate)
        return SwapOutcome::soNotValid;
    if (!name.Entry)
        return SwapOutcome::soNoNameEntry;
    // An entry inside the trailer would be half overwritten by its own exchange.
    const std::uint64_t entryAt = name.Entry->LocationPosition();
    const std::uint64_t savedAt = size - 8;
    if (entryAt + 8 > size - RenamedTrailer::kSize)
        return SwapOutcome::soNotValid;

    const Location entry = ReadLocation(font, entryAt);
    const Location saved = ReadLocation(font, savedAt);
    if (entry == saved) {
        // Complete the half-done swap towards the names the directory shows now: the appended
        // table's location goes back into the trailer.
        const std::optional<Location> appended = FindAppendedTable(font);
        if (!appended || *appended == saved)
            return SwapOutcome::soNotValid;
        plan.First = {savedAt, *appended};
        plan.Second = plan.First;
        return SwapOutcome::soSwapped;
    }
    // The first write overwrites the appended table's location, which the layout can find
    // again; the other location, recorded nowhere else, is overwritten only once it has been
    // written to its new place. So a swap cut off between the writes loses nothing.
    const SwappedFontBytes::Patch toEntry{entryAt, saved};
    const SwappedFontBytes::Patch toTrailer{savedAt, entry};
    const bool trailerFirst = IsAppendedTable(font, saved) && !IsAppendedTable(font, entry);
    plan.First = trailerFirst ? toTrailer : toEntry;
    plan.Second = trailerFirst ? toEntry : toTrailer;
    return SwapOutcome::soSwapped;
}

FontRead ReadSwapped(const FontBytes& font, const SwapPlan& plan, FontKinds kinds) {
    return ReadFontNames(SwappedFontBytes(font, plan.First, plan.Second), kinds);
}

SwapResult SwapNameTables(const std::string& path, FontKinds kinds) {
    SwapResult result;
    int openError = 0;
    FileHandle file = FileHandle::OpenExclusive(path, openError);
    if (!file.IsOpen()) {
        result.Outcome = SwapOutcome::soInUse;
        return result;
    }
    SwapPlan plan;
    Location firstBefore{};
    Location secondBefore{};
    FontRead expected;
    {
        const FileFontBytes before(file);
        result.Outcome = PlanSwap(before, plan);
        if (result.Outcome != SwapOutcome::soSwapped)
            return result;
        expected = ReadSwapped(before, plan, kinds);
        if (expected.ReadFailed) {
            result.Outcome = SwapOutcome::soNotValid;
            return result;
        }
        firstBefore = ReadLocation(before, plan.First.position);
        secondBefore = ReadLocation(before, plan.Second.position);
    }

    // A write that fails is undone, so that a failure leaves the file as it was.
    try {
        file.WriteAt(plan.First.position, plan.First.bytes.data(), plan.First.bytes.size());
    } catch (const EInOutError& error) {
        if (!WriteBack(file, plan.First.position, firstBefore))
            return NotConfirmed(error.what());
        throw;
    }
    try {
        file.WriteAt(plan.Second.position, plan.Second.bytes.data(), plan.Second.bytes.size());
    } catch (const EInOutError& error) {
        if (!WriteBack(file, plan.Second.position, secondBefore) ||
            !WriteBack(file, plan.First.position, firstBefore))
            return NotConfirmed(error.what());
        throw;
    }

    // From here on the file has changed: whatever fails, the result says so.
    try {
        file.Sync();
        // Read again through the same open file, still under the lock.
        file.RefreshSize();
        const FileFontBytes after(file);
        const FontRead now = ReadFontNames(after, kinds);
        if (ReadLocation(after, plan.First.position) != plan.First.bytes ||
            ReadLocation(after, plan.Second.position) != plan.Second.bytes ||
            !SameRead(now, expected))
            return NotConfirmed(SwapResult::NotValidFontText);
        result.Read = now;
    } catch (const EInOutError& error) {
        return NotConfirmed(error.what());
    }
    file.Discard();
    return result;
}
