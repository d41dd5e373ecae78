#include "core/FontReader.h"

#include "core/ByteCursor.h"
#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/TableDirectory.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t HeadMagicNumber = 0x5F0F3CF5;
constexpr std::uint16_t MicrosoftPlatform = 3;
constexpr std::uint16_t MacintoshPlatform = 1;
constexpr std::uint16_t UsEnglish = 1033;
constexpr std::uint16_t MacEnglish = 0;
constexpr std::size_t NameRecordSize = 12;
// No field keeps more than 127 characters, so only the first bytes of a long string matter.
constexpr std::size_t LongestStringRead = 1024;

// Family and full names store U+2122, which arrives as '!' '"', as the one character 0x99.
std::string WithTradeMarkSign(std::string text, std::size_t capacity) {
    if (text.size() > capacity)
        text.resize(capacity);
    const std::size_t pair = text.find("!\"");
    if (pair != std::string::npos) {
        text[pair] = '\x99';
        text.erase(pair + 1, 1);
    }
    return text;
}

// Texts are cut in place: the reader stores one for every English record of every font.
std::string CutInPlace(std::string text, std::size_t capacity) {
    if (text.size() > capacity)
        text.resize(capacity);
    return text;
}

void StoreNameText(FontNames& names, std::uint16_t nameID, std::string text) {
    switch (nameID) {
    case 1:
        names.FamilyName = WithTradeMarkSign(std::move(text), FontNames::FamilyNameCapacity);
        return;
    case 4:
        names.FullName = WithTradeMarkSign(std::move(text), FontNames::FullNameCapacity);
        return;
    case 2:
        names.Style = CutInPlace(std::move(text), FontNames::StyleCapacity);
        return;
    default:
        // The other names keep an earlier text (or the placeholder) over an empty one.
        if (!text.empty())
            names.TextOfNameID(nameID) = CutInPlace(std::move(text), CapacityOfNameID(nameID));
        return;
    }
}

// One name record: platformID, encodingID, languageID, nameID, length, offset.
struct NameRecordFields {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    std::uint16_t length = 0;
    std::uint16_t offset = 0;
};

bool ReadRecord(ByteCursor& cursor, NameRecordFields& record) {
    return cursor.ReadU16(record.platformID) && cursor.ReadU16(record.encodingID) &&
           cursor.ReadU16(record.languageID) && cursor.ReadU16(record.nameID) &&
           cursor.ReadU16(record.length) && cursor.ReadU16(record.offset);
}

// English Macintosh and US-English Microsoft records of the eight names. encodingID is not
// looked at: a symbol font's 0 is as good as 1.
bool IsWantedRecord(const NameRecordFields& record) {
    const bool english =
        (record.platformID == MicrosoftPlatform && record.languageID == UsEnglish) ||
        (record.platformID == MacintoshPlatform && record.languageID == MacEnglish);
    return english && record.nameID < 8;
}

enum class NameTableRead { ntComplete, ntCutOff, ntStringMissing };

// Reads the records in table order; each accepted record overwrites, so the last one wins.
NameTableRead ReadNameTable(const FontBytes& font, std::uint32_t nameOffset, FontNames& names) {
    std::uint8_t header[6];
    ByteCursor headerCursor(header, font.ReadAt(nameOffset, header, sizeof header));
    std::uint16_t count = 0;
    std::uint16_t stringOffset = 0;
    if (!headerCursor.Skip(2) || !headerCursor.ReadU16(count) ||
        !headerCursor.ReadU16(stringOffset))
        return NameTableRead::ntCutOff;

    std::vector<std::uint8_t> records(NameRecordSize * count);
    ByteCursor cursor(records.data(),
                      font.ReadAt(std::uint64_t{nameOffset} + 6, records.data(), records.size()));
    std::uint8_t string[LongestStringRead];
    for (std::uint32_t i = 0; i < count; ++i) {
        NameRecordFields record;
        // A table that runs past the end of the file is not an error by itself: the names
        // found so far may still make a usable font.
        if (!ReadRecord(cursor, record))
            return NameTableRead::ntCutOff;
        if (!IsWantedRecord(record))
            continue;
        // The position is a 32-bit sum; a string beyond the file makes the table incorrect.
        const std::uint32_t at = nameOffset + stringOffset + record.offset;
        const std::size_t length = std::min<std::size_t>(record.length, LongestStringRead);
        if (font.ReadAt(at, string, length) != length)
            return NameTableRead::ntStringMissing;
        StoreNameText(
            names, record.nameID,
            CleanNameText(std::string_view(reinterpret_cast<const char*>(string), length)));
    }
    return NameTableRead::ntComplete;
}

// The style bits. After a name table cut off by the end of the file the words read as zero.
std::uint16_t ReadMacStyle(const FontBytes& font, std::uint32_t headOffset, bool cutOff) {
    std::uint8_t bytes[2];
    ByteCursor cursor(bytes, font.ReadAt(std::uint64_t{headOffset} + 44, bytes, 2));
    std::uint16_t macStyle = 0;
    if (cutOff || !cursor.ReadU16(macStyle))
        return 0;
    return macStyle;
}

// A head table that cannot be read counts as a wrong magic number.
std::uint32_t ReadHeadMagic(const FontBytes& font, std::uint32_t headOffset) {
    std::uint8_t bytes[4];
    ByteCursor cursor(bytes, font.ReadAt(std::uint64_t{headOffset} + 12, bytes, 4));
    std::uint32_t magic = 0;
    cursor.ReadU32(magic);
    return magic;
}

bool ProbeRenamedMarker(const FontBytes& font) {
    // Too short to carry the trailer: not renamed.
    if (font.Size() < RenamedTrailer::MarkerProbeDistance)
        return false;
    std::uint8_t probe[RenamedTrailer::MarkerProbeSize];
    if (font.ReadAt(font.Size() - RenamedTrailer::MarkerProbeDistance, probe, sizeof probe) !=
        sizeof probe)
        throw EInOutError::ReadBeyondEnd();
    return IsRenamedMarkerProbe(probe);
}

FontRead Failed(FontRead read, const char* text) {
    read.ReadFailed = true;
    read.ErrorText = text;
    return read;
}

} // namespace

bool IsRenamedMarkerProbe(const std::uint8_t* probe) {
    const std::string text = CleanNameText(
        std::string_view(reinterpret_cast<const char*>(probe), RenamedTrailer::MarkerProbeSize));
    return text == RenamedTrailer::MarkerText || text == RenamedTrailer::MakerSignature;
}

FontRead ReadFontNames(const FontBytes& font, FontKinds kinds) {
    FontRead read;
    std::uint8_t version[4];
    const std::size_t got = font.ReadAt(0, version, 4);
    ByteCursor versionCursor(version, got);
    std::uint16_t major = 0;
    versionCursor.ReadU16(major);
    const bool cff = got == 4 && std::string_view(reinterpret_cast<char*>(version), 4) == "OTTO";
    if ((major < 1 || major > 5) && !(cff && kinds == FontKinds::fkTrueTypeAndCff))
        return Failed(read, FontRead::NotTrueTypeText);

    const TableLookup name = FindTable(font, "name");
    const TableLookup head = FindTable(font, "head");
    if (!name.DirectoryComplete || !name.Entry || !head.Entry)
        return Failed(read, FontRead::NoTableEntryText);

    font.Prefetch(name.Entry->Offset, name.Entry->Length);
    const NameTableRead names = ReadNameTable(font, name.Entry->Offset, read.FontNames);
    if (names == NameTableRead::ntStringMissing)
        return Failed(read, FontRead::NameTableIncorrectText);

    const std::uint32_t headOffset = head.Entry->Offset;
    if (ReadHeadMagic(font, headOffset) != HeadMagicNumber)
        return Failed(read, FontRead::MagicMismatchText);
    const std::uint16_t macStyle = ReadMacStyle(font, headOffset, names == NameTableRead::ntCutOff);
    read.FontNames.Bold = (macStyle & 0x0001) != 0;
    read.FontNames.Italic = (macStyle & 0x0002) != 0;

    if (read.FontNames.FamilyName.empty() || read.FontNames.FullName.empty())
        return Failed(read, FontRead::FontNameIncorrectText);

    read.IsRenamed = ProbeRenamedMarker(font);
    return read;
}

FontRead ReadFontNames(const std::string& path, FontKinds kinds) {
    // Opening is also the existence test: a folder, a device or a FIFO does not count as a file.
    const FileHandle file = FileHandle::OpenSharedIfFile(path);
    if (!file.IsOpen())
        return Failed(FontRead{}, FontRead::FileNotFoundText);
    return ReadFontNames(FileFontBytes(file), kinds);
}

FontNames NamesAsRead(const FontNames& asked) {
    FontNames read;
    for (std::uint16_t nameID = 0; nameID < 8; ++nameID)
        StoreNameText(read, nameID, CleanNameText(asked.TextOfNameID(nameID)));
    read.Bold = asked.Bold;
    read.Italic = asked.Italic;
    return read;
}
