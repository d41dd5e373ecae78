#include "core/NameStringDecoding.h"

#include "core/CodePages.h"
#include "core/NamePlatforms.h"
#include "core/Windows1252.h"

#include <cstdio>

namespace {

// 0x80 to 0xFF of Macintosh Roman.
constexpr char32_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

class TextOut {
public:
    void put(char32_t cp) {
        if (cp == U'\\')
            result.text += "\\\\";
        else
            appendUtf8(result.text, cp);
    }
    void putUtf8(std::string_view text) {
        for (char c : text) {
            if (c == '\\')
                result.text += '\\';
            result.text += c;
        }
    }
    void putEscaped(unsigned char byte) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        result.text += escaped;
        result.exact = false;
    }
    DecodedNameString result;
};

DecodedNameString decodeUtf16BE(std::string_view bytes) {
    TextOut out;
    out.result.text.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                     static_cast<unsigned char>(bytes[i + 1]));
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.put(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            // A lone surrogate is no character.
            out.putEscaped(static_cast<unsigned char>(bytes[i]));
            out.putEscaped(static_cast<unsigned char>(bytes[i + 1]));
            continue;
        }
        out.put(u);
    }
    if (i < bytes.size())
        out.putEscaped(static_cast<unsigned char>(bytes[i]));
    return out.result;
}

DecodedNameString decodeMacRoman(std::string_view bytes) {
    TextOut out;
    for (char c : bytes)
        out.put(unicodeOfMacRoman(static_cast<unsigned char>(c)));
    return out.result;
}

DecodedNameString decodeLatin1(std::string_view bytes) {
    TextOut out;
    for (char c : bytes)
        out.put(static_cast<unsigned char>(c));
    return out.result;
}

DecodedNameString decodeBytesEscaped(std::string_view bytes) {
    TextOut out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            out.put(byte);
        else
            out.putEscaped(byte);
    }
    return out.result;
}

// Decodes a multi-byte encoding through the system's converter, a character of one or two
// bytes at a time; a byte that starts none is escaped and skipped.
DecodedNameString decodeInCodePage(CodePage codePage, std::string_view bytes) {
    CodePageConverter converter(codePage);
    TextOut out;
    std::string character;
    for (std::size_t i = 0; i < bytes.size();) {
        character.clear();
        std::size_t length = 1;
        for (; length <= 2 && i + length <= bytes.size(); ++length)
            if (converter.convert(bytes.substr(i, length), character))
                break;
        if (character.empty()) {
            out.putEscaped(static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        out.putUtf8(character);
        i += length;
    }
    return out.result;
}

// Microsoft's Far East encodings store each character in a 16-bit unit: a single-byte
// character has a zero high byte, which is not part of the encoded text.
std::string withoutZeroHighBytes(std::string_view bytes) {
    std::string packed;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] != '\0')
            packed += bytes[i];
        packed += bytes[i + 1];
    }
    if (i < bytes.size())
        packed += bytes[i];
    return packed;
}

std::optional<CodePage> microsoftFarEastCodePage(std::uint16_t encodingID) {
    switch (encodingID) {
    case 2:
        return CodePage::ShiftJis;
    case 3:
        return CodePage::Gbk;
    case 4:
        return CodePage::Big5;
    case 5:
        return CodePage::Uhc;
    case 6:
        return CodePage::Johab;
    default:
        return std::nullopt;
    }
}

std::optional<CodePage> macintoshCodePage(std::uint16_t encodingID) {
    switch (encodingID) {
    case 1:
        return CodePage::ShiftJis;
    case 2:
        return CodePage::Big5;
    case 3:
        return CodePage::EucKr;
    case 7:
        return CodePage::MacCyrillic;
    case 25:
        return CodePage::Gb2312;
    default:
        return std::nullopt;
    }
}

} // namespace

char32_t unicodeOfMacRoman(unsigned char byte) {
    return byte < 0x80 ? byte : kMacRomanHigh[byte - 0x80];
}

DecodedNameString decodeNameString(std::uint16_t platformID, std::uint16_t encodingID,
                                   std::string_view bytes) {
    switch (platformID) {
    case kUnicodePlatform:
        return decodeUtf16BE(bytes);
    case kMicrosoftPlatform:
        if (const auto codePage = microsoftFarEastCodePage(encodingID))
            return decodeInCodePage(*codePage, withoutZeroHighBytes(bytes));
        return decodeUtf16BE(bytes);
    case kMacintoshPlatform:
        if (encodingID == 0)
            return decodeMacRoman(bytes);
        if (const auto codePage = macintoshCodePage(encodingID))
            return decodeInCodePage(*codePage, bytes);
        return decodeBytesEscaped(bytes);
    case kIsoPlatform:
        if (encodingID == 1)
            return decodeUtf16BE(bytes);
        if (encodingID == 2)
            return decodeLatin1(bytes);
        return decodeBytesEscaped(bytes);
    default:
        return decodeBytesEscaped(bytes);
    }
}

std::string_view decodeAsWindows1252(std::uint16_t platformID, std::uint16_t encodingID,
                                     std::string_view bytes, char* out) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    char* next = out;
    if (platformID == kMacintoshPlatform) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            *next++ = data[i] < 0x80 || encodingID != 0
                          ? static_cast<char>(data[i])
                          : windows1252OfUnicode(unicodeOfMacRoman(data[i]));
        return {out, static_cast<std::size_t>(next - out)};
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = (char32_t{data[i]} << 8) | data[i + 1];
        if (unit <= 0xFF) {
            *next++ = static_cast<char>(unit);
            continue;
        }
        // A surrogate pair is one character, and none beyond U+FFFF is in 1252.
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size() && data[i + 2] >= 0xDC &&
            data[i + 2] <= 0xDF)
            i += 2;
        *next++ = windows1252OfUnicode(unit);
    }
    return {out, static_cast<std::size_t>(next - out)};
}

namespace {

char macRomanOfUnicode(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    for (unsigned i = 0; i < 128; ++i)
        if (kMacRomanHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

void appendUtf16BE(std::string& bytes, char32_t c) {
    auto unit = [&](char32_t u) {
        bytes.push_back(static_cast<char>(u >> 8));
        bytes.push_back(static_cast<char>(u & 0xFF));
    };
    if (c >= 0x10000) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

bool isUtf16Encoding(std::uint16_t platformID, std::uint16_t encodingID) {
    switch (platformID) {
    case kUnicodePlatform:
        return true;
    case kMicrosoftPlatform:
        return encodingID == 0 || encodingID == 1 || encodingID == 10;
    case kIsoPlatform:
        return encodingID == 1;
    default:
        return false;
    }
}

} // namespace

std::optional<std::string> encodeNameString(std::uint16_t platformID, std::uint16_t encodingID,
                                            std::u32string_view text) {
    std::string bytes;
    if (isUtf16Encoding(platformID, encodingID)) {
        bytes.reserve(2 * text.size());
        for (char32_t c : text)
            appendUtf16BE(bytes, c);
        return bytes;
    }
    if (platformID == kMacintoshPlatform && encodingID == 0) {
        bytes.reserve(text.size());
        for (char32_t c : text)
            bytes.push_back(macRomanOfUnicode(c));
        return bytes;
    }
    // Every other encoding holds ASCII as ASCII; what it holds beyond that is not written here.
    const bool units = platformID == kMicrosoftPlatform;
    for (char32_t c : text) {
        if (c >= 0x80)
            return std::nullopt;
        if (units)
            bytes.push_back('\0');
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}
