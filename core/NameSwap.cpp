#include "core/NameSwap.h"

#include "core/ByteHelpers.h"
#include "core/CffNames.h"
#include "core/CopyTrailer.h"
#include "core/EInOutError.h"
#include "core/NameTableView.h"
#include "core/TableDirectory.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace {

using qm::core::CopyTrailer;
using qm::core::Location;
using qm::core::SwappedTable;
using Patch = SwappedFontBytes::Patch;

// The largest name table a renamed copy appends: records and two 16-bit string areas.
constexpr std::uint64_t kLargestAppendedTable = 256 * 1024;

Patch patchOf(std::uint64_t position, const std::uint8_t* bytes, std::size_t count) {
    return Patch{position, std::vector<std::uint8_t>(bytes, bytes + count)};
}

bool endsAt(const Location& location, std::uint64_t end) {
    return std::uint64_t{qm::core::offsetOf(location)} + qm::core::lengthOf(location) == end;
}

// Whether a directory entry holding `location` leads to a whole table inside the file: a name
// table as long as its records at least, a CFF table whose names can be read. Strict consumers
// refuse anything less, and a restore never writes what they refuse.
bool holdsWholeTable(const FontBytes& font, const Location& location, bool cff) {
    const std::uint64_t offset = qm::core::offsetOf(location);
    const std::uint64_t length = qm::core::lengthOf(location);
    if (offset > font.size() || length > font.size() - offset)
        return false;
    if (cff) {
        std::string copy;
        std::string problem;
        const std::string_view table = font.bytesAt(offset, static_cast<std::size_t>(length), copy);
        return table.size() == length && qm::core::readCffNames(table, problem).has_value();
    }
    std::string copy;
    const NameTableView view(font.bytesAt(offset, NameTableView::kHeaderSize, copy));
    return view.headerComplete() &&
           length >= NameTableView::kHeaderSize +
                         NameTableView::kRecordSize * std::uint64_t{view.declaredCount()};
}

// Where a copy stands: each table's entry leads to the copy's own table (renamed), to the
// source's with the copy's saved (restored), or, after a swap cut off between its writes, both
// hold the source's (half).
enum class TableState { Renamed, Restored, Half, Unknown };

TableState stateOf(const SwappedTable& table) {
    const Location& own = *table.appended;
    if (table.entry == own && table.saved != own)
        return TableState::Renamed;
    if (table.saved == own && table.entry != own)
        return TableState::Restored;
    if (table.entry == table.saved && table.entry != own)
        return TableState::Half;
    return TableState::Unknown;
}

// The writes that take `table` to the restored or the renamed state. The slot holding the copy's
// own table is written first: its location is recorded in the trailer, the source's nowhere
// else, so a swap cut off between the writes loses nothing.
void planTable(const SwappedTable& table, bool toRestored, std::vector<Patch>& writes,
               Location& entryAfter, Location& savedAfter) {
    const Location& own = *table.appended;
    const Location source = stateOf(table) == TableState::Renamed ? table.saved : table.entry;
    entryAfter = toRestored ? source : own;
    savedAfter = toRestored ? own : source;
    auto write = [&](std::uint64_t at, const Location& bytes, const Location& now) {
        if (bytes != now)
            writes.push_back(patchOf(at, bytes.data(), bytes.size()));
    };
    if (toRestored) {
        write(table.entryAt, entryAfter, table.entry);
        write(table.savedAt, savedAfter, table.saved);
    } else {
        write(table.savedAt, savedAfter, table.saved);
        write(table.entryAt, entryAfter, table.entry);
    }
}

// Writes that touch follow each other, as the state word and the saved name location do, are
// made as one.
std::vector<Patch> joined(const std::vector<Patch>& writes) {
    std::vector<Patch> out;
    for (const Patch& write : writes) {
        if (!out.empty()) {
            Patch& last = out.back();
            if (last.position + last.bytes.size() == write.position) {
                last.bytes.insert(last.bytes.end(), write.bytes.begin(), write.bytes.end());
                continue;
            }
            if (write.position + write.bytes.size() == last.position) {
                last.bytes.insert(last.bytes.begin(), write.bytes.begin(), write.bytes.end());
                last.position = write.position;
                continue;
            }
        }
        out.push_back(write);
    }
    return out;
}

// The plan for `trailer`, whose tables all know their own table; nothing when the copy is in a
// state no swap of ours leaves, or the file would not read after the plan or after the swap
// that follows it.
std::optional<SwapPlan> planFor(const FontBytes& font, const CopyTrailer& trailer,
                                FontKinds kinds) {
    std::vector<TableState> states;
    for (const SwappedTable& table : trailer.tables) {
        states.push_back(stateOf(table));
        if (states.back() == TableState::Unknown)
            return std::nullopt;
    }
    const bool settled =
        states.front() != TableState::Half &&
        std::all_of(states.begin(), states.end(), [&](TableState s) { return s == states[0]; });
    // A settled copy swaps; one a swap left unsettled is completed towards the names the
    // directory shows.
    const bool toRestored =
        settled ? states.front() == TableState::Renamed : states.front() != TableState::Renamed;

    std::vector<Patch> writes;
    std::vector<Patch> exchanged;
    for (const SwappedTable& table : trailer.tables) {
        Location entryAfter{};
        Location savedAfter{};
        planTable(table, toRestored, writes, entryAfter, savedAfter);
        if (!holdsWholeTable(font, entryAfter, table.cff) ||
            !holdsWholeTable(font, savedAfter, table.cff))
            return std::nullopt;
        // In the first form the copy's own table is known by where it ends: the source's
        // must end elsewhere, or the next swap could not tell them apart.
        const Location& source = toRestored ? entryAfter : savedAfter;
        if (!trailer.cffForm && endsAt(source, trailer.tablesEnd))
            return std::nullopt;
        exchanged.push_back(patchOf(table.entryAt, savedAfter.data(), savedAfter.size()));
        exchanged.push_back(patchOf(table.savedAt, entryAfter.data(), entryAfter.size()));
    }
    if (!trailer.cffForm) {
        // The state word says, while the writes run, where the copy's own name table is: a
        // swap cut off between them is completed from it, never from a guess.
        const std::uint64_t stateAt = font.size() - qm::core::kStateDistance;
        const std::uint32_t length = qm::core::lengthOf(*trailer.tables.front().appended);
        const auto during = SwapLong(length);
        const std::uint8_t atRest[4] = {0, 0, 0, 0};
        if (trailer.state != length)
            writes.insert(writes.begin(), patchOf(stateAt, during.data(), during.size()));
        writes.push_back(patchOf(stateAt, atRest, sizeof atRest));
    }

    SwapPlan plan;
    plan.writes = joined(writes);
    const SwappedFontBytes after(font, plan.writes);
    plan.after = ReadFontNames(after, kinds);
    if (plan.after.ReadFailed ||
        ReadFontNames(SwappedFontBytes(after, exchanged), kinds).ReadFailed)
        return std::nullopt;
    return plan;
}

// True when `table` is one name table whose strings end exactly at its end, as the format-0
// table that copies without a swap state appended does.
bool isWholeNameTable(std::string_view table) {
    const NameTableView view(table);
    if (!view.headerComplete() || view.declaredCount() == 0 || view.recordsCutOff() ||
        view.stringOffset() !=
            NameTableView::kHeaderSize + NameTableView::kRecordSize * view.count())
        return false;
    std::size_t stringsEnd = 0;
    for (std::size_t i = 0; i < view.count(); ++i) {
        const NameRecordFields record = view.record(i);
        stringsEnd = std::max(stringsEnd, std::size_t{record.offset} + record.length);
    }
    return view.stringOffset() + stringsEnd == table.size();
}

// A copy's swap cut off by a program that kept no state: its own table is one that ends where
// the trailer begins. Taken only when exactly one such table gives a plan; a table's strings
// may hold bytes that look like a smaller one.
std::optional<SwapPlan> planForUnrecordedHalfSwap(const FontBytes& font, CopyTrailer trailer,
                                                  FontKinds kinds) {
    const std::uint64_t end = trailer.tablesEnd;
    if (end <= kDirectoryStart)
        return std::nullopt;
    const std::size_t span =
        static_cast<std::size_t>(std::min(end - kDirectoryStart, kLargestAppendedTable));
    std::vector<std::uint8_t> tail(span);
    if (font.readAt(end - span, tail.data(), span) != span)
        return std::nullopt;
    std::optional<SwapPlan> found;
    for (std::size_t length = 6 + 12; length <= span; ++length) {
        if (!isWholeNameTable(std::string_view(
                reinterpret_cast<const char*>(tail.data()) + tail.size() - length, length)))
            continue;
        trailer.tables.front().appended = qm::core::makeLocation(
            static_cast<std::uint32_t>(end - length), static_cast<std::uint32_t>(length));
        std::optional<SwapPlan> plan = planFor(font, trailer, kinds);
        if (plan && found)
            return std::nullopt;
        if (plan)
            found = std::move(plan);
    }
    return found;
}

SwapResult notConfirmed(const std::string& why) {
    SwapResult result;
    result.outcome = SwapOutcome::NotConfirmed;
    result.ErrorText = why;
    return result;
}

} // namespace

std::string openFailureText(int errorCode) {
    switch (errorCode) {
    case ENOENT:
    case ENOTDIR:
        return FontRead::kFileNotFoundText;
    case EISDIR:
        return SwapResult::kFolderText;
    case ENODEV:
        return SwapResult::kNotRegularText;
    case EACCES:
    case EPERM:
        return SwapResult::kReadOnlyText;
    case EROFS:
        return SwapResult::kReadOnlyMountText;
    case EWOULDBLOCK:
        return SwapResult::kFontInUseText;
    default:
        return EInOutError(errorCode).what();
    }
}

namespace {

bool sameRead(const FontRead& a, const FontRead& b) {
    return a.ReadFailed == b.ReadFailed && a.FontNames == b.FontNames && a.IsRenamed == b.IsRenamed;
}

std::vector<std::uint8_t> bytesAt(const FontBytes& font, std::uint64_t position,
                                  std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (font.readAt(position, bytes.data(), count) != count)
        throw EInOutError::readBeyondEnd();
    return bytes;
}

} // namespace

SwapOutcome planSwap(const FontBytes& font, SwapPlan& plan, FontKinds kinds) {
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
    std::string problem;
    std::optional<CopyTrailer> trailer = qm::core::readCopyTrailer(font, problem);
    if (!trailer)
        return SwapOutcome::NotValid;

    std::optional<SwapPlan> planned;
    SwappedTable& names = trailer->tables.front();
    if (trailer->cffForm) {
        planned = planFor(font, *trailer, kinds);
    } else if (trailer->state != 0) {
        // A swap of ours was cut off, or ended before it cleared the state.
        if (trailer->state > trailer->tablesEnd)
            return SwapOutcome::NotValid;
        names.appended = qm::core::makeLocation(
            static_cast<std::uint32_t>(trailer->tablesEnd - trailer->state), trailer->state);
        planned = planFor(font, *trailer, kinds);
    } else if (names.entry != names.saved) {
        // The copy's own table ends where the trailer begins.
        const bool entryIsOwn = endsAt(names.entry, trailer->tablesEnd);
        if (entryIsOwn == endsAt(names.saved, trailer->tablesEnd))
            return SwapOutcome::NotValid;
        names.appended = entryIsOwn ? names.entry : names.saved;
        planned = planFor(font, *trailer, kinds);
    } else {
        planned = planForUnrecordedHalfSwap(font, *trailer, kinds);
    }
    if (!planned)
        return SwapOutcome::NotValid;
    plan = std::move(*planned);
    return SwapOutcome::Swapped;
}

SwapResult swapNameTables(const std::string& path, FontKinds kinds) {
    SwapResult result;
    int openError = 0;
    FileHandle file = FileHandle::openExclusive(path, openError);
    if (!file.isOpen()) {
        result.outcome = SwapOutcome::InUse;
        result.ErrorText = openFailureText(openError);
        return result;
    }
    SwapPlan plan;
    // What each write replaces, and what the file holds at each written place once all are made.
    std::vector<std::vector<std::uint8_t>> replaced;
    std::vector<std::vector<std::uint8_t>> expected;
    {
        const FileFontBytes before(file);
        result.outcome = planSwap(before, plan, kinds);
        if (result.outcome != SwapOutcome::Swapped)
            return result;
        const SwappedFontBytes after(before, plan.writes);
        for (std::size_t i = 0; i < plan.writes.size(); ++i) {
            const Patch& write = plan.writes[i];
            const SwappedFontBytes earlier(
                before, std::vector<Patch>(plan.writes.begin(),
                                           plan.writes.begin() + static_cast<std::ptrdiff_t>(i)));
            replaced.push_back(bytesAt(earlier, write.position, write.bytes.size()));
            expected.push_back(bytesAt(after, write.position, write.bytes.size()));
        }
    }

    // A write that fails is undone with those before it, so that a failure leaves the file as
    // it was.
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        const Patch& write = plan.writes[i];
        try {
            file.writeAt(write.position, write.bytes.data(), write.bytes.size());
        } catch (const EInOutError& error) {
            for (std::size_t undo = i + 1; undo-- > 0;) {
                try {
                    file.writeAt(plan.writes[undo].position, replaced[undo].data(),
                                 replaced[undo].size());
                } catch (const EInOutError&) {
                    return notConfirmed(error.what());
                }
            }
            throw;
        }
    }

    // From here on the file has changed: whatever fails, the result says so.
    try {
        file.sync();
        // Read again through the same open file, still under the lock.
        file.refreshSize();
        const FileFontBytes after(file);
        const FontRead now = ReadFontNames(after, kinds);
        for (std::size_t i = 0; i < plan.writes.size(); ++i)
            if (bytesAt(after, plan.writes[i].position, expected[i].size()) != expected[i])
                return notConfirmed(SwapResult::kNotValidFontText);
        if (!sameRead(now, plan.after))
            return notConfirmed(SwapResult::kNotValidFontText);
        result.read = now;
    } catch (const EInOutError& error) {
        return notConfirmed(error.what());
    }
    file.discard();
    return result;
}
