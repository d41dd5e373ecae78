#pragma once

#include "core/FontReader.h"

#include <string>
#include <string_view>

// A UTF-8 text as a JSON string literal, quotes included.
std::string JsonString(std::string_view utf8);

// One line of JSON describing the reader's record for `path`: texts as UTF-8 from Windows-1252.
// `members` (each starting with ", ") are added at the end of the object.
std::string RecordJson(const std::string& path, const FontRead& font,
                       const std::string& members = {});

// The same record as a readable block of lines.
std::string RecordBlock(const std::string& path, const FontRead& font);
