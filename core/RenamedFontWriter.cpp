#include "core/RenamedFontWriter.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontReader.h"
#include "core/NameSwap.h"
#include "core/NameTableBuilder.h"
#include "core/TableDirectory.h"
#include "core/UnpublishedCopy.h"

#include <cerrno>
#include <limits>
#include <sys/stat.h>

namespace {

bool sameTexts(const FontNames& a, const FontNames& b) {
    for (unsigned nameID = 0; nameID < 8; ++nameID)
        if (a.textOfNameID(nameID) != b.textOfNameID(nameID))
            return false;
    return true;
}

// The finished copy must read back, point at exactly the table written (and, for the window's
// texts, give exactly the names asked for), and a restore of it must give the source's names:
// otherwise it is not published.
void verifyCopy(FileHandle& copy, std::uint64_t tableOffset, const std::string& table,
                const FontNames* asked, const FontRead& source, FontKinds kinds) {
    copy.refreshSize();
    const FileFontBytes bytes(copy);
    const FontRead read = ReadFontNames(bytes, kinds);
    if (read.ReadFailed || !read.IsRenamed ||
        (asked && !sameTexts(read.FontNames, namesAsRead(*asked))))
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    const TableLookup name = findTable(bytes, "name");
    std::string written(table.size(), '\0');
    if (!name.entry || name.entry->offset != tableOffset || name.entry->length != table.size() ||
        bytes.readAt(tableOffset, reinterpret_cast<std::uint8_t*>(written.data()),
                     written.size()) != written.size() ||
        written != table)
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    SwapPlan plan;
    if (planSwap(bytes, plan, kinds) != SwapOutcome::Swapped)
        throw EMakeRefused(EMakeRefused::kNotRestorableText);
    const FontRead restored = readSwapped(bytes, plan, kinds);
    if (restored.ReadFailed || !(restored.FontNames == source.FontNames))
        throw EMakeRefused(EMakeRefused::kNotRestorableText);
}

bool pathIsTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Copies the source with `table` as its new name table; `asked` is the window's texts when the
// table was built from them.
void writeCopy(const std::string& SourceFontPath, const std::string& NewFontPath,
               const std::string& table, const FontNames* asked, FontKinds kinds) {
    const FileHandle source = FileHandle::openShared(SourceFontPath);
    const FileFontBytes sourceBytes(source);
    const FontRead sourceRead = ReadFontNames(sourceBytes, kinds);
    if (sourceRead.ReadFailed)
        throw EMakeRefused(sourceRead.ErrorText);
    const TableLookup name = findTable(sourceBytes, "name");
    if (name.duplicate)
        throw EMakeRefused(EMakeRefused::kTwoNameEntriesText);

    const std::uint64_t sourceSize = sourceBytes.size();
    // Offsets in a font file are 32 bits wide: refused before anything is copied.
    if (sourceSize + table.size() + RenamedTrailer::kSize >
        std::numeric_limits<std::uint32_t>::max())
        throw EInOutError(EFBIG);
    // Linking refuses a taken name too; this only spares the copy.
    if (pathIsTaken(NewFontPath))
        throw EInOutError::ofCreate(EEXIST);

    qm::core::UnpublishedCopy copy(NewFontPath);
    copy.file().copyFrom(source, sourceSize);
    // The new table, the marker, and where the source's names are.
    std::uint8_t sourceLocation[8];
    if (sourceBytes.readAt(name.entry->locationPosition(), sourceLocation, 8) != 8)
        throw EInOutError::readBeyondEnd();
    std::string tail = table + RenamedMarker();
    tail.append(reinterpret_cast<const char*>(sourceLocation), 8);
    copy.file().writeAt(sourceSize, tail.data(), tail.size());
    // The entry points at the new table.
    std::uint8_t location[8];
    const auto offset = SwapLong(static_cast<std::uint32_t>(sourceSize));
    const auto length = SwapLong(static_cast<std::uint32_t>(table.size()));
    std::copy(offset.begin(), offset.end(), location);
    std::copy(length.begin(), length.end(), location + 4);
    copy.file().writeAt(name.entry->locationPosition(), location, 8);
    copy.file().sync();

    verifyCopy(copy.file(), sourceSize, table, asked, sourceRead, kinds);
    copy.publish(NewFontPath);
}

} // namespace

void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const FontNames& names) {
    for (unsigned k = 0; k < 8; ++k)
        if (names.textOfNameID(k).size() > capacityOfNameID(k))
            throw std::length_error("name text longer than its field");
    writeCopy(SourceFontPath, NewFontPath, buildNameTable(names), &names, FontKinds::TrueType);
}

void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const NameStrings& strings, FontKinds kinds) {
    writeCopy(SourceFontPath, NewFontPath, buildNameTable(strings), nullptr, kinds);
}
