#include "core/NameTableBuilder.h"

#include "core/ByteHelpers.h"
#include "core/FontReader.h"

#include <cstdint>

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

} // namespace

std::string BuildNameTable(const FontNames& names) {
    BigEndianOut out;
    out.Bytes.reserve(NameStringOffset + 3 * 606);
    out.Word(0);
    out.Word(NameRecordCount);
    out.Word(NameStringOffset);
    std::uint32_t runningOffset = 0;
    for (std::uint16_t k = 0; k < 8; ++k) {
        const auto n = static_cast<std::uint16_t>(names.TextOfNameID(k).size());
        out.Record(1, 0, 0, k, n, static_cast<std::uint16_t>(runningOffset));
        runningOffset += n;
    }
    // The running offset carries on into the Microsoft group.
    for (std::uint16_t k = 0; k < 8; ++k) {
        const auto n = static_cast<std::uint16_t>(2 * names.TextOfNameID(k).size());
        out.Record(3, 1, 1033, k, n, static_cast<std::uint16_t>(runningOffset));
        runningOffset += n;
    }
    for (unsigned k = 0; k < 8; ++k)
        out.Text(names.TextOfNameID(k));
    for (unsigned k = 0; k < 8; ++k)
        out.Text(WidenText(names.TextOfNameID(k)));
    return out.Bytes;
}

std::string RenamedMarker() {
    using namespace std::string_literals;
    return WidenText("\0\0"s) + WidenText(RenamedTrailer::MarkerText) + WidenText("\0\0"s);
}
