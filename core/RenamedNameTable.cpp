#include "core/RenamedNameTable.h"

#include "core/FontNames.h"
#include "core/NamePlatforms.h"
#include "core/NameStringDecoding.h"
#include "core/NameTableBuilder.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace {

constexpr std::uint16_t kFamilyID = 1;
constexpr std::uint16_t kStyleID = 2;
constexpr std::uint16_t kFullNameID = 4;
constexpr std::uint16_t kPostscriptID = 6;
constexpr std::uint16_t kTypographicFamilyID = 16;
constexpr std::uint16_t kTypographicStyleID = 17;
constexpr std::uint16_t kCompatibleFullID = 18;
constexpr std::uint16_t kPostscriptCidID = 20;
constexpr std::uint16_t kWwsFamilyID = 21;
constexpr std::uint16_t kWwsStyleID = 22;
constexpr std::uint16_t kVariationsPrefixID = 25;

constexpr std::uint16_t kUnicodeBmpEncoding = 1;
constexpr std::uint16_t kSymbolEncoding = 0;

// A symbol font's Microsoft names are in the symbol encoding, and Windows looks for them there:
// its copy writes them there too.
std::uint16_t microsoftEncodingOf(const NameTableView& source) {
    bool symbol = false;
    for (std::size_t i = 0; i < source.count(); ++i) {
        const NameRecordFields record = source.record(i);
        if (record.platformID != kMicrosoftPlatform)
            continue;
        if (record.encodingID == kUnicodeBmpEncoding)
            return kUnicodeBmpEncoding;
        symbol = symbol || record.encodingID == kSymbolEncoding;
    }
    return symbol ? kSymbolEncoding : kUnicodeBmpEncoding;
}

// The two records of each of the eight names.
using LayoutRecords = std::array<NameRecordFields, 2>;

LayoutRecords layoutRecordsOf(const NameTableView& source) {
    return {{{kMacintoshPlatform, 0, kMacEnglish, 0, 0, 0},
             {kMicrosoftPlatform, microsoftEncodingOf(source), kUsEnglish, 0, 0, 0}}};
}

const std::u32string& placeholderOf(unsigned nameID) {
    static const FullNameTexts kPlaceholders = [] {
        const FontNames reset;
        FullNameTexts texts;
        for (unsigned k = 0; k < 8; ++k)
            texts[k] = windows1252ToUtf32(reset.textOfNameID(k));
        return texts;
    }();
    return kPlaceholders[nameID];
}

// The family part of a PostScript name: up to its first '-'.
std::u32string postscriptPrefixOf(const std::u32string& name) {
    return name.substr(0, name.find(U'-'));
}

// The text of a record as Unicode, when every byte of it decodes.
std::optional<std::u32string> decodedText(std::uint16_t platformID, std::uint16_t encodingID,
                                          std::string_view bytes) {
    const DecodedNameString decoded = decodeNameString(platformID, encodingID, bytes);
    if (!decoded.exact)
        return std::nullopt;
    // The listing doubles a backslash so that escapes stay unambiguous.
    std::string text;
    for (std::size_t i = 0; i < decoded.text.size(); ++i) {
        text += decoded.text[i];
        if (decoded.text[i] == '\\')
            ++i;
    }
    return utf8ToUtf32(text);
}

class TablePlan {
public:
    TablePlan(const NameTableView& source, const FullNameTexts& sourceTexts,
              const NewNameTexts& newTexts, const NameReferences& references)
        : source_(source), references_(references), layout_(layoutRecordsOf(source)) {
        for (unsigned k = 0; k < 8; ++k) {
            changed_[k] = newTexts[k] && *newTexts[k] != sourceTexts[k];
            texts_[k] = changed_[k] ? *newTexts[k] : sourceTexts[k];
        }
        if (changed_[kPostscriptID]) {
            texts_[kPostscriptID] = postscriptNameOf(texts_[kPostscriptID]);
            oldPrefix_ = sourcePrefix(sourceTexts[kPostscriptID]);
            newPrefix_ = postscriptPrefixOf(texts_[kPostscriptID]);
        }
        for (unsigned k = 0; k < 8; ++k)
            if (texts_[k].empty() || texts_[k] == placeholderOf(k))
                texts_[k].clear();
    }

    RenamedNameTable build() {
        std::vector<std::string> langTags;
        if (source_.format() == 1)
            for (std::size_t i = 0; i < source_.langTagCount(); ++i)
                langTags.emplace_back(source_.langTag(i).value_or(std::string_view()));
        RenamedNameTable table;
        std::vector<NameRecordBytes> records = recordsNow();
        // What must be cut is cut from the longest text the copy writes anew.
        while (nameStorageOf(records, langTags) > kNameStorageLimit) {
            const std::size_t over = nameStorageOf(records, langTags) - kNameStorageLimit;
            std::optional<unsigned> longest;
            std::size_t second = 0;
            for (unsigned k = 0; k < 8; ++k) {
                if (!encodedAnywhere(k) || texts_[k].empty())
                    continue;
                if (!longest || texts_[k].size() > texts_[*longest].size()) {
                    if (longest)
                        second = texts_[*longest].size();
                    longest = k;
                } else {
                    second = std::max(second, texts_[k].size());
                }
            }
            if (!longest)
                throw std::length_error("the kept names alone exceed 65,535 bytes");
            // A character costs at least one byte in each record that encodes it; the longest
            // text is cut no shorter than the next, so that long texts share the cut.
            std::u32string& text = texts_[*longest];
            const std::size_t share = text.size() > second ? text.size() - second : 0;
            const std::size_t drop = share > 0 ? std::min(over / 3, share) : over / 6;
            text.resize(text.size() - std::min(text.size(), std::max<std::size_t>(1, drop)));
            if (std::find(cut_.begin(), cut_.end(), *longest) == cut_.end())
                cut_.push_back(*longest);
            records = recordsNow();
        }
        table.bytes = buildNameTable(std::move(records), source_.format(), langTags);
        table.texts = texts_;
        table.changed = changed_;
        table.cutNameIDs = cut_;
        table.leftOut = leftOut_;
        return table;
    }

private:
    bool isLayoutRecord(const NameRecordFields& record) const {
        return std::any_of(layout_.begin(), layout_.end(), [&](const auto& key) {
            return record.platformID == key.platformID && record.encodingID == key.encodingID &&
                   record.languageID == key.languageID;
        });
    }

    // The source's prefix: its variations prefix where it has one, else its PostScript name's.
    std::u32string sourcePrefix(const std::u32string& sourcePostscript) const {
        for (std::size_t i = 0; i < source_.count(); ++i) {
            const NameRecordFields record = source_.record(i);
            const auto bytes = source_.stringOf(record);
            if (record.nameID != kVariationsPrefixID || !bytes)
                continue;
            if (auto text = decodedText(record.platformID, record.encodingID, *bytes))
                return *text;
        }
        return postscriptPrefixOf(sourcePostscript);
    }

    // The source's last record of a layout key, as the reader would take it.
    std::optional<std::string_view> sourceLayoutString(const NameRecordFields& key,
                                                       unsigned nameID) const {
        std::optional<std::string_view> found;
        for (std::size_t i = 0; i < source_.count(); ++i) {
            const NameRecordFields record = source_.record(i);
            if (record.platformID == key.platformID && record.encodingID == key.encodingID &&
                record.languageID == key.languageID && record.nameID == nameID)
                if (const auto bytes = source_.stringOf(record))
                    found = bytes;
        }
        return found;
    }

    // Whether the copy encodes the text of `nameID` itself in at least one record.
    bool encodedAnywhere(unsigned nameID) const {
        if (changed_[nameID])
            return true;
        return std::any_of(layout_.begin(), layout_.end(),
                           [&](const auto& key) { return !sourceLayoutString(key, nameID); });
    }

    // A record of the source with its text replaced; nothing, and said, when its encoding
    // cannot hold it.
    std::optional<NameRecordBytes> rewritten(const NameRecordFields& record,
                                             const std::u32string& text) const {
        auto bytes = encodeNameString(record.platformID, record.encodingID, text);
        if (!bytes) {
            leftOut_.push_back("The record of name ID " + std::to_string(record.nameID) +
                               " for platform " + std::to_string(record.platformID) +
                               ", encoding " + std::to_string(record.encodingID) + ", language " +
                               std::to_string(record.languageID) +
                               " cannot hold the new name in its encoding and was left out.");
            return std::nullopt;
        }
        return NameRecordBytes{record.platformID, record.encodingID, record.languageID,
                               record.nameID, std::move(*bytes)};
    }

    // An instance PostScript name that began with the old prefix begins with the new one.
    std::optional<std::u32string> instancePostscript(const NameRecordFields& record,
                                                     std::string_view bytes) const {
        const auto text = decodedText(record.platformID, record.encodingID, bytes);
        if (!text || oldPrefix_.empty() || text->compare(0, oldPrefix_.size(), oldPrefix_) != 0)
            return std::nullopt;
        return postscriptNameOf(newPrefix_ + text->substr(oldPrefix_.size()));
    }

    // What becomes of one source record: kept, rewritten or dropped.
    std::optional<NameRecordBytes> sourceRecord(const NameRecordFields& record,
                                                std::string_view bytes) const {
        const NameRecordBytes kept{record.platformID, record.encodingID, record.languageID,
                                   record.nameID, std::string(bytes)};
        const std::uint16_t id = record.nameID;
        if (id < 8)
            return changed_[id] || isLayoutRecord(record) ? std::nullopt : std::optional(kept);
        const bool family = changed_[kFamilyID];
        const bool style = changed_[kStyleID];
        const bool postscript = changed_[kPostscriptID];
        if ((id == kTypographicFamilyID || id == kWwsFamilyID) && family)
            return rewritten(record, texts_[kFamilyID]);
        if ((id == kTypographicStyleID || id == kWwsStyleID) && style)
            return rewritten(record, texts_[kStyleID]);
        if ((id == kCompatibleFullID && changed_[kFullNameID]) ||
            (id == kPostscriptCidID && postscript))
            return std::nullopt;
        if (id == kVariationsPrefixID && postscript)
            return rewritten(record, newPrefix_);
        if (postscript && references_.instancePostscriptNames.count(id) != 0)
            if (const auto name = instancePostscript(record, bytes))
                return rewritten(record, *name);
        return kept;
    }

    std::vector<NameRecordBytes> recordsNow() const {
        leftOut_.clear();
        std::vector<NameRecordBytes> records;
        std::set<std::uint16_t> present;
        for (std::size_t i = 0; i < source_.count(); ++i) {
            const NameRecordFields record = source_.record(i);
            // A string beyond the end of the file has no bytes to keep.
            const auto bytes = source_.stringOf(record);
            if (!bytes)
                continue;
            if (auto kept = sourceRecord(record, *bytes)) {
                present.insert(kept->nameID);
                records.push_back(std::move(*kept));
            }
        }
        for (std::uint16_t k = 0; k < 8; ++k) {
            if (texts_[k].empty())
                continue;
            present.insert(k);
            for (NameRecordFields key : layout_) {
                key.nameID = k;
                const auto own = changed_[k] ? std::nullopt : sourceLayoutString(key, k);
                if (own)
                    records.push_back(
                        {key.platformID, key.encodingID, key.languageID, k, std::string(*own)});
                else if (auto record = rewritten(key, texts_[k]))
                    records.push_back(std::move(*record));
            }
        }
        // A variable font's instances take their PostScript names from the prefix: where the
        // source left it to the family, which no longer gives a valid one once it has blanks,
        // the copy names it.
        if (changed_[kPostscriptID] && references_.variable && !newPrefix_.empty() &&
            present.count(kVariationsPrefixID) == 0)
            if (auto record = rewritten({kMicrosoftPlatform, layout_[1].encodingID, kUsEnglish,
                                         kVariationsPrefixID, 0, 0},
                                        newPrefix_))
                records.push_back(std::move(*record));
        // A name another table points at stays, in the source's own records, whatever the
        // rename would have done with it.
        for (std::size_t i = 0; i < source_.count(); ++i) {
            const NameRecordFields record = source_.record(i);
            const auto bytes = source_.stringOf(record);
            if (bytes && references_.referenced.count(record.nameID) != 0 &&
                present.count(record.nameID) == 0)
                records.push_back({record.platformID, record.encodingID, record.languageID,
                                   record.nameID, std::string(*bytes)});
        }
        return records;
    }

    const NameTableView& source_;
    const NameReferences& references_;
    const LayoutRecords layout_;
    FullNameTexts texts_;
    std::array<bool, 8> changed_{};
    std::u32string oldPrefix_;
    std::u32string newPrefix_;
    std::vector<unsigned> cut_;
    // Filled while the records are put together, each time anew.
    mutable std::vector<std::string> leftOut_;
};

} // namespace

RenamedNameTable buildRenamedNameTable(const NameTableView& source,
                                       const FullNameTexts& sourceTexts,
                                       const NewNameTexts& newTexts,
                                       const NameReferences& references) {
    return TablePlan(source, sourceTexts, newTexts, references).build();
}
