#include "core/NamingRules.h"

#include "core/ByteHelpers.h"

namespace {

bool isAsciiLetterOrDigit(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string withoutBlanks(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != ' ')
            result.push_back(c);
    return result;
}

std::string_view fileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view withoutExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

} // namespace

bool isFamilyStyleChar(char32_t c) {
    return isAsciiLetterOrDigit(c) || c == ' ';
}

bool isFileNameChar(char32_t c) {
    return isAsciiLetterOrDigit(c) || c == '.';
}

bool isFamilyStyleText(std::string_view text) {
    for (char c : text)
        if (!isFamilyStyleChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string normaliseStyle(std::string_view style) {
    std::string result = lowerCaseAscii(CleanNameText(style));
    bool startOfWord = true;
    for (char& c : result) {
        if (startOfWord && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        startOfWord = c == ' ';
    }
    return result;
}

bool isPlainStyle(std::string_view style) {
    const std::string lower = lowerCaseAscii(style);
    return lower.empty() || lower == "regular" || lower == "normal";
}

std::string deriveFullName(std::string_view family, std::string_view style) {
    std::string full(family);
    if (!isPlainStyle(style)) {
        full += ' ';
        full += style;
    }
    return full;
}

std::string derivePostscriptName(std::string_view family, std::string_view style) {
    std::string postscript = withoutBlanks(family);
    if (!isPlainStyle(style)) {
        postscript += '-';
        postscript += withoutBlanks(style);
    }
    return postscript;
}

NameTexts nameTextsOf(const FontNames& names) {
    return {names.FamilyName, names.FullName, names.Style,     names.Postscript,
            names.Version,    names.FontID,   names.Copyright, names.TradeMark};
}

NameTexts deriveNameTexts(const NameTexts& boxes, std::string_view recordFamilyName) {
    NameTexts result = boxes;
    result.FamilyName = CleanNameText(boxes.FamilyName);
    if (result.FamilyName.empty()) {
        result.FamilyName = std::string(recordFamilyName);
        return result;
    }
    result.Style = normaliseStyle(boxes.Style);
    result.FullName = deriveFullName(result.FamilyName, result.Style);
    result.Postscript = derivePostscriptName(result.FamilyName, result.Style);
    return result;
}

void storeNameTexts(const NameTexts& boxes, FontNames& names) {
    names.FamilyName = cutText(boxes.FamilyName, FontNames::kFamilyNameCapacity);
    names.FullName = cutText(boxes.FullName, FontNames::kFullNameCapacity);
    names.Style = cutText(boxes.Style, FontNames::kStyleCapacity);
    names.Postscript = cutText(boxes.Postscript, FontNames::kPostscriptCapacity);
    names.Version = cutText(boxes.Version, FontNames::kVersionCapacity);
    names.FontID = cutText(boxes.FontID, FontNames::kFontIDCapacity);
    names.Copyright = cutText(boxes.Copyright, FontNames::kCopyrightCapacity);
    names.TradeMark = cutText(boxes.TradeMark, FontNames::kTradeMarkCapacity);
}

bool isValidNewFontName(std::string_view typedName) {
    const std::size_t length = withoutExtension(fileNamePart(typedName)).size();
    return length >= 1 && length <= 8;
}

std::string composeNewFontPath(std::string_view folder, std::string_view typedName) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += upperCaseAscii(typedName);
    const std::size_t nameStart = path.rfind('/') + 1;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        path.erase(dot);
    return path + ".TTF";
}

std::string fontTotalCaption(std::size_t count) {
    std::string digits = std::to_string(count);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return digits + " Fonts";
}
