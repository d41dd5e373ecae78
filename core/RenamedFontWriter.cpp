#include "core/RenamedFontWriter.h"

#include "core/ByteHelpers.h"
#include "core/CffNames.h"
#include "core/CopyTail.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontReader.h"
#include "core/NamePlatforms.h"
#include "core/NameRecords.h"
#include "core/NameStringDecoding.h"
#include "core/NameSwap.h"
#include "core/NameTableBuilder.h"
#include "core/TableDirectory.h"
#include "core/UnpublishedCopy.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <limits>

namespace {

// What the source holds, read once through the open file the copy is made from.
struct SourceFont {
    FontRead read;
    std::string nameTable;
    FullNameTexts texts;
    NameReferences references;
};

// The new texts for a source; refuses a source that no longer reads as the caller planned.
using NewTextsOf = std::function<NewNameTexts(const SourceFont&)>;

// What the reader gives for a text written into a Microsoft record.
std::string readerTextOf(unsigned nameID, const std::u32string& text) {
    const std::string bytes = encodeNameString(kMicrosoftPlatform, 1, text).value_or("");
    std::string decoded(bytes.size(), '\0');
    FontNames written;
    written.textOfNameID(nameID) =
        std::string(decodeAsWindows1252(kMicrosoftPlatform, 1, bytes, decoded.data()));
    return namesAsRead(written).textOfNameID(nameID);
}

// The names the copy's CFF table carries, read back.
bool carriesCffNames(const FontBytes& bytes, const qm::core::CffNames& asked) {
    const TableLookup cff = findTable(bytes, "cff ");
    std::string copy;
    std::string problem;
    if (!cff.entry)
        return false;
    const std::string_view table = bytes.bytesAt(cff.entry->offset, cff.entry->length, copy);
    return table.size() == cff.entry->length && qm::core::readCffNames(table, problem) == asked;
}

// The finished copy must read back, point at exactly the tables written and give the changed
// names as written, and a restore of it must give the source's names and the source's
// directory entries: otherwise it is not published.
FontNames verifyCopy(FileHandle& copy, std::uint64_t tableOffset, const RenamedNameTable& table,
                     const qm::core::CopyTail& tail, const FontBytes& sourceBytes,
                     const FontRead& source, FontKinds kinds) {
    copy.refreshSize();
    const FileFontBytes bytes(copy);
    const FontRead read = ReadFontNames(bytes, kinds);
    if (read.ReadFailed || !read.IsRenamed)
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    for (unsigned k = 0; k < 8; ++k)
        if (table.changed[k] && read.FontNames.textOfNameID(k) != readerTextOf(k, table.texts[k]))
            throw EMakeRefused(EMakeRefused::kNotReadBackText);
    const TableLookup name = findTable(bytes, "name");
    std::string written(table.bytes.size(), '\0');
    if (!name.entry || name.entry->offset != tableOffset ||
        name.entry->length != table.bytes.size() ||
        bytes.readAt(tableOffset, reinterpret_cast<std::uint8_t*>(written.data()),
                     written.size()) != written.size() ||
        written != table.bytes || (tail.cffNames && !carriesCffNames(bytes, *tail.cffNames)))
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    SwapPlan plan;
    if (planSwap(bytes, plan, kinds) != SwapOutcome::Swapped)
        throw EMakeRefused(EMakeRefused::kNotRestorableText);
    const FontRead& restored = plan.after;
    if (restored.ReadFailed || !(restored.FontNames == source.FontNames))
        throw EMakeRefused(EMakeRefused::kNotRestorableText);
    const SwappedFontBytes restoredBytes(bytes, plan.writes);
    for (const SwappedFontBytes::Patch& entry : tail.entries) {
        std::uint8_t now[8];
        std::uint8_t was[8];
        if (restoredBytes.readAt(entry.position, now, 8) != 8 ||
            sourceBytes.readAt(entry.position, was, 8) != 8 || !std::equal(now, now + 8, was))
            throw EMakeRefused(EMakeRefused::kNotRestorableText);
    }
    return read.FontNames;
}

// Copies the source with a new name table holding the texts `newTextsOf` gives; returns what
// could not be done as asked.
MadeCopy writeCopy(const std::string& SourceFontPath, const std::string& NewFontPath,
                   const NewTextsOf& newTextsOf, FontKinds kinds) {
    const FileHandle source = FileHandle::openShared(SourceFontPath);
    const FileFontBytes sourceBytes(source);
    SourceFont font;
    font.read = ReadFontNames(sourceBytes, kinds);
    if (font.read.ReadFailed)
        throw EMakeRefused(font.read.ErrorText);
    const TableLookup name = findTable(sourceBytes, "name");
    if (name.duplicate)
        throw EMakeRefused(EMakeRefused::kTwoNameEntriesText);
    std::string copied;
    font.nameTable = std::string(nameTableBytes(sourceBytes, name.entry->offset, copied));
    FullNameTextsUtf8 texts;
    readFullNameTexts(font.nameTable, texts);
    for (unsigned k = 0; k < 8; ++k)
        font.texts[k] = utf8ToUtf32(texts[k]);
    font.references = findNameReferences(sourceBytes);

    RenamedNameTable table;
    try {
        table = buildRenamedNameTable(NameTableView(font.nameTable), font.texts, newTextsOf(font),
                                      font.references);
    } catch (const std::length_error&) {
        throw EMakeRefused(EMakeRefused::kTableTooLargeText);
    }

    const std::uint64_t sourceSize = sourceBytes.size();
    const qm::core::CopyTail tail = qm::core::buildCopyTail(sourceBytes, table);
    // Offsets in a font file are 32 bits wide: refused before anything is copied.
    if (sourceSize + tail.bytes.size() > std::numeric_limits<std::uint32_t>::max())
        throw EInOutError(EFBIG);
    // Linking refuses a taken name too; this only spares the copy.
    if (pathIsTaken(NewFontPath))
        throw EInOutError::ofCreate(EEXIST);

    qm::core::UnpublishedCopy copy(NewFontPath);
    copy.file().copyFrom(source, sourceSize);
    // The new tables, the marker, and where the source's tables are; then the entries point at
    // the new tables.
    copy.file().writeAt(sourceSize, tail.bytes.data(), tail.bytes.size());
    for (const SwappedFontBytes::Patch& entry : tail.entries)
        copy.file().writeAt(entry.position, entry.bytes.data(), entry.bytes.size());
    copy.file().sync();

    const FontNames readBack =
        verifyCopy(copy.file(), sourceSize, table, tail, sourceBytes, font.read, kinds);
    copy.publish(NewFontPath);
    MadeCopy made{table.cutNameIDs, table.leftOut, readBack};
    made.warnings.insert(made.warnings.end(), tail.warnings.begin(), tail.warnings.end());
    return made;
}

void refuseTextsBeyondTheirFields(const FontNames& names) {
    for (unsigned k = 0; k < 8; ++k)
        if (names.textOfNameID(k).size() > capacityOfNameID(k))
            throw std::length_error("name text longer than its field");
}

// The window's texts: a box the user left as it was read keeps the source's records.
NewNameTexts changedWindowTexts(const FontNames& names, const FontNames& readNames) {
    NewNameTexts newTexts;
    for (unsigned k = 0; k < 8; ++k)
        if (names.textOfNameID(k) != readNames.textOfNameID(k))
            newTexts[k] = windows1252ToUtf32(names.textOfNameID(k));
    return newTexts;
}

} // namespace

FontNames WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                           const FontNames& names, const FontNames& plannedNames) {
    refuseTextsBeyondTheirFields(names);
    const auto newTextsOf = [&](const SourceFont& source) {
        if (!(source.read.FontNames == plannedNames))
            throw EMakeRefused(EMakeRefused::kSourceChangedText);
        return changedWindowTexts(names, plannedNames);
    };
    return writeCopy(SourceFontPath, NewFontPath, newTextsOf, FontKinds::TrueType).readBack;
}

void WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                      const FontNames& names) {
    refuseTextsBeyondTheirFields(names);
    // The names to compare with are the ones read through the file the copy is made from.
    writeCopy(
        SourceFontPath, NewFontPath,
        [&](const SourceFont& source) { return changedWindowTexts(names, source.read.FontNames); },
        FontKinds::TrueType);
}

MadeCopy WriteRenamedFont(const std::string& SourceFontPath, const std::string& NewFontPath,
                          const NewNameTexts& newTexts, const FullNameTexts& plannedTexts,
                          FontKinds kinds) {
    return writeCopy(
        SourceFontPath, NewFontPath,
        [&](const SourceFont& source) {
            if (source.texts != plannedTexts)
                throw EMakeRefused(EMakeRefused::kSourceChangedText);
            return newTexts;
        },
        kinds);
}
