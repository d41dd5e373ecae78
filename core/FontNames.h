#pragma once

#include <cstddef>
#include <string>

// The one record of the current font's names. Texts hold Windows-1252 bytes and never exceed
// their field's capacity.
struct FontNames {
    static constexpr std::size_t kFamilyNameCapacity = 64;
    static constexpr std::size_t kFullNameCapacity = 64;
    static constexpr std::size_t kStyleCapacity = 32;
    static constexpr std::size_t kPostscriptCapacity = 64;
    static constexpr std::size_t kVersionCapacity = 64;
    static constexpr std::size_t kFontIDCapacity = 64;
    static constexpr std::size_t kCopyrightCapacity = 127;
    static constexpr std::size_t kTradeMarkCapacity = 127;

    static constexpr const char* kVersionResetText = "*** No Ver. I.D. Found ***";
    static constexpr const char* kFontIDResetText = "*** No Font I.D. Found ***";
    static constexpr const char* kCopyrightResetText = "*** No Copyright Found ***";
    static constexpr const char* kTradeMarkResetText = "*** No TradeMark Found ***";

    std::string FamilyName;                      // name ID 1
    std::string FullName;                        // name ID 4
    std::string Style;                           // name ID 2
    std::string Postscript;                      // name ID 6
    std::string Version = kVersionResetText;     // name ID 5
    std::string FontID = kFontIDResetText;       // name ID 3
    std::string Copyright = kCopyrightResetText; // name ID 0
    std::string TradeMark = kTradeMarkResetText; // name ID 7
    bool Bold = false;
    bool Italic = false;

    void reset() { *this = FontNames{}; }

    // The text stored under a name ID of 0 to 7.
    std::string& textOfNameID(unsigned nameID);
    const std::string& textOfNameID(unsigned nameID) const;

    bool operator==(const FontNames&) const = default;
};

// The capacity of the field for a name ID of 0 to 7.
std::size_t capacityOfNameID(unsigned nameID);
