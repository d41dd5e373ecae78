#pragma once

#include <cstdint>

// Platform and language IDs of name records, as the name table stores them.
constexpr std::uint16_t kUnicodePlatform = 0;
constexpr std::uint16_t kMacintoshPlatform = 1;
constexpr std::uint16_t kIsoPlatform = 2;
constexpr std::uint16_t kMicrosoftPlatform = 3;
constexpr std::uint16_t kUsEnglish = 1033;
constexpr std::uint16_t kMacEnglish = 0;

// The records the reader takes its texts from: English Macintosh and US-English Microsoft ones.
// The encoding is not looked at: a symbol font's 0 is as good as 1.
constexpr bool isEnglishRecord(std::uint16_t platformID, std::uint16_t languageID) {
    return (platformID == kMicrosoftPlatform && languageID == kUsEnglish) ||
           (platformID == kMacintoshPlatform && languageID == kMacEnglish);
}

// The family, style and full name take the last record's text even when it is empty; the other
// names keep an earlier text (or the placeholder) over an empty one.
constexpr bool takesEmptyText(unsigned nameID) {
    return nameID == 1 || nameID == 2 || nameID == 4;
}
