#pragma once

#include "core/FileHandle.h"
#include "core/FontNames.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Outcome of the in-place swap of a renamed font's two name-table locations.
enum class SwapOutcome {
    soSwapped,     // both locations exchanged and synced
    soNoNameEntry, // the directory has no `name` entry; nothing written
    soInUse,       // the file could not be opened for writing, locked, read-only or gone
    soNotValid,    // no renamed-font trailer, or the saved location is not a name table
};

// The reader, the writer and the restore swap share this state: one per window. Every text is
// Windows-1252 bytes. Calls run one at a time.
class FontFile {
public:
    static constexpr std::size_t ReadBufferSize = 1024;
    // The renamed-font trailer: a 42-byte marker, then the saved location (offset, length).
    static constexpr std::size_t TrailerSize = 50;
    static constexpr std::size_t MarkerProbeDistance = 46; // from the end of the file
    static constexpr std::size_t MarkerProbeSize = 34;
    static constexpr const char* RenamedMarkerText = "This Font Renamed";
    // Also accepted by the probe: (c) 1998 and the maker's domain, 17 characters.
    static constexpr const char* MakerSignature = "\xA9"
                                                  "1998 qmfonts.net";

    static constexpr const char* UnknownErrorText = "Unknown error reason.";
    static constexpr const char* FileNotFoundText = "Font File Not Found.";
    static constexpr const char* NotTrueTypeText = "Not a TrueType file.";
    static constexpr const char* NoTableEntryText = "NAME Table Entry Not Found";
    static constexpr const char* NameTableIncorrectText = "Name Table Structure Incorrect";
    static constexpr const char* MagicMismatchText = "MagicNumber mismatch in TTF.";
    static constexpr const char* FontNameIncorrectText = "Font Name Structure Incorrect";
    // What the window and the CLI say for the two ways a restore fails.
    static constexpr const char* FontInUseText = "Font is in use by another application.";
    static constexpr const char* NotValidFontText = "Not a valid TrueType font file.";

    ::FontNames FontNames;
    bool ReadFailed = false;
    std::string ErrorText = UnknownErrorText;
    bool IsRenamed = false;
    std::string CurrentFontPath;
    std::string SourceFontPath;
    std::uint16_t ReadStatus = 0;
    std::array<std::uint8_t, ReadBufferSize> ReadBuffer{};

    // Reads the names of the font at `path` into FontNames. Expected problems set ReadFailed and
    // ErrorText; a file that exists but cannot be opened raises EInOutError.
    void ReadFontNames(const std::string& path);

    // Tested read of a big-endian word at the current position of the open font file; reads
    // nothing and returns 0 while ReadStatus is nonzero.
    std::uint16_t ReadWordBE();

    // Copies SourceFontPath to `NewFontPath` (created exclusively) with a new name table holding
    // FontNames' eight texts and the renamed-font trailer. Raises EInOutError and removes the
    // partial copy on any failure.
    void WriteRenamedFont(const std::string& NewFontPath);

    // Exchanges the `name` directory entry's location with the one saved at the end of the file,
    // after checking that the saved one is a name table inside the file. Sets CurrentFontPath and
    // ReadStatus. Raises EInOutError when a read, write or sync fails after the open.
    SwapOutcome SwapNameTables(const std::string& path);

private:
    struct DirectoryEntry {
        std::array<std::uint8_t, 16> Bytes{};
        std::uint32_t Offset() const;
    };

    void Fail(const char* text);
    bool TestedRead(void* buffer, std::size_t count);
    void Seek(std::uint64_t position) { Position_ = position; }
    void ReadNameRecords(std::uint32_t nameOffset);
    void StoreNameText(std::uint16_t nameID, const std::string& text);
    std::uint32_t ReadHeadMagic(std::uint32_t headOffset);
    bool ProbeRenamedMarker();

    // The one font-file handle of the reader, the writer's source and the restore.
    FileHandle FontFileHandle_;
    std::uint64_t Position_ = 0;
    // Small reads are served from one window of the file, read in a single call.
    std::vector<std::uint8_t> Window_;
    std::uint64_t WindowStart_ = 0;
    std::size_t WindowLength_ = 0;
    std::optional<DirectoryEntry> NameEntry_;
    std::optional<DirectoryEntry> HeadEntry_;
};

// True when `probe` (34 bytes in two-byte form) is the renamed-font marker text or the
// maker's signature.
bool IsRenamedMarkerProbe(const std::uint8_t* probe);
