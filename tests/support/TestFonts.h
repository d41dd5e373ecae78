#pragma once

// Synthetic TrueType files for tests: an offset table, a directory with any tags and offsets, a
// head table and name tables with any records. No Qt.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testfonts {

using Bytes = std::vector<std::uint8_t>;

struct NameRecord {
    std::uint16_t platformID = 3;
    std::uint16_t encodingID = 1;
    std::uint16_t languageID = 1033;
    std::uint16_t nameID = 1;
    Bytes string;
    // Set to write a length or offset that does not match the stored string.
    std::optional<std::uint16_t> length;
    std::optional<std::uint16_t> offset;
};

// A Macintosh record (platform 1) whose string is the given 8-bit bytes.
NameRecord MacName(std::uint16_t nameID, std::string_view bytes, std::uint16_t languageID = 0);
// A Microsoft record (platform 3) whose string is UTF-16 big-endian.
NameRecord MsName(std::uint16_t nameID, std::u16string_view text, std::uint16_t languageID = 1033,
                  std::uint16_t encodingID = 1);
// Any record whose string bytes are given as they are.
NameRecord RawName(std::uint16_t platformID, std::uint16_t encodingID, std::uint16_t languageID,
                   std::uint16_t nameID, Bytes string);

// A format-0 name table; strings are stored in record order.
Bytes NameTable(const std::vector<NameRecord>& records);
// A 54-byte head table with the magic number at 12 and macStyle at 44.
Bytes HeadTable(std::uint16_t macStyle = 0, std::uint32_t magic = 0x5F0F3CF5);

// The eight names of a simple font and its style bits.
struct FontSpec {
    std::string Copyright = "Copyright 2024 Test Foundry";
    std::string FamilyName = "Test Sans";
    std::string Style = "Regular";
    std::string FontID = "TestFoundry: Test Sans";
    std::string FullName = "Test Sans";
    std::string Version = "Version 1.000";
    std::string Postscript = "TestSans";
    std::string TradeMark = "Test Sans is a trademark";
    std::uint16_t MacStyle = 0;
    std::string Text(std::uint16_t nameID) const;
};

// Mac records then Microsoft records for name IDs 0 to 7 (ASCII texts), as usual fonts have.
std::vector<NameRecord> StandardRecords(const FontSpec& fontSpec);

// Lays out an offset table, a directory and the tables (4-byte aligned, checksums filled).
class FontBuilder {
public:
    FontBuilder& Version(std::uint16_t major, std::uint16_t minor = 0);
    FontBuilder& AddTable(std::string tag, Bytes data);
    // Writes this numTables instead of the real count.
    FontBuilder& NumTablesOverride(std::uint16_t numTables);
    Bytes Build() const;

private:
    std::uint16_t major_ = 1;
    std::uint16_t minor_ = 0;
    std::optional<std::uint16_t> numTables_;
    std::vector<std::pair<std::string, Bytes>> tables_;
};

// A complete small font: head, name (StandardRecords), and two filler tables.
Bytes SimpleFont(const FontSpec& fontSpec = {});

// The directory entry of `tag` (first match, exact case): its position in the file, or nothing.
std::optional<std::size_t> FindEntry(const Bytes& font, std::string_view tag);

std::uint16_t GetU16(const Bytes& bytes, std::size_t offset);
std::uint32_t GetU32(const Bytes& bytes, std::size_t offset);
void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const;

private:
    std::string path_;
};

// The ".ttf" files (any case) under /usr/share/fonts: the fonts of Debian's packages installed
// here.
std::vector<std::string> MachineTrueTypeFonts();

} // namespace testfonts
