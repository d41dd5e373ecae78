#pragma once

#include <string>
#include <string_view>

// The core keeps texts as Windows-1252 bytes. Bytes 1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the code point of the same value; a character 1252 cannot hold becomes '?'.
char32_t unicodeOfWindows1252(unsigned char byte);
char windows1252OfUnicode(char32_t codePoint);

std::u32string windows1252ToUtf32(std::string_view text);
std::string utf32ToWindows1252(std::u32string_view text);

// Whether every byte is ASCII, which reads the same in Windows-1252 and UTF-8.
bool isAscii(std::string_view text);
std::string windows1252ToUtf8(std::string_view text);
// Each malformed UTF-8 sequence becomes one '?'.
std::string utf8ToWindows1252(std::string_view text);

// UTF-8 helpers used at the same edges.
void appendUtf8(std::string& out, char32_t codePoint);
// Writes the 1 to 4 bytes of `codePoint` at `out`; returns where they end.
char* putUtf8(char* out, char32_t codePoint);
std::string utf32ToUtf8(std::u32string_view text);
std::u32string utf8ToUtf32(std::string_view text);
