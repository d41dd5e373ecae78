#include "core/NameRecords.h"

#include "core/ByteHelpers.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontReader.h"
#include "core/LanguageTags.h"
#include "core/TableDirectory.h"

#include <algorithm>

namespace {

constexpr std::size_t kRecordSize = 12;
constexpr std::uint16_t kFirstLanguageTagID = 0x8000;

std::uint16_t WordAt(std::string_view bytes, std::size_t offset) {
    return BytesToWord(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

// The bytes of `length` at `start`, or nothing when they run past the end.
std::optional<std::string_view> Span(std::string_view bytes, std::size_t start,
                                     std::size_t length) {
    if (start > bytes.size() || length > bytes.size() - start)
        return std::nullopt;
    return bytes.substr(start, length);
}

// An sfnt: TrueType (major version 1 to 5, as the reader accepts), "OTTO" for CFF outlines, or
// Apple's "true".
bool IsSfntVersion(const std::uint8_t* version) {
    const std::uint16_t major = BytesToWord(version);
    const std::string_view tag(reinterpret_cast<const char*>(version), 4);
    return (major >= 1 && major <= 5) || tag == "OTTO" || tag == "true";
}

std::string ReadAt(const FontBytes& font, std::uint64_t position, std::uint64_t count) {
    std::string bytes(count, '\0');
    bytes.resize(
        font.ReadAt(position, reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
    return bytes;
}

// The same bytes in place where the font holds them; `copy` keeps them otherwise. Valid until
// the next read.
std::string_view BytesAt(const FontBytes& font, std::uint64_t position, std::uint64_t count,
                         std::string& copy) {
    std::string_view bytes;
    if (font.View(position, static_cast<std::size_t>(count), bytes))
        return bytes;
    copy = ReadAt(font, position, count);
    return copy;
}

NameTableListing ListTableAt(const FontBytes& file, std::uint32_t offset) {
    std::string copy;
    NameTableListing listing = ListNameTable(NameTableBytes(file, offset, copy));
    listing.Offset = offset;
    if (offset >= file.Size())
        listing.Problem = "the name table lies beyond the end of the file";
    return listing;
}

} // namespace

std::string_view NameTableBytes(const FontBytes& font, std::uint32_t offset, std::string& copy) {
    const std::uint64_t fileSize = font.Size();
    if (offset >= fileSize)
        return {};
    const std::string_view header = BytesAt(font, offset, 6, copy);
    std::uint64_t extent = 6;
    if (header.size() == 6) {
        const std::uint16_t format = WordAt(header, 0);
        const std::uint16_t count = WordAt(header, 2);
        const std::uint16_t stringOffset = WordAt(header, 4);
        extent += kRecordSize * count;
        const std::string_view records = BytesAt(font, offset + 6, kRecordSize * count, copy);
        for (std::size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize)
            extent = std::max<std::uint64_t>(extent, std::uint64_t{stringOffset} +
                                                         WordAt(records, at + 10) +
                                                         WordAt(records, at + 8));
        // Language tags of format 1: their count, records and strings may reach this far.
        if (format == 1)
            extent = std::max<std::uint64_t>(extent + 2 + 4 * std::uint64_t{0xFFFF},
                                             std::uint64_t{stringOffset} + 2 * 0xFFFF);
    }
    return BytesAt(font, offset, std::min(extent, fileSize - offset), copy);
}

std::optional<std::uint32_t> LiveNameTableOffset(const FontBytes& font, std::string& problem) {
    std::uint8_t header[12];
    if (font.ReadAt(0, header, sizeof header) != sizeof header || !IsSfntVersion(header)) {
        problem = "Not an sfnt font file.";
        return std::nullopt;
    }
    // The reader's rule: a later `name` entry wins.
    const TableLookup name = FindTable(font, "name");
    if (!name.Entry) {
        problem = FontRead::NoTableEntryText;
        return std::nullopt;
    }
    return name.Entry->Offset;
}

NameTableListing ListNameTable(std::string_view table) {
    NameTableListing listing;
    if (table.size() < 6) {
        listing.Problem = "the name table header is cut off";
        return listing;
    }
    listing.format = WordAt(table, 0);
    const std::uint16_t count = WordAt(table, 2);
    const std::uint16_t stringOffset = WordAt(table, 4);
    const std::size_t recordsEnd = 6 + kRecordSize * std::size_t{count};

    // Format 1 tables name their own languages after the records.
    std::vector<std::string> languageTags;
    if (listing.format == 1 && recordsEnd + 2 <= table.size()) {
        const std::uint16_t tagCount = WordAt(table, recordsEnd);
        for (std::size_t i = 0; i < tagCount; ++i) {
            const auto entry = Span(table, recordsEnd + 2 + 4 * i, 4);
            if (!entry)
                break;
            const auto tag =
                Span(table, std::size_t{stringOffset} + WordAt(*entry, 2), WordAt(*entry, 0));
            languageTags.push_back(tag ? DecodeNameString(0, 0, *tag).Text : std::string());
        }
    }

    listing.Records.reserve(std::min<std::size_t>(count, table.size() / kRecordSize));
    for (std::size_t i = 0; i < count; ++i) {
        const auto record = Span(table, 6 + kRecordSize * i, kRecordSize);
        if (!record) {
            // Keep what was there: the records before the cut are still worth showing.
            listing.Problem = "the name records run past the end of the file";
            break;
        }
        NameRecordEntry entry;
        entry.platformID = WordAt(*record, 0);
        entry.encodingID = WordAt(*record, 2);
        entry.languageID = WordAt(*record, 4);
        entry.nameID = WordAt(*record, 6);
        const std::uint16_t length = WordAt(*record, 8);
        const std::uint16_t offset = WordAt(*record, 10);
        if (entry.languageID >= kFirstLanguageTagID && entry.platformID != 1) {
            const std::size_t index = entry.languageID - kFirstLanguageTagID;
            if (index < languageTags.size())
                entry.Language = languageTags[index];
        } else {
            entry.Language = LanguageTagOf(entry.platformID, entry.languageID);
        }
        const auto bytes = Span(table, std::size_t{stringOffset} + offset, length);
        if (bytes) {
            entry.String = DecodeNameString(entry.platformID, entry.encodingID, *bytes);
            entry.Bytes = std::string(*bytes);
        } else
            entry.Missing = true;
        listing.Records.push_back(std::move(entry));
    }
    return listing;
}

FontNameTables ListFontNameTables(const std::string& path) {
    const FileHandle file = FileHandle::OpenSharedIfFile(path);
    if (!file.IsOpen()) {
        FontNameTables tables;
        tables.Problem = FontRead::FileNotFoundText;
        return tables;
    }
    return ListFontNameTables(FileFontBytes(file));
}

FontNameTables ListFontNameTables(const FontBytes& file) {
    FontNameTables tables;
    const auto live = LiveNameTableOffset(file, tables.Problem);
    if (!live)
        return tables;
    tables.Live = ListTableAt(file, *live);

    const std::uint64_t size = file.Size();
    if (size >= RenamedTrailer::Size) {
        const std::string trailer = ReadAt(file, size - RenamedTrailer::Size, RenamedTrailer::Size);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(trailer.data());
        if (trailer.size() == RenamedTrailer::Size &&
            IsRenamedMarkerProbe(bytes + RenamedTrailer::Size -
                                 RenamedTrailer::MarkerProbeDistance))
            tables.Saved = ListTableAt(file, BytesToLong(bytes + RenamedTrailer::Size - 8));
    }
    return tables;
}
