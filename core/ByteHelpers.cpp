#include "core/ByteHelpers.h"

std::uint32_t BytesToLong(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

std::array<std::uint8_t, 4> SwapLong(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::uint16_t BytesToWord(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

std::string CleanNameText(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != '\0')
            result.push_back(c);
    auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t first = 0;
    while (first < result.size() && isBlankOrControl(result[first]))
        ++first;
    std::size_t last = result.size();
    while (last > first && isBlankOrControl(result[last - 1]))
        --last;
    return result.substr(first, last - first);
}

std::string WidenText(std::string_view text) {
    std::string wide;
    wide.reserve(text.size() * 2);
    for (char c : text) {
        wide.push_back('\0');
        wide.push_back(c);
    }
    return wide;
}

std::string CutText(std::string_view text, std::size_t capacity) {
    return std::string(text.substr(0, capacity));
}

std::string LowerCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}
