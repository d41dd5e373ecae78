#include "core/FullNameTexts.h"

#include "core/ByteHelpers.h"
#include "core/FontNames.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::uint16_t MacintoshPlatform = 1;
constexpr std::uint16_t MicrosoftPlatform = 3;
constexpr std::uint16_t UsEnglish = 1033;
constexpr std::size_t MaxStringBytes = 0xFFFF;
constexpr std::size_t MaxOffset = 0xFFFF;

// As the reader sees a string: Macintosh bytes and Microsoft units up to 0xFF are
// Windows-1252 codes; a Microsoft character beyond U+00FF stays what it is.
std::u32string ReadersViewOf(const NameRecordEntry& record) {
    // Below 0x80 the code page is ASCII: no table look-up for most characters.
    auto fromCodePage = [](unsigned char c) {
        return c < 0x80 ? char32_t{c} : UnicodeOfWindows1252(c);
    };
    const std::string& bytes = record.Bytes;
    std::u32string text(bytes.size(), U'\0');
    char32_t* out = text.data();
    if (record.platformID == MacintoshPlatform) {
        for (char c : bytes)
            *out++ = fromCodePage(static_cast<unsigned char>(c));
        return text;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit =
            (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
        if (unit <= 0xFF) {
            *out++ = fromCodePage(static_cast<unsigned char>(unit));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = (static_cast<unsigned char>(bytes[i + 2]) << 8) |
                                 static_cast<unsigned char>(bytes[i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        *out++ = unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

// CleanNameText on characters: NULs go, then leading and trailing U+0000 to U+0020.
std::u32string Cleaned(std::u32string text) {
    std::erase(text, U'\0');
    std::size_t first = 0;
    while (first < text.size() && text[first] <= U' ')
        ++first;
    auto last = text.size();
    while (last > first && text[last - 1] <= U' ')
        --last;
    text.erase(last);
    text.erase(0, first);
    return text;
}

bool FitsWindows1252(const std::u32string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char32_t c) { return c == U'?' || Windows1252OfUnicode(c) != '?'; });
}

std::string Utf16BE(const std::u32string& text) {
    std::string bytes;
    auto unit = [&](char32_t u) {
        bytes.push_back(static_cast<char>(u >> 8));
        bytes.push_back(static_cast<char>(u & 0xFF));
    };
    for (char32_t c : text) {
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return bytes;
}

std::size_t Utf16Units(const std::u32string& text) {
    return text.size() + static_cast<std::size_t>(std::count_if(
                             text.begin(), text.end(), [](char32_t c) { return c >= 0x10000; }));
}

// Bytes the text takes in both records.
std::size_t StorageOf(const std::u32string& text) {
    return text.size() + 2 * Utf16Units(text);
}

} // namespace

std::u32string PostscriptNameBeyondWindows1252(const std::u32string& derived) {
    if (FitsWindows1252(derived))
        return derived;
    std::u32string name;
    for (char32_t c : derived) {
        if (c > U' ' && c < 0x7F &&
            std::u32string_view(U"[](){}<>/%").find(c) == std::u32string_view::npos) {
            name.push_back(c);
            continue;
        }
        char hex[12];
        std::snprintf(hex, sizeof hex, "u%04X", static_cast<unsigned>(c));
        for (const char* p = hex; *p != '\0'; ++p)
            name.push_back(static_cast<unsigned char>(*p));
    }
    return name;
}

FullNameTexts ReadFullNameTexts(const NameTableListing& listing) {
    // The same for every font: worked out once.
    static const FullNameTexts resetTexts = [] {
        const FontNames reset;
        FullNameTexts texts;
        for (unsigned k = 0; k < 8; ++k)
            texts[k] = Windows1252ToUtf32(reset.TextOfNameID(k));
        return texts;
    }();
    FullNameTexts texts = resetTexts;
    for (const NameRecordEntry& record : listing.Records) {
        const bool english =
            (record.platformID == MicrosoftPlatform && record.languageID == UsEnglish) ||
            (record.platformID == MacintoshPlatform && record.languageID == 0);
        if (!english || record.nameID >= 8 || record.Missing)
            continue;
        std::u32string text = Cleaned(ReadersViewOf(record));
        if (record.nameID == 1 || record.nameID == 4) {
            // The reader's trade mark rule: the first '!' '"' pair is the sign.
            const auto pair = text.find(U"!\"");
            if (pair != std::u32string::npos) {
                text[pair] = U'\u2122';
                text.erase(pair + 1, 1);
            }
        }
        if (!text.empty() || record.nameID == 1 || record.nameID == 2 || record.nameID == 4)
            texts[record.nameID] = std::move(text);
    }
    return texts;
}

NameStrings NameStringsOfFullTexts(const FullNameTexts& given, std::vector<unsigned>& cutNameIDs) {
    FullNameTexts texts = given;
    std::array<bool, 8> cut{};
    // Each Microsoft string at most 65,535 bytes; a character is never split.
    for (unsigned k = 0; k < 8; ++k) {
        std::size_t units = 0;
        for (std::size_t i = 0; i < texts[k].size(); ++i) {
            units += texts[k][i] >= 0x10000 ? 2 : 1;
            if (2 * units > MaxStringBytes) {
                texts[k].resize(i);
                cut[k] = true;
                break;
            }
        }
    }
    // Every string must start at a 16-bit offset: all but the last Microsoft string count.
    for (;;) {
        std::size_t before = 0;
        for (unsigned k = 0; k < 8; ++k)
            before += StorageOf(texts[k]);
        before -= 2 * Utf16Units(texts[7]);
        if (before <= MaxOffset)
            break;
        unsigned longest = 0;
        for (unsigned k = 1; k < 8; ++k)
            if (StorageOf(texts[k]) > StorageOf(texts[longest]))
                longest = k;
        // A character costs at least one Macintosh and two Microsoft bytes, the last text's
        // only its Macintosh byte.
        const std::size_t cost = longest == 7 ? 1 : 3;
        const std::size_t drop =
            std::min(texts[longest].size(), (before - MaxOffset + cost - 1) / cost);
        texts[longest].resize(texts[longest].size() - drop);
        cut[longest] = true;
    }
    NameStrings strings;
    for (unsigned k = 0; k < 8; ++k) {
        strings.Macintosh[k] = Utf32ToWindows1252(texts[k]);
        strings.Microsoft[k] =
            FitsWindows1252(texts[k]) ? WidenText(strings.Macintosh[k]) : Utf16BE(texts[k]);
        if (cut[k])
            cutNameIDs.push_back(k);
    }
    return strings;
}
