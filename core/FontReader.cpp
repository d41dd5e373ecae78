#include "core/FontReader.h"

#include "core/ByteCursor.h"
#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/NamePlatforms.h"
#include "core/NameRecords.h"
#include "core/NameStringDecoding.h"
#include "core/NameTableView.h"
#include "core/TableDirectory.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kHeadMagicNumber = 0x5F0F3CF5;
// No field keeps more than 127 characters, so only the first bytes of a long string matter.
constexpr std::size_t kLongestField = std::max(
    {FontNames::kFamilyNameCapacity, FontNames::kFullNameCapacity, FontNames::kStyleCapacity,
     FontNames::kPostscriptCapacity, FontNames::kVersionCapacity, FontNames::kFontIDCapacity,
     FontNames::kCopyrightCapacity, FontNames::kTradeMarkCapacity});
constexpr std::size_t kLongestStringRead = 1024;

// Stores a cleaned text as the reader does, cut to its field. False when the name keeps its
// earlier text over an empty one.
bool storeNameText(FontNames& names, unsigned nameID, std::string_view text) {
    if (text.empty() && !takesEmptyText(nameID))
        return false;
    names.textOfNameID(nameID).assign(text.substr(0, capacityOfNameID(nameID)));
    return true;
}

// English records of the eight names.
bool isWantedRecord(const NameRecordFields& record) {
    return isEnglishRecord(record.platformID, record.languageID) && record.nameID < 8;
}

enum class NameTableRead { Complete, CutOff, StringMissing };

// Reads the records as if in table order, each accepted record overwriting, so that the last
// one wins; the records are taken from the end, so a text once settled is not read again.
NameTableRead readNameTable(const FontBytes& font, std::uint32_t nameOffset, FontNames& names) {
    std::string copy;
    const NameTableView table(nameTableBytes(font, nameOffset, copy));
    if (!table.headerComplete())
        return NameTableRead::CutOff;
    // A table that runs past the end of the file is not an error by itself: the names found
    // in the records before the cut may still make a usable font.
    NameTableRead outcome = table.recordsCutOff() ? NameTableRead::CutOff : NameTableRead::Complete;
    // A string beyond the file makes the table incorrect, and only the records before it count.
    std::size_t counted = table.count();
    for (std::size_t i = 0; i < table.count(); ++i) {
        const NameRecordFields record = table.record(i);
        if (isWantedRecord(record) && record.length > 0 &&
            !table.stringOf(record, kLongestStringRead)) {
            counted = i;
            outcome = NameTableRead::StringMissing;
            break;
        }
    }

    unsigned settled = 0;
    while (counted-- > 0 && settled != 0xFF) {
        const NameRecordFields record = table.record(counted);
        if (!isWantedRecord(record) || (settled & (1u << record.nameID)) != 0)
            continue;
        // An empty string may point anywhere: it has no bytes to miss.
        const std::string_view bytes =
            table.stringOf(record, kLongestStringRead).value_or(std::string_view());
        char decoded[kLongestStringRead];
        const std::string_view string =
            decodeAsWindows1252(record.platformID, record.encodingID, bytes, decoded);
        char cleaned[kLongestField];
        const std::string_view text(
            cleaned,
            static_cast<std::size_t>(
                cleanNameTextInto(string, cleaned, capacityOfNameID(record.nameID)) - cleaned));
        if (storeNameText(names, record.nameID, text))
            settled |= 1u << record.nameID;
    }
    return outcome;
}

// The style bits. After a name table cut off by the end of the file the words read as zero.
std::uint16_t readMacStyle(const FontBytes& font, std::uint32_t headOffset, bool cutOff) {
    std::uint8_t bytes[2];
    ByteCursor cursor(bytes, font.readAt(std::uint64_t{headOffset} + 44, bytes, 2));
    std::uint16_t macStyle = 0;
    if (cutOff || !cursor.readU16(macStyle))
        return 0;
    return macStyle;
}

// A head table that cannot be read counts as a wrong magic number.
std::uint32_t readHeadMagic(const FontBytes& font, std::uint32_t headOffset) {
    std::uint8_t bytes[4];
    ByteCursor cursor(bytes, font.readAt(std::uint64_t{headOffset} + 12, bytes, 4));
    std::uint32_t magic = 0;
    cursor.readU32(magic);
    return magic;
}

bool probeRenamedMarker(const FontBytes& font) {
    // Too short to carry the trailer: not renamed.
    if (font.size() < RenamedTrailer::kMarkerProbeDistance)
        return false;
    std::uint8_t probe[RenamedTrailer::kMarkerProbeSize];
    if (font.readAt(font.size() - RenamedTrailer::kMarkerProbeDistance, probe, sizeof probe) !=
        sizeof probe)
        throw EInOutError::readBeyondEnd();
    return isRenamedMarkerProbe(probe);
}

void fail(FontRead& read, const char* text) {
    read.ReadFailed = true;
    read.ErrorText = text;
}

// The read into `read`, which holds what a new FontRead holds.
void readFontNames(const FontBytes& font, FontKinds kinds, FontRead& read) {
    std::uint8_t version[4];
    const std::size_t got = font.readAt(0, version, 4);
    ByteCursor versionCursor(version, got);
    std::uint16_t major = 0;
    versionCursor.readU16(major);
    const bool cff = got == 4 && std::string_view(reinterpret_cast<char*>(version), 4) == "OTTO";
    if ((major < 1 || major > 5) && !(cff && kinds == FontKinds::TrueTypeAndCff))
        return fail(read, FontRead::kNotTrueTypeText);

    const TableLookup name = findTable(font, "name");
    const TableLookup head = findTable(font, "head");
    if (!name.directoryComplete || !name.entry || !head.entry)
        return fail(read, FontRead::kNoTableEntryText);

    font.prefetch(name.entry->offset, name.entry->length);
    const NameTableRead names = readNameTable(font, name.entry->offset, read.FontNames);
    if (names == NameTableRead::StringMissing)
        return fail(read, FontRead::kNameTableIncorrectText);

    const std::uint32_t headOffset = head.entry->offset;
    if (readHeadMagic(font, headOffset) != kHeadMagicNumber)
        return fail(read, FontRead::kMagicMismatchText);
    const std::uint16_t macStyle = readMacStyle(font, headOffset, names == NameTableRead::CutOff);
    read.FontNames.Bold = (macStyle & 0x0001) != 0;
    read.FontNames.Italic = (macStyle & 0x0002) != 0;

    if (read.FontNames.FamilyName.empty() || read.FontNames.FullName.empty())
        return fail(read, FontRead::kFontNameIncorrectText);

    read.IsRenamed = probeRenamedMarker(font);
}

} // namespace

bool isRenamedMarkerProbe(const std::uint8_t* probe) {
    // Cleaned as CleanNameText cleans, on the stack: every read probes.
    char cleaned[RenamedTrailer::kMarkerProbeSize];
    const std::string_view text(
        cleaned, static_cast<std::size_t>(
                     cleanNameTextInto(std::string_view(reinterpret_cast<const char*>(probe),
                                                        RenamedTrailer::kMarkerProbeSize),
                                       cleaned, sizeof cleaned) -
                     cleaned));
    return text == RenamedTrailer::kMarkerText || text == RenamedTrailer::kMakerSignature;
}

FontRead ReadFontNames(const FontBytes& font, FontKinds kinds) {
    FontRead read;
    readFontNames(font, kinds, read);
    return read;
}

void ReadFontNames(const FontBytes& font, FontKinds kinds, FontRead& read) {
    // Copied over, the strings keep their memory.
    static const FontRead kNewRead;
    read = kNewRead;
    readFontNames(font, kinds, read);
}

FontRead ReadFontNames(const std::string& path, FontKinds kinds) {
    // Opening is also the existence test: a folder, a device or a FIFO does not count as a file.
    const FileHandle file = FileHandle::openSharedIfFile(path);
    FontRead read;
    if (!file.isOpen()) {
        fail(read, FontRead::kFileNotFoundText);
        return read;
    }
    readFontNames(FileFontBytes(file), kinds, read);
    return read;
}

FontNames namesAsRead(const FontNames& asked) {
    FontNames read;
    for (std::uint16_t nameID = 0; nameID < 8; ++nameID)
        storeNameText(read, nameID, CleanNameText(asked.textOfNameID(nameID)));
    read.Bold = asked.Bold;
    read.Italic = asked.Italic;
    return read;
}
