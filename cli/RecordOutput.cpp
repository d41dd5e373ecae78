#include "cli/RecordOutput.h"

#include "core/Windows1252.h"

#include <cstdio>

namespace {

// Paths come from the command line as bytes; anything that is not UTF-8 shows as '?'.
std::string PathAsUtf8(const std::string& path) {
    return Utf32ToUtf8(Utf8ToUtf32(path));
}

// One line per field in the readable block: control characters show as blanks.
std::string OnOneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return text;
}

struct Field {
    const char* key;
    const char* label;
    unsigned nameID;
};

constexpr Field TextFields[] = {
    {"FamilyName", "Family name", 1},     {"FullName", "Full name", 4},  {"Style", "Style", 2},
    {"Postscript", "PostScript name", 6}, {"Version", "Version", 5},     {"FontID", "Font ID", 3},
    {"Copyright", "Copyright", 0},        {"TradeMark", "Trademark", 7},
};

const char* Bool(bool value) {
    return value ? "true" : "false";
}

} // namespace

namespace {

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    std::size_t plain = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7F)
            continue;
        out.append(utf8, plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
        }
    }
    out.append(utf8, plain, utf8.size() - plain);
    out += '"';
}

} // namespace

std::string JsonString(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    AppendJsonString(out, utf8);
    return out;
}

const char* FieldKeyOfNameID(unsigned nameID) {
    for (const Field& field : TextFields)
        if (field.nameID == nameID)
            return field.key;
    return "";
}

FontRecord RecordOf(const FontRead& font) {
    FontRecord record;
    record.ReadFailed = font.ReadFailed;
    record.ErrorText = Windows1252ToUtf8(font.ErrorText);
    for (unsigned k = 0; k < 8; ++k)
        record.Texts[k] = Windows1252ToUtf8(font.FontNames.TextOfNameID(k));
    record.Bold = font.FontNames.Bold;
    record.Italic = font.FontNames.Italic;
    record.IsRenamed = font.IsRenamed;
    return record;
}

std::string RecordJson(const std::string& path, const FontRecord& record,
                       const std::string& members) {
    // One string grown in place: this runs once per font of a read.
    std::string json;
    json.reserve(512 + members.size());
    json += "{\"path\": ";
    AppendJsonString(json, PathAsUtf8(path));
    json += ", \"ReadFailed\": ";
    json += Bool(record.ReadFailed);
    json += ", \"ErrorText\": ";
    AppendJsonString(json, record.ErrorText);
    for (const Field& field : TextFields) {
        json += ", \"";
        json += field.key;
        json += "\": ";
        AppendJsonString(json, record.Texts[field.nameID]);
    }
    json += ", \"Bold\": ";
    json += Bool(record.Bold);
    json += ", \"Italic\": ";
    json += Bool(record.Italic);
    json += ", \"IsRenamed\": ";
    json += Bool(record.IsRenamed);
    if (!record.Cut.empty()) {
        json += ", \"Cut\": [";
        for (std::size_t i = 0; i < record.Cut.size(); ++i) {
            if (i != 0)
                json += ", ";
            AppendJsonString(json, record.Cut[i]);
        }
        json += "]";
    }
    json += members;
    json += "}\n";
    return json;
}

std::string RecordBlock(const std::string& path, const FontRecord& record) {
    std::string block = PathAsUtf8(path) + "\n";
    if (record.ReadFailed)
        block += "  Read failed:     " + record.ErrorText + "\n";
    for (const Field& field : TextFields) {
        std::string label = std::string(field.label) + ":";
        label.resize(17, ' ');
        block += "  " + label + OnOneLine(record.Texts[field.nameID]) + "\n";
    }
    block += std::string("  Bold: ") + (record.Bold ? "yes" : "no") +
             "   Italic: " + (record.Italic ? "yes" : "no") +
             "   Renamed: " + (record.IsRenamed ? "yes" : "no") + "\n";
    return block;
}
