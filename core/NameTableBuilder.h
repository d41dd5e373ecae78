#pragma once

#include "core/FontNames.h"

#include <string>

// The bytes a renamed copy appends: the new name table and the renamed-font marker. Pure
// functions; the file handling is RenamedFontWriter's.

// A format-0 name table: 8 Macintosh records, 8 Microsoft records, then the 8-bit and the
// two-byte strings, all for name IDs 0 to 7.
std::string BuildNameTable(const FontNames& names);

// Four zero bytes, "This Font Renamed" in two-byte form, four zero bytes: 42 bytes.
std::string RenamedMarker();
