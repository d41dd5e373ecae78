#pragma once

#include "core/FontNames.h"

#include <array>
#include <string>

// The bytes a renamed copy appends: the new name table and the renamed-font marker. Pure
// functions; the file handling is RenamedFontWriter's.

// The sixteen strings of a renamed copy's name table, by name ID.
struct NameStrings {
    std::array<std::string, 8> macintosh; // 8-bit: Windows-1252 as the window writes them
    std::array<std::string, 8> microsoft; // UTF-16BE
};

// The window's strings: the 8-bit texts, and each byte c as 00 c.
NameStrings nameStringsOf(const FontNames& names);

// A format-0 name table: 8 Macintosh records, 8 Microsoft records (platform 3, encoding 1, US
// English), then the Macintosh and the Microsoft strings, all for name IDs 0 to 7. Throws
// std::length_error when a string length or an offset does not fit 16 bits.
std::string buildNameTable(const NameStrings& strings);
// The same for the window's texts.
std::string buildNameTable(const FontNames& names);

// Four zero bytes, "This Font Renamed" in two-byte form, four zero bytes: 42 bytes.
std::string RenamedMarker();
