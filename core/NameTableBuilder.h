#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The bytes a renamed copy appends: the new name table and the renamed-font marker. Pure
// functions; the file handling is RenamedFontWriter's.

// One record of a table to build: its keys and its string's bytes.
struct NameRecordBytes {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    std::string bytes;
};

// The most string storage a name table can address with its 16-bit offsets and lengths.
constexpr std::size_t kNameStorageLimit = 0xFFFF;

// A name table of `format` (0, or 1 with `langTags`, each tag's UTF-16BE bytes): the records
// sorted as OpenType requires (platform, encoding, language, name ID; equal keys keep their
// order), their strings stored in record order, then the language tags' strings. For the eight
// Macintosh and eight Microsoft records of name IDs 0 to 7 that is the layout copies have
// always had. Throws std::length_error when the strings exceed kNameStorageLimit bytes.
std::string buildNameTable(std::vector<NameRecordBytes> records, std::uint16_t format = 0,
                           const std::vector<std::string>& langTags = {});

// The bytes of all strings the table would store.
std::size_t nameStorageOf(const std::vector<NameRecordBytes>& records,
                          const std::vector<std::string>& langTags = {});

// Four zero bytes, "This Font Renamed" in two-byte form, four zero bytes: 42 bytes.
std::string RenamedMarker();
