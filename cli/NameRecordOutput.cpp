#include "cli/NameRecordOutput.h"

#include "cli/RecordOutput.h"
#include "core/LanguageTags.h"

#include <cstdio>

namespace {

std::string Hex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

void AppendRecordJson(std::string& json, const NameRecordEntry& record) {
    json += "{\"platformID\": ";
    json += std::to_string(record.platformID);
    json += ", \"encodingID\": ";
    json += std::to_string(record.encodingID);
    json += ", \"languageID\": ";
    json += std::to_string(record.languageID);
    json += ", \"language\": ";
    json += JsonString(record.Language);
    json += ", \"nameID\": ";
    json += std::to_string(record.nameID);
    json += ", \"meaning\": \"";
    json += NameIDMeaning(record.nameID);
    json += "\", \"text\": ";
    json += JsonString(record.String.Text);
    if (!record.String.Exact)
        json += ", \"exact\": false";
    if (record.Missing)
        json += ", \"missing\": true";
    json += '}';
}

std::string ListingJson(const char* key, const NameTableListing& listing) {
    std::string json = ", \"";
    json += key;
    json += "\": [";
    for (std::size_t i = 0; i < listing.Records.size(); ++i) {
        if (i != 0)
            json += ", ";
        AppendRecordJson(json, listing.Records[i]);
    }
    json += "]";
    if (!listing.Problem.empty())
        json += ", \"" + std::string(key) + "Problem\": " + JsonString(listing.Problem);
    return json;
}

// On one line: the decoded text already shows a backslash doubled, so \n and \t stay unambiguous.
std::string OnOneLine(const std::string& text) {
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

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width)
        text.resize(width, ' ');
    return text + " ";
}

std::string ListingBlock(const std::string& title, const NameTableListing& listing) {
    std::string block = "  " + title + " (name table at " + std::to_string(listing.Offset) +
                        ", format " + std::to_string(listing.format) + ", " +
                        std::to_string(listing.Records.size()) + " records):\n";
    for (const NameRecordEntry& record : listing.Records) {
        block += "    " + std::to_string(record.platformID) + " " +
                 Padded(std::to_string(record.encodingID), 2) + Hex(record.languageID) + " " +
                 Padded(record.Language.empty() ? "?" : record.Language, 10) +
                 Padded(std::to_string(record.nameID), 5) +
                 Padded(std::string(NameIDMeaning(record.nameID)), 21) +
                 (record.Missing ? "(string beyond the end of the file)"
                                 : OnOneLine(record.String.Text)) +
                 "\n";
    }
    if (!listing.Problem.empty())
        block += "    (" + listing.Problem + ")\n";
    return block;
}

} // namespace

std::string NameTablesJson(const FontNameTables& tables) {
    if (!tables.Problem.empty())
        return ", \"RecordsProblem\": " + JsonString(tables.Problem);
    std::string json = ListingJson("Records", tables.Live);
    if (tables.Saved)
        json += ListingJson("SavedRecords", *tables.Saved);
    return json;
}

std::string NameTablesBlock(const FontNameTables& tables) {
    if (!tables.Problem.empty())
        return "  Name records:    " + tables.Problem + "\n";
    std::string block = ListingBlock("Names in use", tables.Live);
    if (tables.Saved)
        block += ListingBlock("Names saved for restore", *tables.Saved);
    return block;
}
