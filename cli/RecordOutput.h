#pragma once

#include "core/FontReader.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// A UTF-8 text as a JSON string literal, quotes included.
std::string jsonString(std::string_view utf8);

// What read and make print about one font. texts are UTF-8, indexed by name ID.
struct FontRecord {
    bool ReadFailed = false;
    std::string ErrorText;
    std::array<std::string, 8> texts;
    bool Bold = false;
    bool Italic = false;
    bool IsRenamed = false;
    // The JSON keys of the fields that had to be cut when the copy was written.
    std::vector<std::string> cut;
    // What the copy could not be given (a CFF table that could not be renamed), in words.
    std::vector<std::string> warnings;
};

// The reader's record, its Windows-1252 texts as UTF-8 or, where given, `wholeTexts` in their
// place, written over `record` (whose strings keep their memory from font to font).
void recordOf(const FontRead& font, FontRecord& record,
              const std::array<std::string, 8>* wholeTexts = nullptr);

// The JSON key of the field of a name ID of 0 to 7 ("Copyright", "FamilyName", ...).
const char* fieldKeyOfNameID(unsigned nameID);

// One line of JSON describing a font, appended to `json`. `members` (each starting with ", ")
// are added at the end of the object.
void appendRecordJson(std::string& json, const std::string& path, const FontRecord& record,
                      const std::string& members = {});

// The same record as a readable block of lines.
std::string recordBlock(const std::string& path, const FontRecord& record);
