#pragma once

#include "core/NameRecords.h"
#include "core/NameTableBuilder.h"

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
// the placeholders where nothing is found), but uncut, and with every character beyond U+00FF
// of a Microsoft string kept whole. For texts within Windows-1252 and the field sizes they are
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

// A PostScript name may hold printable ASCII only. A derived name with characters beyond
// Windows-1252 (which the window can never make) has every character outside printable ASCII,
// and each of "[](){}<>/%", written as "u" and its code in hex ("u65E5"); any other name is
// returned as it is, as the window writes it.
std::u32string postscriptNameBeyondWindows1252(const std::u32string& derived);

// The strings for full Unicode texts: the Macintosh record holds the Windows-1252 form ('?' for
// what it cannot hold); the Microsoft record holds the window's two-byte form when the text
// fits Windows-1252, else the text in UTF-16. Texts the name table cannot hold (a string
// longer than 65,535 bytes or an offset beyond 16 bits) are cut, longest first; their name IDs
// go into `cutNameIDs`.
NameStrings nameStringsOfFullTexts(const FullNameTexts& texts, std::vector<unsigned>& cutNameIDs);
