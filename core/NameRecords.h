#pragma once

#include "core/FontBytes.h"
#include "core/NameStringDecoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One record of a name table with its decoded text.
struct NameRecordEntry {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    // A BCP 47 tag where the language is known (format 1 tables carry their own tags).
    std::string language;
    DecodedNameString string;
    // The string's bytes as stored.
    std::string bytes;
    // The string's bytes lie beyond the end of the file: there is no text to show.
    bool missing = false;
};

// Every record of one name table, in table order.
struct NameTableListing {
    std::uint32_t offset = 0; // where the table starts in the file
    std::uint16_t format = 0;
    std::vector<NameRecordEntry> records;
    // Empty when the whole table could be read; otherwise what was wrong with it.
    std::string problem;
};

// The bytes of the name table at `offset`, as far as its header, records and strings reach and
// never past the end of the file: a table whose directory length is too short is still taken
// whole. Seen in place where the font holds them, else copied into `copy`; valid until the next
// read.
std::string_view nameTableBytes(const FontBytes& font, std::uint32_t offset, std::string& copy);

// Where the name table the reader reads starts; nothing, and `problem` says why, when the file
// is no sfnt (TrueType or CFF) or its directory has no name table.
std::optional<std::uint32_t> liveNameTableOffset(const FontBytes& font, std::string& problem);

// Lists a name table given as the file's bytes from the table's start to the end of the file.
NameTableListing listNameTable(std::string_view table);

// The name tables of a font file: the one its directory points at and, in a renamed file, the
// one its trailer saves for the restore.
struct FontNameTables {
    // Why nothing could be listed (no sfnt, no name table); empty otherwise.
    std::string problem;
    NameTableListing live;
    std::optional<NameTableListing> saved;
};

// Reads the name tables of the sfnt (TrueType or CFF) at `path`. A file that exists but cannot
// be opened raises EInOutError.
FontNameTables listFontNameTables(const std::string& path);
// The same for bytes already open (read through the same blocks as the reader's).
FontNameTables listFontNameTables(const FontBytes& font);
