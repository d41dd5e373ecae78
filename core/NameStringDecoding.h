#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text of one name record, decoded by its platform and encoding.
struct DecodedNameString {
    // UTF-8. A byte that cannot be decoded shows as \xNN and a backslash as \\, so no byte of the
    // record is lost and the two never look alike.
    std::string text;
    // False when at least one byte had to be shown escaped.
    bool exact = true;
};

// Unicode (0) and Microsoft (3) strings are UTF-16BE (the symbol encoding included), Macintosh
// Roman is decoded by its own table, the Far East encodings of both platforms through the system's
// converters (CodePages.h). Anything else is shown byte by byte, escaped.
DecodedNameString decodeNameString(std::uint16_t platformID, std::uint16_t encodingID,
                                   std::string_view bytes);

// The Unicode character of a Macintosh Roman byte.
char32_t unicodeOfMacRoman(unsigned char byte);

// A string of the records the window reads, as the Windows-1252 text it keeps: a Unicode or
// Microsoft unit up to 0xFF is the code page's byte of that value (as copies of earlier
// versions hold 0x99 for the trade mark sign), a character beyond it the byte 1252 gives it
// (U+2122 is 0x99) or '?', a Macintosh Roman byte its character's 1252 byte or '?'. Other
// encodings pass byte for byte. Written at `out`, which holds `bytes.size()` bytes; NULs are
// kept for CleanNameText to drop.
std::string_view decodeAsWindows1252(std::uint16_t platformID, std::uint16_t encodingID,
                                     std::string_view bytes, char* out);

// A Unicode text encoded for a record of `platformID` and `encodingID`: UTF-16BE for Unicode
// and Microsoft records, Macintosh Roman ('?' for what it lacks) for Macintosh Roman ones.
// Other encodings take ASCII text only (Microsoft ones in 16-bit units); nothing when the text
// cannot be held.
std::optional<std::string> encodeNameString(std::uint16_t platformID, std::uint16_t encodingID,
                                            std::u32string_view text);
