#include "core/NameTableBuilder.h"

#include "core/ByteHelpers.h"
#include "core/FontReader.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <tuple>

namespace {

class BigEndianOut {
public:
    void word(std::size_t value) {
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
        bytes.push_back(static_cast<char>(value & 0xFF));
    }
    std::string bytes;
};

} // namespace

std::size_t nameStorageOf(const std::vector<NameRecordBytes>& records,
                          const std::vector<std::string>& langTags) {
    std::size_t storage = 0;
    for (const NameRecordBytes& record : records)
        storage += record.bytes.size();
    for (const std::string& tag : langTags)
        storage += tag.size();
    return storage;
}

std::string buildNameTable(std::vector<NameRecordBytes> records, std::uint16_t format,
                           const std::vector<std::string>& langTags) {
    // Within the limit every offset and length fits its 16 bits.
    if (nameStorageOf(records, langTags) > kNameStorageLimit || records.size() > 0xFFFF ||
        langTags.size() > 0xFFFF)
        throw std::length_error("name strings beyond 65,535 bytes");
    std::stable_sort(records.begin(), records.end(),
                     [](const NameRecordBytes& a, const NameRecordBytes& b) {
                         return std::tie(a.platformID, a.encodingID, a.languageID, a.nameID) <
                                std::tie(b.platformID, b.encodingID, b.languageID, b.nameID);
                     });
    const bool tagged = format == 1;
    const std::size_t stringOffset =
        6 + 12 * records.size() + (tagged ? 2 + 4 * langTags.size() : 0);
    BigEndianOut out;
    out.bytes.reserve(stringOffset + nameStorageOf(records, langTags));
    out.word(format);
    out.word(records.size());
    out.word(stringOffset);
    std::size_t runningOffset = 0;
    for (const NameRecordBytes& record : records) {
        for (std::size_t field :
             {record.platformID, record.encodingID, record.languageID, record.nameID})
            out.word(field);
        out.word(record.bytes.size());
        out.word(runningOffset);
        runningOffset += record.bytes.size();
    }
    if (tagged) {
        out.word(langTags.size());
        for (const std::string& tag : langTags) {
            out.word(tag.size());
            out.word(runningOffset);
            runningOffset += tag.size();
        }
    }
    for (const NameRecordBytes& record : records)
        out.bytes += record.bytes;
    if (tagged)
        for (const std::string& tag : langTags)
            out.bytes += tag;
    return out.bytes;
}

std::string RenamedMarker() {
    using namespace std::string_literals;
    return WidenText("\0\0"s) + WidenText(RenamedTrailer::kMarkerText) + WidenText("\0\0"s);
}
