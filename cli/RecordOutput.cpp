#include "cli/RecordOutput.h"

#include "core/ByteWords.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstdio>

using namespace std::string_view_literals;

namespace {

// Paths come from the command line as bytes; anything that is not UTF-8 shows as '?'. ASCII,
// as most paths are, is UTF-8 as it stands and is not copied.
std::string_view pathAsUtf8(const std::string& path, std::string& converted) {
    if (isAscii(path))
        return path;
    converted = utf32ToUtf8(utf8ToUtf32(path));
    return converted;
}

// One line per field in the readable block: control characters show as blanks.
std::string onOneLine(std::string text) {
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

constexpr Field kTextFields[] = {
    {"FamilyName", "Family name", 1},     {"FullName", "Full name", 4},  {"Style", "Style", 2},
    {"Postscript", "PostScript name", 6}, {"Version", "Version", 5},     {"FontID", "Font ID", 3},
    {"Copyright", "Copyright", 0},        {"TradeMark", "Trademark", 7},
};

std::string_view boolText(bool value) {
    return value ? "true"sv : "false"sv;
}

} // namespace

namespace {

// The bytes a JSON string shows escaped: controls, '"', '\\' and DEL.
constexpr std::array<bool, 256> kEscapedInJson = [] {
    std::array<bool, 256> escaped{};
    for (unsigned c = 0; c < 0x20; ++c)
        escaped[c] = true;
    escaped['"'] = escaped['\\'] = escaped[0x7F] = true;
    return escaped;
}();

// Whether any of eight bytes must be escaped.
bool anyEscapedInJson(std::uint64_t word) {
    return (zeroBytesOf(word & everyByte(0xE0)) | zeroBytesOf(word ^ everyByte('"')) |
            zeroBytesOf(word ^ everyByte('\\')) | zeroBytesOf(word ^ everyByte(0x7F))) != 0;
}

// Where the next byte from `at` on that must be escaped is; the size when there is none. Most
// names need no escape at all: eight bytes at a time past those that need none.
std::size_t nextEscaped(std::string_view utf8, std::size_t at) {
    while (utf8.size() - at >= 8 && !anyEscapedInJson(loadWord(utf8.data() + at)))
        at += 8;
    while (at < utf8.size() && !kEscapedInJson[static_cast<unsigned char>(utf8[at])])
        ++at;
    return at;
}

void appendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    std::size_t plain = 0;
    for (std::size_t i = nextEscaped(utf8, 0); i < utf8.size(); i = nextEscaped(utf8, i + 1)) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        out.append(utf8.data() + plain, i - plain);
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
    out.append(utf8.data() + plain, utf8.size() - plain);
    out += '"';
}

} // namespace

std::string jsonString(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    appendJsonString(out, utf8);
    return out;
}

const char* fieldKeyOfNameID(unsigned nameID) {
    for (const Field& field : kTextFields)
        if (field.nameID == nameID)
            return field.key;
    return "";
}

void recordOf(const FontRead& font, FontRecord& record,
              const std::array<std::string, 8>* wholeTexts) {
    // ASCII is UTF-8 as it stands, and is copied into the memory the string already has.
    auto assignUtf8 = [](std::string& to, const std::string& windows1252) {
        if (isAscii(windows1252))
            to.assign(windows1252);
        else
            to = windows1252ToUtf8(windows1252);
    };
    record.ReadFailed = font.ReadFailed;
    assignUtf8(record.ErrorText, font.ErrorText);
    for (unsigned k = 0; k < 8; ++k) {
        if (wholeTexts)
            record.texts[k].assign((*wholeTexts)[k]);
        else
            assignUtf8(record.texts[k], font.FontNames.textOfNameID(k));
    }
    record.Bold = font.FontNames.Bold;
    record.Italic = font.FontNames.Italic;
    record.IsRenamed = font.IsRenamed;
    record.cut.clear();
    record.warnings.clear();
}

void appendRecordJson(std::string& json, const std::string& path, const FontRecord& record,
                      const std::string& members) {
    json += "{\"path\": "sv;
    std::string converted;
    appendJsonString(json, pathAsUtf8(path, converted));
    json += ", \"ReadFailed\": "sv;
    json += boolText(record.ReadFailed);
    json += ", \"ErrorText\": "sv;
    appendJsonString(json, record.ErrorText);
    for (const Field& field : kTextFields) {
        json += ", \""sv;
        json += field.key;
        json += "\": "sv;
        appendJsonString(json, record.texts[field.nameID]);
    }
    json += ", \"Bold\": "sv;
    json += boolText(record.Bold);
    json += ", \"Italic\": "sv;
    json += boolText(record.Italic);
    json += ", \"IsRenamed\": "sv;
    json += boolText(record.IsRenamed);
    auto appendList = [&](std::string_view key, const std::vector<std::string>& items) {
        if (items.empty())
            return;
        json += ", \""sv;
        json += key;
        json += "\": ["sv;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i != 0)
                json += ", "sv;
            appendJsonString(json, items[i]);
        }
        json += "]"sv;
    };
    appendList("Cut"sv, record.cut);
    appendList("Warnings"sv, record.warnings);
    json += members;
    json += "}\n"sv;
}

std::string recordBlock(const std::string& path, const FontRecord& record) {
    std::string converted;
    std::string block = std::string(pathAsUtf8(path, converted)) + "\n";
    if (record.ReadFailed)
        block += "  Read failed:     " + record.ErrorText + "\n";
    for (const Field& field : kTextFields) {
        std::string label = std::string(field.label) + ":";
        label.resize(17, ' ');
        block += "  " + label + onOneLine(record.texts[field.nameID]) + "\n";
    }
    block += std::string("  Bold: ") + (record.Bold ? "yes" : "no") +
             "   Italic: " + (record.Italic ? "yes" : "no") +
             "   Renamed: " + (record.IsRenamed ? "yes" : "no") + "\n";
    return block;
}
