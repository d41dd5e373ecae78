#include "cli/NameRecordOutput.h"

#include "cli/RecordOutput.h"
#include "core/LanguageTags.h"

#include <cstdio>

namespace {

std::string hex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

void appendNameRecordJson(std::string& json, const NameRecordEntry& record) {
    json += "{\"platformID\": ";
    json += std::to_string(record.platformID);
    json += ", \"encodingID\": ";
    json += std::to_string(record.encodingID);
    json += ", \"languageID\": ";
    json += std::to_string(record.languageID);
    json += ", \"language\": ";
    json += jsonString(record.language);
    json += ", \"nameID\": ";
    json += std::to_string(record.nameID);
    json += ", \"meaning\": \"";
    json += nameIDMeaning(record.nameID);
    json += "\", \"text\": ";
    json += jsonString(record.string.text);
    if (!record.string.exact)
        json += ", \"exact\": false";
    if (record.missing)
        json += ", \"missing\": true";
    json += '}';
}

std::string listingJson(const char* key, const NameTableListing& listing) {
    std::string json = ", \"";
    json += key;
    json += "\": [";
    for (std::size_t i = 0; i < listing.records.size(); ++i) {
        if (i != 0)
            json += ", ";
        appendNameRecordJson(json, listing.records[i]);
    }
    json += "]";
    if (!listing.problem.empty())
        json += ", \"" + std::string(key) + "Problem\": " + jsonString(listing.problem);
    return json;
}

// On one line: the decoded text already shows a backslash doubled, so \n and \t stay unambiguous.
std::string onOneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            line += escaped;
        } else
            line += c;
    }
    return line;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width)
        text.resize(width, ' ');
    return text + " ";
}

std::string listingBlock(const std::string& title, const NameTableListing& listing) {
    std::string block = "  " + title + " (name table at " + std::to_string(listing.offset) +
                        ", format " + std::to_string(listing.format) + ", " +
                        std::to_string(listing.records.size()) + " records):\n";
    for (const NameRecordEntry& record : listing.records) {
        block += "    " + std::to_string(record.platformID) + " " +
                 padded(std::to_string(record.encodingID), 2) + hex(record.languageID) + " " +
                 padded(record.language.empty() ? "?" : record.language, 10) +
                 padded(std::to_string(record.nameID), 5) +
                 padded(std::string(nameIDMeaning(record.nameID)), 21) +
                 (record.missing ? "(string beyond the end of the file)"
                                 : onOneLine(record.string.text)) +
                 "\n";
    }
    if (!listing.problem.empty())
        block += "    (" + listing.problem + ")\n";
    return block;
}

} // namespace

std::string nameTablesJson(const FontNameTables& tables) {
    if (!tables.problem.empty())
        return ", \"RecordsProblem\": " + jsonString(tables.problem);
    std::string json = listingJson("Records", tables.live);
    if (tables.saved)
        json += listingJson("SavedRecords", *tables.saved);
    return json;
}

std::string nameTablesBlock(const FontNameTables& tables) {
    if (!tables.problem.empty())
        return "  Name records:    " + tables.problem + "\n";
    std::string block = listingBlock("Names in use", tables.live);
    if (tables.saved)
        block += listingBlock("Names saved for restore", *tables.saved);
    return block;
}
