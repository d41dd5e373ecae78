#include "core/NameTableBuilder.h"

#include "core/ByteHelpers.h"
#include "core/FontReader.h"

#include <cstdint>
#include <stdexcept>

namespace {

constexpr std::uint16_t kNameRecordCount = 16;
constexpr std::uint16_t kNameStringOffset = 6 + kNameRecordCount * 12;

class BigEndianOut {
public:
    void word(std::uint16_t value) {
        bytes.push_back(static_cast<char>(value >> 8));
        bytes.push_back(static_cast<char>(value & 0xFF));
    }
    // platformID, encodingID, languageID, nameID, length, offset
    void record(std::uint16_t platformID, std::uint16_t encodingID, std::uint16_t languageID,
                std::uint16_t nameID, std::uint16_t length, std::uint16_t offset) {
        for (std::uint16_t field : {platformID, encodingID, languageID, nameID, length, offset})
            word(field);
    }
    void text(const std::string& text) { bytes += text; }
    std::string bytes;
};

// A record's length or offset: 16 bits.
std::uint16_t fits16(std::size_t value) {
    if (value > 0xFFFF)
        throw std::length_error("name string or offset beyond 16 bits");
    return static_cast<std::uint16_t>(value);
}

} // namespace

NameStrings nameStringsOf(const FontNames& names) {
    NameStrings strings;
    for (unsigned k = 0; k < 8; ++k) {
        strings.macintosh[k] = names.textOfNameID(k);
        strings.microsoft[k] = WidenText(names.textOfNameID(k));
    }
    return strings;
}

std::string buildNameTable(const NameStrings& strings) {
    BigEndianOut out;
    out.bytes.reserve(kNameStringOffset + 3 * 606);
    out.word(0);
    out.word(kNameRecordCount);
    out.word(kNameStringOffset);
    std::size_t runningOffset = 0;
    for (std::uint16_t k = 0; k < 8; ++k) {
        out.record(1, 0, 0, k, fits16(strings.macintosh[k].size()), fits16(runningOffset));
        runningOffset += strings.macintosh[k].size();
    }
    // The running offset carries on into the Microsoft group.
    for (std::uint16_t k = 0; k < 8; ++k) {
        out.record(3, 1, 1033, k, fits16(strings.microsoft[k].size()), fits16(runningOffset));
        runningOffset += strings.microsoft[k].size();
    }
    for (const std::string& text : strings.macintosh)
        out.text(text);
    for (const std::string& text : strings.microsoft)
        out.text(text);
    return out.bytes;
}

std::string buildNameTable(const FontNames& names) {
    return buildNameTable(nameStringsOf(names));
}

std::string RenamedMarker() {
    using namespace std::string_literals;
    return WidenText("\0\0"s) + WidenText(RenamedTrailer::kMarkerText) + WidenText("\0\0"s);
}
