#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FontFile.h"

#include <cstdint>
#include <string_view>

namespace {

// The saved location must be a name table lying before the trailer, with room for its records.
bool IsNameTableAt(const FileHandle& file, std::uint64_t fileSize, std::uint32_t offset,
                   std::uint32_t length) {
    const std::uint64_t tableSpace = fileSize - FontFile::TrailerSize;
    if (length < 6 || offset > tableSpace || length > tableSpace - offset)
        return false;
    std::uint8_t header[6];
    file.ReadExact(offset, header, sizeof header);
    const std::uint16_t count = BytesToWord(header + 2);
    return 6 + 12 * std::uint64_t{count} <= length;
}

} // namespace

SwapOutcome FontFile::SwapNameTables(const std::string& path) {
    CurrentFontPath = path;
    int openError = 0;
    FileHandle file = FileHandle::OpenExclusive(path, openError);
    ReadStatus = static_cast<std::uint16_t>(ErrorCodeOfErrno(openError));
    if (!file.IsOpen())
        return SwapOutcome::soInUse;

    const std::uint64_t size = file.Size();
    if (size < TrailerSize + 12)
        return SwapOutcome::soNotValid;
    std::uint8_t trailer[TrailerSize];
    file.ReadExact(size - TrailerSize, trailer, TrailerSize);
    if (!IsRenamedMarkerProbe(trailer + (TrailerSize - MarkerProbeDistance)))
        return SwapOutcome::soNotValid;
    const std::uint32_t savedOffset = BytesToLong(trailer + TrailerSize - 8);
    const std::uint32_t savedLength = BytesToLong(trailer + TrailerSize - 4);
    if (!IsNameTableAt(file, size, savedOffset, savedLength))
        return SwapOutcome::soNotValid;

    std::uint8_t word[2];
    file.ReadExact(4, word, 2);
    const std::uint16_t count = BytesToWord(word);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t entry[16];
        const std::uint64_t entryPosition = 12 + 16 * std::uint64_t{i};
        // A directory running into the trailer is no renamed font's: an entry there would be
        // half overwritten by its own exchange.
        if (entryPosition + 16 > size - TrailerSize)
            return SwapOutcome::soNotValid;
        file.ReadExact(entryPosition, entry, 16);
        if (LowerCaseAscii(std::string_view(reinterpret_cast<const char*>(entry), 4)) != "name")
            continue;
        // Only the first `name` entry is exchanged.
        file.WriteAt(entryPosition + 8, trailer + TrailerSize - 8, 8);
        try {
            file.WriteAt(size - 8, entry + 8, 8);
        } catch (const EInOutError&) {
            // Put the entry back rather than leave both locations naming the same table.
            try {
                file.WriteAt(entryPosition + 8, entry + 8, 8);
            } catch (const EInOutError&) {
            }
            throw;
        }
        file.Sync();
        file.Close();
        return SwapOutcome::soSwapped;
    }
    file.Close();
    return SwapOutcome::soNoNameEntry;
}
