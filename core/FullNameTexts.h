#pragma once

#include "core/NameRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The eight naming texts (name IDs 0 to 7) in Unicode and at their full length, for the
// command line, which neither cuts them to the window's field sizes nor loses what Windows-1252
// cannot hold.
using FullNameTexts = std::array<std::u32string, 8>;

// The texts the reader takes from a name table, by the reader's rules (last English record
// wins, empty texts keep an earlier one except for IDs 1, 2 and 4, blanks and controls trimmed,
// the placeholders where nothing is found), but uncut, and with every character beyond
// Windows-1252 kept whole. For texts within Windows-1252 and the field sizes they are
// exactly the reader's. Taken from a listing's records, in Unicode or UTF-8.
FullNameTexts readFullNameTexts(const NameTableListing& listing);
using FullNameTextsUtf8 = std::array<std::string, 8>;
void readFullNameTexts(const NameTableListing& listing, FullNameTextsUtf8& texts);

// The same texts in UTF-8, taken in one pass over the records of `table` (the bytes
// nameTableBytes gives) into `texts`, whose strings keep their memory from font to font.
void readFullNameTexts(std::string_view table, FullNameTextsUtf8& texts);
// The same for the name table the reader reads; false, with `texts` untouched and `problem`
// saying why, when the file is no sfnt or has no name table.
bool readFullNameTexts(const FontBytes& font, FullNameTextsUtf8& texts, std::string& problem);

// The longest PostScript name OpenType allows.
constexpr std::size_t kPostscriptNameLength = 63;

// A PostScript name holds at most 63 printable ASCII characters: every other character, and
// each of "[](){}<>/%", is written as "u" and its code in hex ("u65E5"); a name too long loses
// the end of its family part (before the first '-'), never half a character, so that its
// style stays. A name the window derives (letters and digits) only loses what lies beyond 63.
std::u32string postscriptNameOf(const std::u32string& derived);
