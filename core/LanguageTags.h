#pragma once

#include <cstdint>
#include <string>

// The language of a name record as a BCP 47 tag ("en-US", "ja", "zh-Hant"), or empty when the
// platform's code is not one we know. Language-tag records of format 1 tables are looked up by
// the caller.
std::string languageTagOf(std::uint16_t platformID, std::uint16_t languageID);

// What a name ID stands for ("Family", "Typographic subfamily", ...); IDs from 256 on belong to
// the font itself.
const char* nameIDMeaning(std::uint16_t nameID);
