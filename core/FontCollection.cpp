#include "core/FontCollection.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FullNameTexts.h"
#include "core/NameRecords.h"
#include "core/NameReferences.h"
#include "core/NameTableBuilder.h"
#include "core/NameTableView.h"
#include "core/RenamedNameTable.h"
#include "core/TableDirectory.h"
#include "core/UnpublishedCopy.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <stdexcept>

namespace qm::core {

namespace {

constexpr std::uint64_t kCollectionHeaderSize = 12;
constexpr std::uint32_t kSourceSide = 1;
constexpr std::uint32_t kCopySide = 2;
constexpr std::uint64_t kLargestOffset = std::numeric_limits<std::uint32_t>::max();

std::uint32_t wordAt(const FontBytes& font, std::uint64_t position) {
    std::uint8_t bytes[4];
    if (font.readAt(position, bytes, 4) != 4)
        throw EInOutError::readBeyondEnd();
    return BytesToLong(bytes);
}

Location locationAt(const FontBytes& font, std::uint64_t position) {
    Location location{};
    if (font.readAt(position, location.data(), location.size()) != location.size())
        throw EInOutError::readBeyondEnd();
    return location;
}

void appendWord(std::string& out, std::uint32_t value) {
    const auto bytes = SwapLong(value);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void appendLocation(std::string& out, const Location& location) {
    out.append(reinterpret_cast<const char*>(location.data()), location.size());
}

void padToFour(std::string& out, std::uint64_t start) {
    while ((start + out.size()) % 4 != 0)
        out += '\0';
}

std::string faceText(std::size_t index, const std::string& text) {
    return "Face " + std::to_string(index) + ": " + text;
}

SwappedFontBytes::Patch patchOf(std::uint64_t position, const std::uint8_t* bytes,
                                std::size_t count) {
    return {position, std::vector<std::uint8_t>(bytes, bytes + count)};
}

SwappedFontBytes::Patch wordPatch(std::uint64_t position, std::uint32_t value) {
    const auto bytes = SwapLong(value);
    return patchOf(position, bytes.data(), bytes.size());
}

// The records are trusted only when they are exactly what a copy writes: they fill the space
// between the copy's tables and the end, and every entry they name lies before them.
std::optional<CollectionTrailer> readTrailer(const FontBytes& font, std::string& problem) {
    const std::uint64_t size = font.size();
    CollectionTrailer trailer;
    trailer.state = wordAt(font, size - kStateDistance);
    trailer.recordsAt = wordAt(font, size - 8);
    const std::uint32_t count = wordAt(font, size - 4);
    if (count == 0 || count > kMostFaces ||
        trailer.recordsAt + std::uint64_t{count} * kFaceRecordSize != size - kTrailerSize) {
        problem = "The renamed collection's trailer is damaged.";
        return std::nullopt;
    }
    std::string copy;
    const std::string_view records =
        font.bytesAt(trailer.recordsAt, std::size_t{count} * kFaceRecordSize, copy);
    if (records.size() != std::size_t{count} * kFaceRecordSize)
        throw EInOutError::readBeyondEnd();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.data());
    for (std::uint32_t i = 0; i < count; ++i, bytes += kFaceRecordSize) {
        FaceRecord record;
        record.entryAt = BytesToLong(bytes);
        std::copy(bytes + 4, bytes + 12, record.source.begin());
        std::copy(bytes + 12, bytes + 20, record.copy.begin());
        if (record.entryAt + 8 > trailer.recordsAt) {
            problem = "The renamed collection's trailer is damaged.";
            return std::nullopt;
        }
        trailer.records.push_back(record);
    }
    return trailer;
}

const FaceRecord* recordAt(const CollectionTrailer& trailer, std::uint64_t entryAt) {
    for (const FaceRecord& record : trailer.records)
        if (record.entryAt == entryAt)
            return &record;
    return nullptr;
}

} // namespace

bool isCollection(const FontBytes& font) {
    std::uint8_t tag[4];
    return font.readAt(0, tag, 4) == 4 && std::memcmp(tag, "ttcf", 4) == 0;
}

std::optional<Collection> readCollection(const FontBytes& font, std::string& problem) {
    std::uint8_t header[kCollectionHeaderSize];
    if (font.readAt(0, header, sizeof header) != sizeof header || !isCollection(font)) {
        problem = "The collection header is cut off.";
        return std::nullopt;
    }
    const std::uint16_t major = bytesToWord(header + 4);
    if (major != 1 && major != 2) {
        problem = "Unknown collection version " + std::to_string(major) + ".";
        return std::nullopt;
    }
    const std::uint32_t count = BytesToLong(header + 8);
    if (count == 0 || count > kMostFaces) {
        problem = "The collection claims " + std::to_string(count) + " faces.";
        return std::nullopt;
    }
    std::string copy;
    const std::string_view offsets = font.bytesAt(kCollectionHeaderSize, 4 * count, copy);
    if (offsets.size() != 4 * count) {
        problem = "The collection's list of faces runs past the end of the file.";
        return std::nullopt;
    }
    Collection collection;
    collection.faceOffsets.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        collection.faceOffsets.push_back(
            BytesToLong(reinterpret_cast<const std::uint8_t*>(offsets.data()) + 4 * i));

    // A renamed collection carries the marker where a renamed font does, in its own form.
    const std::uint64_t size = font.size();
    if (size >= kCollectionHeaderSize + kTrailerSize) {
        std::uint8_t probe[RenamedTrailer::kMarkerProbeSize];
        if (font.readAt(size - RenamedTrailer::kMarkerProbeDistance, probe, sizeof probe) !=
            sizeof probe)
            throw EInOutError::readBeyondEnd();
        if (isRenamedMarkerProbe(probe) && wordAt(font, size - kFormDistance) == kCollectionForm) {
            collection.trailer = readTrailer(font, problem);
            if (!collection.trailer)
                return std::nullopt;
        }
    }
    return collection;
}

std::uint64_t FaceFontBytes::size() const {
    return header_.size() + file_.size() + trailer_.size();
}

std::size_t FaceFontBytes::readAt(std::uint64_t position, std::uint8_t* buffer,
                                  std::size_t count) const {
    std::size_t got = 0;
    const std::uint64_t fileEnd = header_.size() + file_.size();
    while (got < count) {
        const std::uint64_t at = position + got;
        std::size_t piece = 0;
        if (at < header_.size()) {
            piece = std::min<std::uint64_t>(count - got, header_.size() - at);
            std::memcpy(buffer + got, header_.data() + at, piece);
        } else if (at < fileEnd) {
            const std::size_t asked = std::min<std::uint64_t>(count - got, fileEnd - at);
            piece = file_.readAt(at - header_.size(), buffer + got, asked);
            if (piece < asked)
                return got + piece;
        } else if (at < fileEnd + trailer_.size()) {
            piece = std::min<std::uint64_t>(count - got, fileEnd + trailer_.size() - at);
            std::memcpy(buffer + got, trailer_.data() + (at - fileEnd), piece);
        } else {
            break;
        }
        got += piece;
    }
    return got;
}

void FaceFontBytes::prefetch(std::uint64_t position, std::size_t count) const {
    if (position >= header_.size())
        file_.prefetch(position - header_.size(), count);
}

bool FaceFontBytes::view(std::uint64_t position, std::size_t count, std::string_view& bytes) const {
    const std::uint64_t fileEnd = header_.size() + file_.size();
    if (position <= header_.size() && count <= header_.size() - position) {
        bytes = std::string_view(header_).substr(position, count);
        return true;
    }
    if (position >= header_.size() && position <= fileEnd && count <= fileEnd - position)
        return file_.view(position - header_.size(), count, bytes);
    return false;
}

std::optional<FaceFontBytes> faceOf(const FontBytes& file, const Collection& collection,
                                    std::size_t index, std::string& problem) {
    const std::uint32_t offset = collection.faceOffsets.at(index);
    std::uint8_t start[kDirectoryStart];
    if (file.readAt(offset, start, sizeof start) != sizeof start) {
        problem = faceText(index, "its table directory lies beyond the end of the file.");
        return std::nullopt;
    }
    const std::uint16_t numTables = bytesToWord(start + 4);
    const std::size_t shift = kDirectoryStart + kDirectoryEntrySize * numTables;
    std::string header(shift, '\0');
    if (file.readAt(offset, reinterpret_cast<std::uint8_t*>(header.data()), shift) != shift) {
        problem = faceText(index, "its table directory lies beyond the end of the file.");
        return std::nullopt;
    }
    // Every table moves by the directory put in front of the file.
    for (std::size_t i = 0; i < numTables; ++i) {
        auto* field = reinterpret_cast<std::uint8_t*>(header.data()) + kDirectoryStart +
                      kDirectoryEntrySize * i + 8;
        const std::uint64_t moved = std::uint64_t{BytesToLong(field)} + shift;
        if (moved > kLargestOffset) {
            problem = faceText(index, "its tables lie beyond 4 GB.");
            return std::nullopt;
        }
        const auto bytes = SwapLong(static_cast<std::uint32_t>(moved));
        std::copy(bytes.begin(), bytes.end(), field);
    }
    if (!collection.trailer)
        return FaceFontBytes(file, std::move(header), {});
    const FaceFontBytes face(file, header, {});

    // The face's other name location, saved as a renamed font saves it.
    const TableLookup name = findTable(face, "name");
    const FaceRecord* record =
        name.entry ? recordAt(*collection.trailer, offset + name.entry->locationPosition())
                   : nullptr;
    if (!record) {
        problem = faceText(index, "it has no record in the renamed collection's trailer.");
        return std::nullopt;
    }
    const Location now = locationAt(file, record->entryAt);
    if (now != record->source && now != record->copy) {
        problem = faceText(index, "its name entry is neither the source's nor the copy's.");
        return std::nullopt;
    }
    const Location& other = now == record->copy ? record->source : record->copy;
    std::string trailer = RenamedMarker();
    appendLocation(trailer, makeLocation(static_cast<std::uint32_t>(offsetOf(other) + shift),
                                         lengthOf(other)));
    return FaceFontBytes(file, std::move(header), std::move(trailer));
}

SwapOutcome planCollectionSwap(const FontBytes& file, std::vector<SwappedFontBytes::Patch>& writes,
                               std::vector<FontRead>& after) {
    writes.clear();
    after.clear();
    std::string problem;
    const std::optional<Collection> collection = readCollection(file, problem);
    if (!collection || !collection->trailer)
        return SwapOutcome::NotValid;
    const CollectionTrailer& trailer = *collection->trailer;

    // A swap under way goes on to its side; at rest every face shows the same side.
    std::uint32_t side = trailer.state;
    if (side == 0) {
        bool copySide = false;
        bool sourceSide = false;
        for (const FaceRecord& record : trailer.records) {
            const Location now = locationAt(file, record.entryAt);
            copySide |= now == record.copy;
            sourceSide |= now == record.source;
            if (now != record.copy && now != record.source)
                return SwapOutcome::NotValid;
        }
        if (copySide == sourceSide)
            return SwapOutcome::NotValid;
        side = copySide ? kSourceSide : kCopySide;
    } else if (side != kSourceSide && side != kCopySide) {
        return SwapOutcome::NotValid;
    }

    const std::uint64_t statePosition = file.size() - kStateDistance;
    writes.push_back(wordPatch(statePosition, side));
    for (const FaceRecord& record : trailer.records) {
        const Location& target = side == kSourceSide ? record.source : record.copy;
        if (std::uint64_t{offsetOf(target)} + lengthOf(target) > trailer.recordsAt)
            return SwapOutcome::NotValid;
        writes.push_back(patchOf(record.entryAt, target.data(), target.size()));
    }
    writes.push_back(wordPatch(statePosition, 0));

    const SwappedFontBytes swapped(file, writes);
    std::optional<Collection> swappedCollection = readCollection(swapped, problem);
    if (!swappedCollection)
        return SwapOutcome::NotValid;
    for (std::size_t i = 0; i < swappedCollection->faceOffsets.size(); ++i) {
        const std::optional<FaceFontBytes> face = faceOf(swapped, *swappedCollection, i, problem);
        if (!face)
            return SwapOutcome::NotValid;
        after.push_back(ReadFontNames(*face, FontKinds::TrueTypeAndCff));
        if (after.back().ReadFailed)
            return SwapOutcome::NotValid;
    }
    return SwapOutcome::Swapped;
}

namespace {

bool sameRead(const FontRead& a, const FontRead& b) {
    return a.ReadFailed == b.ReadFailed && a.FontNames == b.FontNames && a.IsRenamed == b.IsRenamed;
}

std::vector<FontRead> readFaces(const FontBytes& file) {
    std::string problem;
    std::vector<FontRead> reads;
    const std::optional<Collection> collection = readCollection(file, problem);
    if (!collection)
        return reads;
    for (std::size_t i = 0; i < collection->faceOffsets.size(); ++i) {
        const std::optional<FaceFontBytes> face = faceOf(file, *collection, i, problem);
        if (!face)
            return {};
        reads.push_back(ReadFontNames(*face, FontKinds::TrueTypeAndCff));
    }
    return reads;
}

} // namespace

CollectionSwapResult swapCollection(const std::string& path) {
    CollectionSwapResult result;
    int openError = 0;
    FileHandle file = FileHandle::openExclusive(path, openError);
    if (!file.isOpen()) {
        result.outcome = SwapOutcome::InUse;
        result.ErrorText = openFailureText(openError);
        return result;
    }
    std::vector<SwappedFontBytes::Patch> writes;
    std::vector<FontRead> planned;
    std::vector<std::vector<std::uint8_t>> replaced;
    {
        const FileFontBytes before(file);
        result.outcome = planCollectionSwap(before, writes, planned);
        if (result.outcome != SwapOutcome::Swapped) {
            std::string problem;
            const std::optional<Collection> collection = readCollection(before, problem);
            result.ErrorText = !collection            ? problem
                               : !collection->trailer ? SwapResult::kNotRenamedText
                                                      : SwapResult::kNotValidFontText;
            return result;
        }
        for (const SwappedFontBytes::Patch& write : writes) {
            std::vector<std::uint8_t> was(write.bytes.size());
            if (before.readAt(write.position, was.data(), was.size()) != was.size())
                throw EInOutError::readBeyondEnd();
            replaced.push_back(std::move(was));
        }
    }
    const auto notConfirmed = [&](const std::string& text) {
        result.outcome = SwapOutcome::NotConfirmed;
        result.ErrorText = text;
        file.discard();
        return result;
    };

    // The side is on disk before the first entry changes, and every entry before the state is
    // cleared: a swap cut short anywhere is completed by the next.
    for (std::size_t i = 0; i < writes.size(); ++i) {
        try {
            file.writeAt(writes[i].position, writes[i].bytes.data(), writes[i].bytes.size());
            if (i == 0 || i + 2 == writes.size())
                file.sync();
        } catch (const EInOutError& error) {
            // Undone last first, so the state word goes back to what it was last.
            for (std::size_t undo = i + 1; undo-- > 0;) {
                try {
                    file.writeAt(writes[undo].position, replaced[undo].data(),
                                 replaced[undo].size());
                } catch (const EInOutError&) {
                    return notConfirmed(error.what());
                }
            }
            throw;
        }
    }
    try {
        file.sync();
        file.refreshSize();
        const FileFontBytes now(file);
        result.reads = readFaces(now);
        if (result.reads.size() != planned.size())
            return notConfirmed(SwapResult::kNotValidFontText);
        for (std::size_t i = 0; i < planned.size(); ++i)
            if (!sameRead(result.reads[i], planned[i]))
                return notConfirmed(SwapResult::kNotValidFontText);
    } catch (const EInOutError& error) {
        return notConfirmed(error.what());
    }
    file.discard();
    return result;
}

namespace {

// One face's part of a collection copy.
struct FaceCopy {
    std::uint64_t entryAt = 0;
    Location source{};
    std::size_t table = 0; // into the new tables
    FontRead sourceRead;
};

} // namespace

std::vector<MadeCopy> writeRenamedCollection(const std::string& sourcePath,
                                             const std::string& newPath,
                                             const std::vector<FacePlan>& faces) {
    const FileHandle source = FileHandle::openShared(sourcePath);
    const FileFontBytes sourceBytes(source);
    std::string problem;
    const std::optional<Collection> collection = readCollection(sourceBytes, problem);
    if (!collection)
        throw EMakeRefused(problem);
    if (collection->faceOffsets.size() != faces.size())
        throw EMakeRefused(EMakeRefused::kSourceChangedText);

    std::vector<std::string> tables;
    std::map<std::string, std::size_t> tableIndex;
    std::vector<FaceCopy> copies;
    std::vector<MadeCopy> made(faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const std::optional<FaceFontBytes> face = faceOf(sourceBytes, *collection, i, problem);
        if (!face)
            throw EMakeRefused(problem);
        FaceCopy copy;
        copy.sourceRead = ReadFontNames(*face, FontKinds::TrueTypeAndCff);
        if (copy.sourceRead.ReadFailed)
            throw EMakeRefused(faceText(i, copy.sourceRead.ErrorText));
        const TableLookup name = findTable(*face, "name");
        if (name.duplicate)
            throw EMakeRefused(faceText(i, EMakeRefused::kTwoNameEntriesText));
        std::string copied;
        const std::string nameTable(nameTableBytes(*face, name.entry->offset, copied));
        FullNameTextsUtf8 utf8;
        readFullNameTexts(nameTable, utf8);
        FullNameTexts texts;
        for (unsigned k = 0; k < 8; ++k)
            texts[k] = utf8ToUtf32(utf8[k]);
        if (texts != faces[i].plannedTexts)
            throw EMakeRefused(EMakeRefused::kSourceChangedText);
        RenamedNameTable table;
        try {
            table = buildRenamedNameTable(NameTableView(nameTable), texts, faces[i].newTexts,
                                          findNameReferences(*face));
        } catch (const std::length_error&) {
            throw EMakeRefused(faceText(i, EMakeRefused::kTableTooLargeText));
        }
        made[i].cutNameIDs = table.cutNameIDs;
        made[i].warnings = table.leftOut;
        const bool namesChange =
            faces[i].newTexts[1] || faces[i].newTexts[4] || faces[i].newTexts[6];
        if (namesChange && findTable(*face, "cff ").entry)
            made[i].warnings.push_back(
                "Its CFF table keeps its FontName: a collection's tables stay shared.");

        copy.entryAt = collection->faceOffsets[i] + name.entry->locationPosition();
        copy.source = locationAt(sourceBytes, copy.entryAt);
        // Faces that share a directory share its entry; faces that come out with the same
        // table share it too.
        const auto [it, added] = tableIndex.try_emplace(table.bytes, tables.size());
        if (added)
            tables.push_back(table.bytes);
        copy.table = it->second;
        copies.push_back(std::move(copy));
    }

    // The tail: the new tables, each at a multiple of 4, the records, the end.
    const std::uint64_t sourceSize = sourceBytes.size();
    std::string tail;
    padToFour(tail, sourceSize);
    std::vector<Location> tableLocations;
    for (const std::string& table : tables) {
        tableLocations.push_back(makeLocation(static_cast<std::uint32_t>(sourceSize + tail.size()),
                                              static_cast<std::uint32_t>(table.size())));
        tail += table;
        padToFour(tail, sourceSize);
    }
    const std::uint64_t recordsAt = sourceSize + tail.size();
    std::vector<FaceRecord> records;
    for (const FaceCopy& copy : copies) {
        if (recordAt(CollectionTrailer{0, 0, records}, copy.entryAt))
            continue;
        records.push_back({copy.entryAt, copy.source, tableLocations[copy.table]});
    }
    for (const FaceRecord& record : records) {
        appendWord(tail, static_cast<std::uint32_t>(record.entryAt));
        appendLocation(tail, record.source);
        appendLocation(tail, record.copy);
    }
    std::string end = RenamedMarker();
    const auto form = SwapLong(kCollectionForm);
    std::copy(form.begin(), form.end(), end.begin());
    tail += end;
    appendWord(tail, static_cast<std::uint32_t>(recordsAt));
    appendWord(tail, static_cast<std::uint32_t>(records.size()));
    // Offsets in a font file are 32 bits wide: refused before anything is copied.
    if (sourceSize + tail.size() > kLargestOffset)
        throw EInOutError(EFBIG);
    if (pathIsTaken(newPath))
        throw EInOutError::ofCreate(EEXIST);

    UnpublishedCopy copy(newPath);
    copy.file().copyFrom(source, sourceSize);
    copy.file().writeAt(sourceSize, tail.data(), tail.size());
    for (const FaceRecord& record : records)
        copy.file().writeAt(record.entryAt, record.copy.data(), record.copy.size());
    copy.file().sync();

    // Published only when every face reads with exactly its new table and a restore gives
    // every face the source's names.
    copy.file().refreshSize();
    const FileFontBytes written(copy.file());
    const std::optional<Collection> writtenCollection = readCollection(written, problem);
    if (!writtenCollection || !writtenCollection->trailer ||
        writtenCollection->faceOffsets.size() != faces.size())
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const std::optional<FaceFontBytes> face = faceOf(written, *writtenCollection, i, problem);
        if (!face)
            throw EMakeRefused(EMakeRefused::kNotReadBackText);
        const FontRead read = ReadFontNames(*face, FontKinds::TrueTypeAndCff);
        const TableLookup name = findTable(*face, "name");
        const std::string& table = tables[copies[i].table];
        std::string held;
        if (read.ReadFailed || !read.IsRenamed || !name.entry ||
            name.entry->length != table.size() ||
            face->bytesAt(name.entry->offset, table.size(), held) != table)
            throw EMakeRefused(EMakeRefused::kNotReadBackText);
        made[i].readBack = read.FontNames;
    }
    std::vector<SwappedFontBytes::Patch> writes;
    std::vector<FontRead> restored;
    if (planCollectionSwap(written, writes, restored) != SwapOutcome::Swapped ||
        restored.size() != copies.size())
        throw EMakeRefused(EMakeRefused::kNotRestorableText);
    for (std::size_t i = 0; i < copies.size(); ++i)
        if (!(restored[i].FontNames == copies[i].sourceRead.FontNames))
            throw EMakeRefused(EMakeRefused::kNotRestorableText);
    copy.publish(newPath);
    return made;
}

std::optional<std::string> standaloneFace(const FontBytes& file, std::size_t index,
                                          std::string& problem) {
    const std::optional<Collection> collection = readCollection(file, problem);
    if (!collection)
        return std::nullopt;
    if (index >= collection->faceOffsets.size()) {
        problem = "There is no face " + std::to_string(index) + "; the collection has " +
                  std::to_string(collection->faceOffsets.size()) + ".";
        return std::nullopt;
    }
    std::optional<std::string> font = standaloneFont(file, collection->faceOffsets[index], problem);
    if (!font)
        problem = faceText(index, problem);
    return font;
}

std::optional<std::string> standaloneFont(const FontBytes& file, std::uint64_t directoryAt,
                                          std::string& problem) {
    const std::uint64_t offset = directoryAt;
    std::uint8_t start[kDirectoryStart];
    if (file.readAt(offset, start, sizeof start) != sizeof start) {
        problem = "its table directory lies beyond the end of the file.";
        return std::nullopt;
    }
    const std::uint16_t numTables = bytesToWord(start + 4);
    std::string directory(kDirectoryEntrySize * numTables, '\0');
    if (file.readAt(offset + kDirectoryStart, reinterpret_cast<std::uint8_t*>(directory.data()),
                    directory.size()) != directory.size()) {
        problem = "its table directory lies beyond the end of the file.";
        return std::nullopt;
    }

    // The offset table: the face's version, and the search fields worked out for its count.
    std::string font(reinterpret_cast<const char*>(start), 4);
    unsigned entrySelector = 0;
    while ((2u << entrySelector) <= numTables)
        ++entrySelector;
    const unsigned searchRange = numTables == 0 ? 0 : (1u << entrySelector) * 16;
    for (const unsigned word : {unsigned{numTables}, searchRange,
                                numTables == 0 ? 0 : entrySelector, numTables * 16 - searchRange}) {
        font += static_cast<char>((word >> 8) & 0xFF);
        font += static_cast<char>(word & 0xFF);
    }
    font.append(directory.size(), '\0');

    // Checked before any memory is taken: every table inside the file, and all of them together
    // no more than the file holds, as tables that do not overlap are.
    std::uint64_t claimed = font.size();
    for (std::size_t i = 0; i < numTables; ++i) {
        const auto* entry =
            reinterpret_cast<const std::uint8_t*>(directory.data()) + kDirectoryEntrySize * i;
        const std::uint64_t length = BytesToLong(entry + 12);
        if (BytesToLong(entry + 8) + length > file.size()) {
            problem = "a table lies beyond the end of the file.";
            return std::nullopt;
        }
        claimed += (length + 3) / 4 * 4;
    }
    if (claimed > font.size() + file.size() + 3 * std::uint64_t{numTables} ||
        claimed > kLargestOffset) {
        problem = "its tables claim more bytes than the file holds.";
        return std::nullopt;
    }
    font.reserve(claimed);

    std::uint64_t headAt = 0;
    bool hasHead = false;
    for (std::size_t i = 0; i < numTables; ++i) {
        const auto* entry =
            reinterpret_cast<const std::uint8_t*>(directory.data()) + kDirectoryEntrySize * i;
        const std::uint32_t tableOffset = BytesToLong(entry + 8);
        const std::uint32_t length = BytesToLong(entry + 12);
        padToFour(font, 0);
        const std::uint64_t at = font.size();
        font.resize(at + length);
        if (file.readAt(tableOffset, reinterpret_cast<std::uint8_t*>(font.data() + at), length) !=
            length) {
            problem = "a table lies beyond the end of the file.";
            return std::nullopt;
        }
        if (std::memcmp(entry, "head", 4) == 0 && length >= 12) {
            // checkSumAdjustment counts as zero while the checksums are taken.
            std::memset(font.data() + at + 8, 0, 4);
            headAt = at;
            hasHead = true;
        }
        char* out = font.data() + kDirectoryStart + kDirectoryEntrySize * i;
        std::memcpy(out, entry, 4);
        const auto place = SwapLong(static_cast<std::uint32_t>(at));
        const auto size = SwapLong(length);
        std::memcpy(out + 8, place.data(), 4);
        std::memcpy(out + 12, size.data(), 4);
    }
    padToFour(font, 0);

    const auto checksum = [&](std::uint64_t from, std::uint64_t length) {
        std::uint32_t sum = 0;
        for (std::uint64_t at = from; at < from + length; at += 4) {
            std::uint8_t word[4] = {};
            std::memcpy(word, font.data() + at, std::min<std::uint64_t>(4, from + length - at));
            sum += BytesToLong(word);
        }
        return sum;
    };
    for (std::size_t i = 0; i < numTables; ++i) {
        char* out = font.data() + kDirectoryStart + kDirectoryEntrySize * i;
        const auto sum = SwapLong(checksum(BytesToLong(reinterpret_cast<std::uint8_t*>(out + 8)),
                                           BytesToLong(reinterpret_cast<std::uint8_t*>(out + 12))));
        std::memcpy(out + 4, sum.data(), 4);
    }
    if (hasHead) {
        const auto adjustment = SwapLong(0xB1B0AFBAu - checksum(0, font.size()));
        std::memcpy(font.data() + headAt + 8, adjustment.data(), 4);
    }
    return font;
}

} // namespace qm::core
