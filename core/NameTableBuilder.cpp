#include "core/NameTableBuilder.h"

#include "core/ByteHelpers.h"
#include "core/FontReader.h"

#include <cstdint>
#include <stdexcept>

namespace {

constexpr std::uint16_t NameRecordCount = 16;
constexpr std::uint16_t NameStringOffset = 6 + NameRecordCount * 12;

class BigEndianOut {
public:
    void Word(std::uint16_t value) {
        Bytes.push_back(static_cast<char>(value >> 8));
        Bytes.push_back(static_cast<char>(value & 0xFF));
    }
    // platformID, encodingID, languageID, nameID, length, offset
    void Record(std::uint16_t platformID, std::uint16_t encodingID, std::uint16_t languageID,
                std::uint16_t nameID, std::uint16_t length, std::uint16_t offset) {
        for (std::uint16_t field : {platformID, encodingID, languageID, nameID, length, offset})
            Word(field);
    }
    void Text(const std::string& text) { Bytes += text; }
    std::string Bytes;
};

// A record's length or offset: 16 bits.
std::uint16_t Fits16(std::size_t value) {
    if (value > 0xFFFF)
        throw std::length_error("name string or offset beyond 16 bits");
    return static_cast<std::uint16_t>(value);
}

} // namespace

NameStrings NameStringsOf(const FontNames& names) {
    NameStrings strings;
    for (unsigned k = 0; k < 8; ++k) {
        strings.Macintosh[k] = names.TextOfNameID(k);
        strings.Microsoft[k] = WidenText(names.TextOfNameID(k));
    }
    return strings;
}

std::string BuildNameTable(const NameStrings& strings) {
    BigEndianOut out;
    out.Bytes.reserve(NameStringOffset + 3 * 606);
    out.Word(0);
    out.Word(NameRecordCount);
    out.Word(NameStringOffset);
    std::size_t runningOffset = 0;
    for (std::uint16_t k = 0; k < 8; ++k) {
        out.Record(1, 0, 0, k, Fits16(strings.Macintosh[k].size()), Fits16(runningOffset));
        runningOffset += strings.Macintosh[k].size();
    }
    // The running offset carries on into the Microsoft group.
    for (std::uint16_t k = 0; k < 8; ++k) {
        out.Record(3, 1, 1033, k, Fits16(strings.Microsoft[k].size()), Fits16(runningOffset));
        runningOffset += strings.Microsoft[k].size();
    }
    for (const std::string& text : strings.Macintosh)
        out.Text(text);
    for (const std::string& text : strings.Microsoft)
        out.Text(text);
    return out.Bytes;
}

std::string BuildNameTable(const FontNames& names) {
    return BuildNameTable(NameStringsOf(names));
}

std::string RenamedMarker() {
    using namespace std::string_literals;
    return WidenText("\0\0"s) + WidenText(RenamedTrailer::kMarkerText) + WidenText("\0\0"s);
}
