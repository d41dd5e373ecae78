#pragma once

#include "core/FontBytes.h"
#include "core/FontNames.h"

#include <string>

// What a read of a font file found: the names, the failure flag and text, and whether the file
// carries the renamed-font trailer. This is the window's and the command line's view of a font.
struct FontRead {
    static constexpr const char* kUnknownErrorText = "Unknown error reason.";
    static constexpr const char* kFileNotFoundText = "Font File Not Found.";
    static constexpr const char* kNotTrueTypeText = "Not a TrueType file.";
    static constexpr const char* kNoTableEntryText = "NAME Table Entry Not Found";
    static constexpr const char* kNameTableIncorrectText = "Name Table Structure Incorrect";
    static constexpr const char* kMagicMismatchText = "MagicNumber mismatch in TTF.";
    static constexpr const char* kFontNameIncorrectText = "Font Name Structure Incorrect";

    ::FontNames FontNames;
    bool ReadFailed = false;
    std::string ErrorText = kUnknownErrorText;
    // Meaningful after a successful read.
    bool IsRenamed = false;
};

// The renamed-font trailer: a 42-byte marker, then the saved location (offset, length).
struct RenamedTrailer {
    static constexpr std::size_t kSize = 50;
    static constexpr std::size_t kMarkerProbeDistance = 46; // from the end of the file
    static constexpr std::size_t kMarkerProbeSize = 34;
    static constexpr const char* kMarkerText = "This Font Renamed";
    // Also accepted by the probe: (c) 1998 and the maker's domain, 17 characters.
    static constexpr const char* kMakerSignature = "\xA9"
                                                   "1998 qmfonts.net";
};

// Which fonts a read accepts. The window reads TrueType files only (major version 1 to 5); the
// command line also reads OpenType fonts with CFF outlines ("OTTO"), whose directory, name and
// head tables are the same.
enum class FontKinds { TrueType, TrueTypeAndCff };

// Reads the names of the font at `path`. Expected problems come back as ReadFailed and
// ErrorText ("Font File Not Found." when no regular file is there); a file that exists but
// cannot be opened or read raises EInOutError.
FontRead ReadFontNames(const std::string& path, FontKinds kinds = FontKinds::TrueType);
// The same for bytes already open.
FontRead ReadFontNames(const FontBytes& font, FontKinds kinds = FontKinds::TrueType);
// The same into `read`, whose strings keep their memory: for a reader of many fonts.
void ReadFontNames(const FontBytes& font, FontKinds kinds, FontRead& read);

// The names a read gives back for a name table that holds `asked`: texts cleaned and cut to
// their fields, empty optional texts left at their reset values. Bold and Italic are not
// touched.
FontNames namesAsRead(const FontNames& asked);

// True when `probe` (34 bytes in two-byte form) is the renamed-font marker text or the
// maker's signature.
bool isRenamedMarkerProbe(const std::uint8_t* probe);
