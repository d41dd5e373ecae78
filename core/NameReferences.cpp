#include "core/NameReferences.h"

#include "core/ByteCursor.h"
#include "core/TableDirectory.h"

#include <string>
#include <string_view>

namespace {

constexpr std::uint16_t kNoName = 0xFFFF;

// A table's bytes as far as the file holds them.
std::string tableBytes(const FontBytes& font, std::string_view tag) {
    const TableLookup lookup = findTable(font, tag);
    if (!lookup.entry)
        return {};
    std::string copy;
    return std::string(font.bytesAt(lookup.entry->offset, lookup.entry->length, copy));
}

// Bounds-checked fields of one table.
class TableFields {
public:
    explicit TableFields(const std::string& bytes) : bytes_(bytes) {}
    bool u16(std::size_t at, std::uint16_t& value) const {
        ByteCursor cursor(data(), bytes_.size());
        return cursor.seek(at) && cursor.readU16(value);
    }
    bool u32(std::size_t at, std::uint32_t& value) const {
        ByteCursor cursor(data(), bytes_.size());
        return cursor.seek(at) && cursor.readU32(value);
    }

private:
    const std::uint8_t* data() const {
        return reinterpret_cast<const std::uint8_t*>(bytes_.data());
    }
    const std::string& bytes_;
};

class Collector {
public:
    explicit Collector(NameReferences& references) : references_(references) {}
    // Adds the name ID at `at`, if the table holds it.
    void nameAt(const TableFields& table, std::size_t at) {
        std::uint16_t nameID = 0;
        if (table.u16(at, nameID))
            add(nameID);
    }
    // 0 and 0xFFFF stand for no name where a name is optional.
    void add(std::uint16_t nameID) {
        if (nameID != 0 && nameID != kNoName)
            references_.referenced.insert(nameID);
    }

private:
    NameReferences& references_;
};

void collectFvar(const std::string& bytes, NameReferences& references) {
    const TableFields fvar(bytes);
    Collector names(references);
    std::uint16_t axesOffset = 0, axisCount = 0, axisSize = 0, instanceCount = 0, instanceSize = 0;
    if (!fvar.u16(4, axesOffset) || !fvar.u16(8, axisCount) || !fvar.u16(10, axisSize) ||
        !fvar.u16(12, instanceCount) || !fvar.u16(14, instanceSize))
        return;
    references.variable = axisCount > 0;
    for (std::size_t i = 0; i < axisCount; ++i)
        names.nameAt(fvar, axesOffset + axisSize * i + 18);
    const std::size_t instances = axesOffset + std::size_t{axisSize} * axisCount;
    // The PostScript name ID is there only when the record is long enough to hold it.
    const std::size_t postscriptAt = 4 + 4 * std::size_t{axisCount};
    for (std::size_t i = 0; i < instanceCount; ++i) {
        const std::size_t instance = instances + std::size_t{instanceSize} * i;
        names.nameAt(fvar, instance);
        std::uint16_t postscript = kNoName;
        if (instanceSize >= postscriptAt + 2 && fvar.u16(instance + postscriptAt, postscript) &&
            postscript != kNoName) {
            names.add(postscript);
            references.instancePostscriptNames.insert(postscript);
        }
    }
}

void collectStat(const std::string& bytes, NameReferences& references) {
    const TableFields stat(bytes);
    Collector names(references);
    std::uint16_t minor = 0, axisSize = 0, axisCount = 0, valueCount = 0;
    std::uint32_t axesOffset = 0, valuesOffset = 0;
    if (!stat.u16(2, minor) || !stat.u16(4, axisSize) || !stat.u16(6, axisCount) ||
        !stat.u32(8, axesOffset) || !stat.u16(12, valueCount) || !stat.u32(14, valuesOffset))
        return;
    for (std::size_t i = 0; i < axisCount; ++i)
        names.nameAt(stat, std::size_t{axesOffset} + std::size_t{axisSize} * i + 4);
    // Every axis value format has its name ID at 6.
    for (std::size_t i = 0; i < valueCount; ++i) {
        std::uint16_t value = 0;
        if (stat.u16(std::size_t{valuesOffset} + 2 * i, value))
            names.nameAt(stat, std::size_t{valuesOffset} + value + 6);
    }
    if (minor >= 1)
        names.nameAt(stat, 18);
}

void collectCpal(const std::string& bytes, NameReferences& references) {
    const TableFields cpal(bytes);
    Collector names(references);
    std::uint16_t version = 0, entryCount = 0, paletteCount = 0;
    if (!cpal.u16(0, version) || version < 1 || !cpal.u16(2, entryCount) ||
        !cpal.u16(4, paletteCount))
        return;
    const std::size_t arrays = 12 + 2 * std::size_t{paletteCount};
    std::uint32_t labels = 0, entryLabels = 0;
    if (cpal.u32(arrays + 4, labels) && labels != 0)
        for (std::size_t i = 0; i < paletteCount; ++i)
            names.nameAt(cpal, std::size_t{labels} + 2 * i);
    if (cpal.u32(arrays + 8, entryLabels) && entryLabels != 0)
        for (std::size_t i = 0; i < entryCount; ++i)
            names.nameAt(cpal, std::size_t{entryLabels} + 2 * i);
}

// Stylistic sets ('ss01'-'ss20'), character variants ('cv01'-'cv99') and 'size' name
// themselves through their feature parameters.
void collectFeatureParams(const std::string& bytes, NameReferences& references) {
    const TableFields layout(bytes);
    Collector names(references);
    std::uint16_t featureList = 0, featureCount = 0;
    if (!layout.u16(6, featureList) || featureList == 0 || !layout.u16(featureList, featureCount))
        return;
    for (std::size_t i = 0; i < featureCount; ++i) {
        const std::size_t record = std::size_t{featureList} + 2 + 6 * i;
        if (record + 4 > bytes.size())
            return;
        const std::string_view tag(bytes.data() + record, 4);
        std::uint16_t feature = 0, params = 0;
        if (!layout.u16(record + 4, feature) ||
            !layout.u16(std::size_t{featureList} + feature, params) || params == 0)
            continue;
        const std::size_t at = std::size_t{featureList} + feature + params;
        if (tag.substr(0, 2) == "ss") {
            names.nameAt(layout, at + 2);
        } else if (tag.substr(0, 2) == "cv") {
            for (std::size_t field = 2; field <= 6; field += 2)
                names.nameAt(layout, at + field);
            std::uint16_t named = 0, first = 0;
            if (layout.u16(at + 8, named) && layout.u16(at + 10, first) && first != kNoName)
                for (std::uint32_t k = 0; k < named && first + k < kNoName; ++k)
                    names.add(static_cast<std::uint16_t>(first + k));
        } else if (tag == "size") {
            std::uint16_t subfamily = 0, nameID = 0;
            if (layout.u16(at + 2, subfamily) && subfamily != 0 && layout.u16(at + 4, nameID) &&
                nameID != 0)
                names.add(nameID);
        }
    }
}

} // namespace

NameReferences findNameReferences(const FontBytes& font) {
    NameReferences references;
    collectFvar(tableBytes(font, "fvar"), references);
    collectStat(tableBytes(font, "stat"), references);
    collectCpal(tableBytes(font, "cpal"), references);
    collectFeatureParams(tableBytes(font, "gsub"), references);
    collectFeatureParams(tableBytes(font, "gpos"), references);
    return references;
}
