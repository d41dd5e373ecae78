#include "core/CopyTail.h"

#include "core/CopyTrailer.h"
#include "core/EInOutError.h"
#include "core/FullNameTexts.h"
#include "core/NameTableBuilder.h"
#include "core/TableDirectory.h"
#include "core/Windows1252.h"

namespace qm::core {
namespace {

SwappedFontBytes::Patch entryPatch(std::uint64_t position, const Location& location) {
    return {position, std::vector<std::uint8_t>(location.begin(), location.end())};
}

bool isCffSource(const FontBytes& source) {
    std::uint8_t version[4];
    return source.readAt(0, version, 4) == 4 &&
           std::string_view(reinterpret_cast<const char*>(version), 4) == "OTTO";
}

constexpr unsigned kFamilyID = 1;
constexpr unsigned kFullNameID = 4;
constexpr unsigned kPostscriptID = 6;

// The CFF names for the new name table: nothing when none of them changes.
std::optional<CffNames> cffNamesOf(const RenamedNameTable& table) {
    if (!table.changed[kFamilyID] && !table.changed[kFullNameID] && !table.changed[kPostscriptID])
        return std::nullopt;
    CffNames names;
    // Kept to printable ASCII by the name table's own rule.
    names.fontName = utf32ToUtf8(table.texts[kPostscriptID]);
    if (table.changed[kFullNameID])
        names.fullName = cffStringOfUtf8(utf32ToUtf8(table.texts[kFullNameID]));
    if (table.changed[kFamilyID])
        names.familyName = cffStringOfUtf8(utf32ToUtf8(table.texts[kFamilyID]));
    return names;
}

} // namespace

CopyTail buildCopyTail(const FontBytes& source, const RenamedNameTable& table) {
    const std::string& nameTable = table.bytes;
    CopyTail tail;
    const std::uint64_t sourceSize = source.size();
    const TableLookup name = findTable(source, "name");
    if (!name.entry)
        throw EInOutError::readBeyondEnd();
    const Location sourceName = makeLocation(name.entry->offset, name.entry->length);
    tail.entries.push_back(entryPatch(name.entry->locationPosition(),
                                      makeLocation(static_cast<std::uint32_t>(sourceSize),
                                                   static_cast<std::uint32_t>(nameTable.size()))));

    const std::optional<CffNames> names = cffNamesOf(table);
    const TableLookup cff =
        names && isCffSource(source) ? findTable(source, "cff ") : TableLookup{};
    if (cff.entry && !cff.duplicate) {
        std::string copy;
        std::string problem;
        const std::string_view cffTable =
            source.bytesAt(cff.entry->offset, cff.entry->length, copy);
        std::optional<std::string> renamed;
        if (cffTable.size() != cff.entry->length)
            problem = "the CFF table runs past the end of the file";
        else if (names->fontName.empty())
            problem = "the copy has no PostScript name";
        else
            renamed = renameCffTable(cffTable, *names, problem);
        if (renamed) {
            std::uint64_t cffAt = 0;
            tail.bytes = cffCopyTail(sourceSize, nameTable, *renamed, RenamedMarker(), sourceName,
                                     makeLocation(cff.entry->offset, cff.entry->length), cffAt);
            tail.entries.push_back(
                entryPatch(cff.entry->locationPosition(),
                           makeLocation(static_cast<std::uint32_t>(cffAt),
                                        static_cast<std::uint32_t>(renamed->size()))));
            // Only the names the table has are rebuilt.
            std::string unused;
            tail.cffNames = readCffNames(*renamed, unused);
            return tail;
        }
        tail.warnings.push_back("The CFF table could not be renamed (" + problem +
                                "); its FontName stays the old PostScript name.");
    } else if (cff.duplicate) {
        tail.warnings.push_back("The font has two CFF table entries; its CFF FontName stays the "
                                "old PostScript name.");
    }
    tail.bytes = nameTable + RenamedMarker();
    tail.bytes.append(reinterpret_cast<const char*>(sourceName.data()), sourceName.size());
    return tail;
}

} // namespace qm::core
