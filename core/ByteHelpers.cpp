#include "core/ByteHelpers.h"

#include "core/ByteWords.h"

#include <algorithm>
#include <bit>
#include <cstring>

std::array<std::uint8_t, 4> SwapLong(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

char* cleanNameTextInto(std::string_view text, char* out, std::size_t capacity) {
    auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t first = 0;
    while (first < text.size() && isBlankOrControl(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && isBlankOrControl(text[last - 1]))
        --last;
    const char* const end = out + std::min(last - first, capacity);
    std::size_t i = first;
    // Eight bytes at a time while they hold no NUL or, as in a Microsoft string read as bytes,
    // one in every other place.
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOddNuls = 0x8000800080008000;
        constexpr std::uint64_t kEvenNuls = kOddNuls >> 8;
        while (last - i >= 8 && end - out >= 8) {
            const std::uint64_t nuls = zeroBytesOf(loadWord(text.data() + i));
            if (nuls == 0) {
                std::memcpy(out, text.data() + i, 8);
                out += 8;
            } else if (nuls == kOddNuls || nuls == kEvenNuls) {
                const std::size_t at = i + (nuls == kOddNuls ? 0 : 1);
                out[0] = text[at];
                out[1] = text[at + 2];
                out[2] = text[at + 4];
                out[3] = text[at + 6];
                out += 4;
            } else {
                break;
            }
            i += 8;
        }
    }
    for (; i < last && out != end; ++i) {
        *out = text[i];
        out += text[i] != '\0' ? 1 : 0;
    }
    return out;
}

std::string CleanNameText(std::string_view text) {
    std::string result(text.size(), '\0');
    result.resize(static_cast<std::size_t>(cleanNameTextInto(text, result.data(), result.size()) -
                                           result.data()));
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
