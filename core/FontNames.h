#pragma once

#include <cstddef>
#include <string>

// The one record of the current font's names. Texts hold Windows-1252 bytes and never exceed
// their field's capacity.
struct FontNames {
    static constexpr std::size_t FamilyNameCapacity = 64;
    static constexpr std::size_t FullNameCapacity = 64;
    static constexpr std::size_t StyleCapacity = 32;
    static constexpr std::size_t PostscriptCapacity = 64;
    static constexpr std::size_t VersionCapacity = 64;
    static constexpr std::size_t FontIDCapacity = 64;
    static constexpr std::size_t CopyrightCapacity = 127;
    static constexpr std::size_t TradeMarkCapacity = 127;

    static constexpr const char* VersionResetText = "*** No Ver. I.D. Found ***";
    static constexpr const char* FontIDResetText = "*** No Font I.D. Found ***";
    static constexpr const char* CopyrightResetText = "*** No Copyright Found ***";
    static constexpr const char* TradeMarkResetText = "*** No TradeMark Found ***";

    std::string FamilyName;                     // name ID 1
    std::string FullName;                       // name ID 4
    std::string Style;                          // name ID 2
    std::string Postscript;                     // name ID 6
    std::string Version = VersionResetText;     // name ID 5
    std::string FontID = FontIDResetText;       // name ID 3
    std::string Copyright = CopyrightResetText; // name ID 0
    std::string TradeMark = TradeMarkResetText; // name ID 7
    bool Bold = false;
    bool Italic = false;

    void Reset() { *this = FontNames{}; }

    // The text stored under a name ID of 0 to 7.
    std::string& TextOfNameID(unsigned nameID);
    const std::string& TextOfNameID(unsigned nameID) const;

    bool operator==(const FontNames&) const = default;
};

// The capacity of the field for a name ID of 0 to 7.
std::size_t CapacityOfNameID(unsigned nameID);
