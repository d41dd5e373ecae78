#include "core/NamingRules.h"

#include "core/ByteHelpers.h"

namespace {

bool IsAsciiLetterOrDigit(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string WithoutBlanks(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != ' ')
            result.push_back(c);
    return result;
}

std::string_view FileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view WithoutExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

} // namespace

bool IsFamilyStyleChar(char32_t c) {
    return IsAsciiLetterOrDigit(c) || c == ' ';
}

bool IsFileNameChar(char32_t c) {
    return IsAsciiLetterOrDigit(c) || c == '.';
}

bool IsFamilyStyleText(std::string_view text) {
    for (char c : text)
        if (!IsFamilyStyleChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string NormaliseStyle(std::string_view style) {
    std::string result = LowerCaseAscii(CleanNameText(style));
    bool startOfWord = true;
    for (char& c : result) {
        if (startOfWord && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        startOfWord = c == ' ';
    }
    return result;
}

bool IsPlainStyle(std::string_view style) {
    const std::string lower = LowerCaseAscii(style);
    return lower.empty() || lower == "regular" || lower == "normal";
}

std::string DeriveFullName(std::string_view family, std::string_view style) {
    std::string full(family);
    if (!IsPlainStyle(style)) {
        full += ' ';
        full += style;
    }
    return full;
}

std::string DerivePostscriptName(std::string_view family, std::string_view style) {
    std::string postscript = WithoutBlanks(family);
    if (!IsPlainStyle(style))
        postscript += "-" + WithoutBlanks(style);
    return postscript;
}

NameTexts NameTextsOf(const FontNames& names) {
    return {names.FamilyName, names.FullName, names.Style,     names.Postscript,
            names.Version,    names.FontID,   names.Copyright, names.TradeMark};
}

NameTexts DeriveNameTexts(const NameTexts& boxes, std::string_view recordFamilyName) {
    NameTexts result = boxes;
    result.FamilyName = CleanNameText(boxes.FamilyName);
    if (result.FamilyName.empty()) {
        result.FamilyName = std::string(recordFamilyName);
        return result;
    }
    result.Style = NormaliseStyle(boxes.Style);
    result.FullName = DeriveFullName(result.FamilyName, result.Style);
    result.Postscript = DerivePostscriptName(result.FamilyName, result.Style);
    return result;
}

void StoreNameTexts(const NameTexts& boxes, FontNames& names) {
    names.FamilyName = CutText(boxes.FamilyName, FontNames::FamilyNameCapacity);
    names.FullName = CutText(boxes.FullName, FontNames::FullNameCapacity);
    names.Style = CutText(boxes.Style, FontNames::StyleCapacity);
    names.Postscript = CutText(boxes.Postscript, FontNames::PostscriptCapacity);
    names.Version = CutText(boxes.Version, FontNames::VersionCapacity);
    names.FontID = CutText(boxes.FontID, FontNames::FontIDCapacity);
    names.Copyright = CutText(boxes.Copyright, FontNames::CopyrightCapacity);
    names.TradeMark = CutText(boxes.TradeMark, FontNames::TradeMarkCapacity);
}

bool IsValidNewFontName(std::string_view typedName) {
    const std::size_t length = WithoutExtension(FileNamePart(typedName)).size();
    return length >= 1 && length <= 8;
}

std::string ComposeNewFontPath(std::string_view folder, std::string_view typedName) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += UpperCaseAscii(typedName);
    const std::size_t nameStart = path.rfind('/') + 1;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        path.erase(dot);
    return path + ".TTF";
}

std::string FontTotalCaption(std::size_t count) {
    std::string digits = std::to_string(count);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return digits + " Fonts";
}
