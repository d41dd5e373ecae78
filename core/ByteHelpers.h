#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// All integers in a font file are big-endian.
inline std::uint32_t BytesToLong(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}
inline std::uint16_t bytesToWord(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}
std::array<std::uint8_t, 4> SwapLong(std::uint32_t value);

// Deletes every NUL, then trims leading and trailing characters 0x00 to 0x20.
std::string CleanNameText(std::string_view text);
// The same, cut to `capacity`, written at `out`; returns where it ends. What the cut drops is
// never cleaned: of a copyright of up to 1,024 bytes the field keeps 127.
char* cleanNameTextInto(std::string_view text, char* out, std::size_t capacity);

// The two-byte form: each 8-bit character c becomes 0x00, c.
std::string WidenText(std::string_view text);

// The first `capacity` characters of a text.
std::string cutText(std::string_view text, std::size_t capacity);

// Case changes touch the ASCII letters only.
std::string lowerCaseAscii(std::string_view text);
std::string upperCaseAscii(std::string_view text);
