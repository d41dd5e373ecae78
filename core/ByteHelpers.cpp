#include "core/ByteHelpers.h"

#include <algorithm>

std::array<std::uint8_t, 4> SwapLong(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::string CleanNameText(std::string_view text) {
    auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    // NULs are among the trimmed characters, so trimming first changes nothing.
    std::size_t first = 0;
    while (first < text.size() && isBlankOrControl(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && isBlankOrControl(text[last - 1]))
        --last;
    // One pass into room for the whole text, cut to what was kept.
    std::string result(last - first, '\0');
    char* out = result.data();
    for (std::size_t i = first; i < last; ++i) {
        *out = text[i];
        out += text[i] != '\0' ? 1 : 0;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
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

std::string cutText(std::string_view text, std::size_t capacity) {
    return std::string(text.substr(0, capacity));
}

std::string lowerCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string upperCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}
