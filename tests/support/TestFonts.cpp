#include "tests/support/TestFonts.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testfonts {

std::uint16_t GetU16(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((bytes.at(offset) << 8) | bytes.at(offset + 1));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset) {
    return (std::uint32_t{GetU16(bytes, offset)} << 16) | GetU16(bytes, offset + 2);
}

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    if (bytes.size() < offset + 2)
        bytes.resize(offset + 2);
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value);
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value >> 16));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value));
}

NameRecord MacName(std::uint16_t nameID, std::string_view bytes, std::uint16_t languageID) {
    return RawName(1, 0, languageID, nameID, Bytes(bytes.begin(), bytes.end()));
}

NameRecord MsName(std::uint16_t nameID, std::u16string_view text, std::uint16_t languageID,
                  std::uint16_t encodingID) {
    Bytes string;
    for (char16_t c : text) {
        string.push_back(static_cast<std::uint8_t>(c >> 8));
        string.push_back(static_cast<std::uint8_t>(c));
    }
    return RawName(3, encodingID, languageID, nameID, std::move(string));
}

NameRecord RawName(std::uint16_t platformID, std::uint16_t encodingID, std::uint16_t languageID,
                   std::uint16_t nameID, Bytes string) {
    NameRecord record;
    record.platformID = platformID;
    record.encodingID = encodingID;
    record.languageID = languageID;
    record.nameID = nameID;
    record.string = std::move(string);
    return record;
}

Bytes NameTable(const std::vector<NameRecord>& records) {
    Bytes table;
    const std::size_t stringOffset = 6 + 12 * records.size();
    PutU16(table, 0, 0);
    PutU16(table, 2, static_cast<std::uint16_t>(records.size()));
    PutU16(table, 4, static_cast<std::uint16_t>(stringOffset));
    Bytes storage;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const NameRecord& r = records[i];
        const std::size_t at = 6 + 12 * i;
        PutU16(table, at, r.platformID);
        PutU16(table, at + 2, r.encodingID);
        PutU16(table, at + 4, r.languageID);
        PutU16(table, at + 6, r.nameID);
        PutU16(table, at + 8, r.length.value_or(static_cast<std::uint16_t>(r.string.size())));
        PutU16(table, at + 10, r.offset.value_or(static_cast<std::uint16_t>(storage.size())));
        storage.insert(storage.end(), r.string.begin(), r.string.end());
    }
    table.insert(table.end(), storage.begin(), storage.end());
    return table;
}

Bytes HeadTable(std::uint16_t macStyle, std::uint32_t magic) {
    Bytes head(54, 0);
    PutU32(head, 0, 0x00010000); // version
    PutU32(head, 12, magic);     // magicNumber
    PutU16(head, 18, 2048);      // unitsPerEm
    PutU16(head, 44, macStyle);  // macStyle
    return head;
}

std::string FontSpec::Text(std::uint16_t nameID) const {
    const std::string* texts[8] = {&Copyright, &FamilyName, &Style,      &FontID,
                                   &FullName,  &Version,    &Postscript, &TradeMark};
    return *texts[nameID];
}

std::vector<NameRecord> StandardRecords(const FontSpec& fontSpec) {
    std::vector<NameRecord> records;
    for (std::uint16_t id = 0; id < 8; ++id)
        records.push_back(MacName(id, fontSpec.Text(id)));
    for (std::uint16_t id = 0; id < 8; ++id) {
        std::u16string text;
        for (unsigned char c : fontSpec.Text(id))
            text.push_back(c);
        records.push_back(MsName(id, text));
    }
    return records;
}

FontBuilder& FontBuilder::Version(std::uint16_t major, std::uint16_t minor) {
    major_ = major;
    minor_ = minor;
    return *this;
}

FontBuilder& FontBuilder::AddTable(std::string tag, Bytes data) {
    if (tag.size() != 4)
        throw std::invalid_argument("a table tag has four characters");
    tables_.emplace_back(std::move(tag), std::move(data));
    return *this;
}

FontBuilder& FontBuilder::NumTablesOverride(std::uint16_t numTables) {
    numTables_ = numTables;
    return *this;
}

Bytes FontBuilder::Build() const {
    Bytes font;
    const auto count = static_cast<std::uint16_t>(tables_.size());
    PutU16(font, 0, major_);
    PutU16(font, 2, minor_);
    PutU16(font, 4, numTables_.value_or(count));
    PutU16(font, 6, 16);
    PutU16(font, 8, 0);
    PutU16(font, 10, 0);
    std::size_t dataOffset = 12 + 16 * tables_.size();
    font.resize(dataOffset, 0);
    for (std::size_t i = 0; i < tables_.size(); ++i) {
        const auto& [tag, data] = tables_[i];
        Bytes padded = data;
        padded.resize((data.size() + 3) / 4 * 4, 0);
        std::uint32_t checkSum = 0;
        for (std::size_t k = 0; k < padded.size(); k += 4)
            checkSum += GetU32(padded, k);
        const std::size_t entry = 12 + 16 * i;
        for (std::size_t k = 0; k < 4; ++k)
            font[entry + k] = static_cast<std::uint8_t>(tag[k]);
        PutU32(font, entry + 4, checkSum);
        PutU32(font, entry + 8, static_cast<std::uint32_t>(dataOffset));
        PutU32(font, entry + 12, static_cast<std::uint32_t>(data.size()));
        font.insert(font.end(), padded.begin(), padded.end());
        dataOffset += padded.size();
    }
    return font;
}

Bytes SimpleFont(const FontSpec& fontSpec) {
    return FontBuilder()
        .AddTable("OS/2", Bytes(96, 0))
        .AddTable("head", HeadTable(fontSpec.MacStyle))
        .AddTable("maxp", Bytes(32, 0))
        .AddTable("name", NameTable(StandardRecords(fontSpec)))
        .Build();
}

std::optional<std::size_t> FindEntry(const Bytes& font, std::string_view tag) {
    const std::uint16_t numTables = GetU16(font, 4);
    for (std::size_t i = 0; i < numTables && 12 + 16 * (i + 1) <= font.size(); ++i) {
        const std::size_t entry = 12 + 16 * i;
        if (std::string_view(reinterpret_cast<const char*>(font.data() + entry), 4) == tag)
            return entry;
    }
    return std::nullopt;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> MachineTrueTypeFonts() {
    std::vector<std::string> fonts;
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator("/usr/share/fonts", ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::string ext = it->path().extension().string();
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".ttf" && it->is_regular_file(ignored))
            fonts.push_back(it->path().string());
    }
    return fonts;
}

} // namespace testfonts
