#include "core/NameRecords.h"

#include "core/ByteHelpers.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontReader.h"
#include "core/LanguageTags.h"
#include "core/NameTableView.h"
#include "core/TableDirectory.h"

#include <algorithm>

namespace {

constexpr std::size_t kRecordSize = NameTableView::kRecordSize;

std::uint16_t wordAt(std::string_view bytes, std::size_t offset) {
    return bytesToWord(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

// An sfnt: TrueType (major version 1 to 5, as the reader accepts), "OTTO" for CFF outlines, or
// Apple's "true".
bool isSfntVersion(const std::uint8_t* version) {
    const std::uint16_t major = bytesToWord(version);
    const std::string_view tag(reinterpret_cast<const char*>(version), 4);
    return (major >= 1 && major <= 5) || tag == "OTTO" || tag == "true";
}

NameTableListing listTableAt(const FontBytes& file, std::uint32_t offset) {
    std::string copy;
    NameTableListing listing = listNameTable(nameTableBytes(file, offset, copy));
    listing.offset = offset;
    if (offset >= file.size())
        listing.problem = "the name table lies beyond the end of the file";
    return listing;
}

} // namespace

std::string_view nameTableBytes(const FontBytes& font, std::uint32_t offset, std::string& copy) {
    const std::uint64_t fileSize = font.size();
    if (offset >= fileSize)
        return {};
    const std::string_view header = font.bytesAt(offset, 6, copy);
    std::uint64_t extent = 6;
    if (header.size() == 6) {
        const std::uint16_t format = wordAt(header, 0);
        const std::uint16_t count = wordAt(header, 2);
        const std::uint16_t stringOffset = wordAt(header, 4);
        extent += kRecordSize * count;
        const std::string_view records = font.bytesAt(offset + 6, kRecordSize * count, copy);
        for (std::size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize)
            extent = std::max<std::uint64_t>(extent, std::uint64_t{stringOffset} +
                                                         wordAt(records, at + 10) +
                                                         wordAt(records, at + 8));
        // Language tags of format 1: their count, records and strings may reach this far.
        if (format == 1)
            extent = std::max<std::uint64_t>(extent + 2 + 4 * std::uint64_t{0xFFFF},
                                             std::uint64_t{stringOffset} + 2 * 0xFFFF);
    }
    return font.bytesAt(offset, static_cast<std::size_t>(std::min(extent, fileSize - offset)),
                        copy);
}

std::optional<std::uint32_t> liveNameTableOffset(const FontBytes& font, std::string& problem) {
    std::uint8_t header[12];
    if (font.readAt(0, header, sizeof header) != sizeof header || !isSfntVersion(header)) {
        problem = "Not an sfnt font file.";
        return std::nullopt;
    }
    // The reader's rule: a later `name` entry wins.
    const TableLookup name = findTable(font, "name");
    if (!name.entry) {
        problem = FontRead::kNoTableEntryText;
        return std::nullopt;
    }
    return name.entry->offset;
}

NameTableListing listNameTable(std::string_view bytes) {
    NameTableListing listing;
    const NameTableView table(bytes);
    if (!table.headerComplete()) {
        listing.problem = "the name table header is cut off";
        return listing;
    }
    listing.format = table.format();

    // Format 1 tables name their own languages after the records.
    std::vector<std::string> languageTags;
    for (std::size_t i = 0; i < table.langTagCount(); ++i) {
        const auto tag = table.langTag(i);
        languageTags.push_back(tag ? decodeNameString(0, 0, *tag).text : std::string());
    }

    listing.records.reserve(table.count());
    for (std::size_t i = 0; i < table.count(); ++i) {
        const NameRecordFields record = table.record(i);
        NameRecordEntry entry;
        entry.platformID = record.platformID;
        entry.encodingID = record.encodingID;
        entry.languageID = record.languageID;
        entry.nameID = record.nameID;
        if (entry.languageID >= NameTableView::kFirstLanguageTagID && entry.platformID != 1) {
            const std::size_t index = entry.languageID - NameTableView::kFirstLanguageTagID;
            if (index < languageTags.size())
                entry.language = languageTags[index];
        } else {
            entry.language = languageTagOf(entry.platformID, entry.languageID);
        }
        if (const auto string = table.stringOf(record)) {
            entry.string = decodeNameString(entry.platformID, entry.encodingID, *string);
            entry.bytes = std::string(*string);
        } else {
            entry.missing = true;
        }
        listing.records.push_back(std::move(entry));
    }
    // Keep what was there: the records before the cut are still worth showing.
    if (table.recordsCutOff())
        listing.problem = "the name records run past the end of the file";
    return listing;
}

FontNameTables listFontNameTables(const std::string& path) {
    const FileHandle file = FileHandle::openSharedIfFile(path);
    if (!file.isOpen()) {
        FontNameTables tables;
        tables.problem = FontRead::kFileNotFoundText;
        return tables;
    }
    return listFontNameTables(FileFontBytes(file));
}

FontNameTables listFontNameTables(const FontBytes& file) {
    FontNameTables tables;
    const auto live = liveNameTableOffset(file, tables.problem);
    if (!live)
        return tables;
    tables.live = listTableAt(file, *live);

    const std::uint64_t size = file.size();
    if (size >= RenamedTrailer::kSize) {
        std::string copy;
        const std::string_view trailer =
            file.bytesAt(size - RenamedTrailer::kSize, RenamedTrailer::kSize, copy);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(trailer.data());
        if (trailer.size() == RenamedTrailer::kSize &&
            isRenamedMarkerProbe(bytes + RenamedTrailer::kSize -
                                 RenamedTrailer::kMarkerProbeDistance))
            tables.saved = listTableAt(file, BytesToLong(bytes + RenamedTrailer::kSize - 8));
    }
    return tables;
}
