#pragma once

#include <cstdint>
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
// Roman is decoded by its own table, the Far East encodings of both platforms through iconv.
// Anything else is shown byte by byte, escaped.
DecodedNameString decodeNameString(std::uint16_t platformID, std::uint16_t encodingID,
                                   std::string_view bytes);

// The Unicode character of a Macintosh Roman byte.
char32_t unicodeOfMacRoman(unsigned char byte);
