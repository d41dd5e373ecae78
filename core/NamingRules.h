#pragma once

#include "core/FontNames.h"

#include <cstddef>
#include <string>
#include <string_view>

// The rules of the naming boxes, the new file name and the count caption that need no window.
// Texts are Windows-1252 bytes.

// A character that may be typed into the family name or the style box: ASCII letters, digits
// and the blank.
bool isFamilyStyleChar(char32_t c);
// A character that may be typed into the new file name box: ASCII letters, digits and '.'.
bool isFileNameChar(char32_t c);
// True when every character of a text passes isFamilyStyleChar.
bool isFamilyStyleText(std::string_view text);

// Cleaned, lower-cased, and upper-cased at the start and after each blank ('bold  ITALIC' ->
// 'Bold  Italic').
std::string normaliseStyle(std::string_view style);
// Empty, "regular" or "normal" in any case.
bool isPlainStyle(std::string_view style);
// The family alone for a plain style, else family, blank, style.
std::string deriveFullName(std::string_view family, std::string_view style);
// The family without blanks; for a style that is not plain, "-" and the style without blanks.
std::string derivePostscriptName(std::string_view family, std::string_view style);

// The eight box texts in the record's field order.
struct NameTexts {
    std::string FamilyName;
    std::string FullName;
    std::string Style;
    std::string Postscript;
    std::string Version;
    std::string FontID;
    std::string Copyright;
    std::string TradeMark;
    bool operator==(const NameTexts&) const = default;
};

// What the boxes show after a read: the record's texts, uncut.
NameTexts nameTextsOf(const FontNames& names);

// The derivation run when the family or style box is left: the family is cleaned; an empty one
// takes `recordFamilyName` back and leaves the other boxes alone; otherwise the style is
// normalised and the full and PostScript names derived from both. Nothing is cut.
NameTexts deriveNameTexts(const NameTexts& boxes, std::string_view recordFamilyName);

// The boxes into the record, each cut to its field's capacity. Bold and Italic are kept.
void storeNameTexts(const NameTexts& boxes, FontNames& names);

// The typed new file name (already upper-cased) without any folder part and without its
// extension must have 1 to 8 characters.
bool isValidNewFontName(std::string_view typedName);
// `folder` (its case kept), a '/' unless it ends in one, and the typed name upper-cased with its
// extension replaced by ".TTF".
std::string composeNewFontPath(std::string_view folder, std::string_view typedName);

// The counter's caption: at least four digits, then " Fonts".
std::string fontTotalCaption(std::size_t count);
