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
    const std::string FontNames::*text;
};

constexpr Field TextFields[] = {
    {"FamilyName", "Family name", &FontNames::FamilyName},
    {"FullName", "Full name", &FontNames::FullName},
    {"Style", "Style", &FontNames::Style},
    {"Postscript", "PostScript name", &FontNames::Postscript},
    {"Version", "Version", &FontNames::Version},
    {"FontID", "Font ID", &FontNames::FontID},
    {"Copyright", "Copyright", &FontNames::Copyright},
    {"TradeMark", "Trademark", &FontNames::TradeMark},
};

const char* Bool(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string JsonString(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
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
    return out;
}

std::string RecordJson(const std::string& path, const FontRead& font, const std::string& members) {
    std::string json = "{\"path\": " + JsonString(PathAsUtf8(path));
    json += ", \"ReadFailed\": ";
    json += Bool(font.ReadFailed);
    json += ", \"ErrorText\": " + JsonString(Windows1252ToUtf8(font.ErrorText));
    for (const Field& field : TextFields) {
        json += ", \"";
        json += field.key;
        json += "\": " + JsonString(Windows1252ToUtf8(font.FontNames.*field.text));
    }
    json += ", \"Bold\": ";
    json += Bool(font.FontNames.Bold);
    json += ", \"Italic\": ";
    json += Bool(font.FontNames.Italic);
    json += ", \"IsRenamed\": ";
    json += Bool(font.IsRenamed);
    return json + members + "}\n";
}

std::string RecordBlock(const std::string& path, const FontRead& font) {
    std::string block = PathAsUtf8(path) + "\n";
    if (font.ReadFailed)
        block += "  Read failed:     " + Windows1252ToUtf8(font.ErrorText) + "\n";
    for (const Field& field : TextFields) {
        std::string label = std::string(field.label) + ":";
        label.resize(17, ' ');
        block += "  " + label + OnOneLine(Windows1252ToUtf8(font.FontNames.*field.text)) + "\n";
    }
    block += std::string("  Bold: ") + (font.FontNames.Bold ? "yes" : "no") +
             "   Italic: " + (font.FontNames.Italic ? "yes" : "no") +
             "   Renamed: " + (font.IsRenamed ? "yes" : "no") + "\n";
    return block;
}
