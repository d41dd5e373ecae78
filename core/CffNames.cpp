#include "core/CffNames.h"

#include "core/Windows1252.h"

#include <cstdint>
#include <vector>

namespace qm::core {
namespace {

// Top DICT and Font DICT operators; the escaped ones are 1200 + their second byte.
constexpr int kFullNameOp = 2;
constexpr int kFamilyNameOp = 3;
constexpr int kCharsetOp = 15;
constexpr int kEncodingOp = 16;
constexpr int kCharStringsOp = 17;
constexpr int kPrivateOp = 18;
constexpr int kFdArrayOp = 1236;
constexpr int kFdSelectOp = 1237;
// The first string ID of the String INDEX; the ones below are the standard strings.
constexpr std::uint32_t kFirstCustomSid = 391;
// charset 0-2 and Encoding 0-1 name predefined tables, not offsets.
constexpr std::int64_t kLastPredefinedCharset = 2;
constexpr std::int64_t kLastPredefinedEncoding = 1;

// One INDEX: its items, and where it ends.
struct Index {
    std::vector<std::string_view> items;
    std::size_t end = 0;
};

std::uint32_t readOffset(std::string_view bytes, std::size_t at, unsigned size) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < size; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Every item must lie inside `table`, in order: an INDEX that says otherwise is not parsed.
std::optional<Index> parseIndex(std::string_view table, std::size_t at) {
    if (at > table.size() || table.size() - at < 2)
        return std::nullopt;
    Index index;
    const std::size_t count = readOffset(table, at, 2);
    if (count == 0) {
        index.end = at + 2;
        return index;
    }
    if (table.size() - at < 3)
        return std::nullopt;
    const unsigned offSize = static_cast<std::uint8_t>(table[at + 2]);
    if (offSize < 1 || offSize > 4)
        return std::nullopt;
    const std::size_t offsetsAt = at + 3;
    const std::size_t offsetsSize = (count + 1) * offSize;
    if (table.size() - offsetsAt < offsetsSize)
        return std::nullopt;
    // Offsets count from the byte before the data.
    const std::size_t dataBase = offsetsAt + offsetsSize - 1;
    std::uint32_t previous = readOffset(table, offsetsAt, offSize);
    if (previous != 1)
        return std::nullopt;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::uint32_t next = readOffset(table, offsetsAt + i * offSize, offSize);
        if (next < previous || next > table.size() - dataBase)
            return std::nullopt;
        index.items.push_back(table.substr(dataBase + previous, next - previous));
        previous = next;
    }
    index.end = dataBase + previous;
    return index;
}

std::string buildIndex(const std::vector<std::string_view>& items) {
    std::string out;
    const auto count = static_cast<std::uint16_t>(items.size());
    out += static_cast<char>(count >> 8);
    out += static_cast<char>(count & 0xFF);
    if (items.empty())
        return out;
    std::uint64_t last = 1;
    for (const std::string_view item : items)
        last += item.size();
    unsigned offSize = 1;
    while (offSize < 4 && last >= (std::uint64_t{1} << (8 * offSize)))
        ++offSize;
    out += static_cast<char>(offSize);
    std::uint64_t offset = 1;
    auto putOffset = [&](std::uint64_t value) {
        for (unsigned i = offSize; i-- > 0;)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    putOffset(offset);
    for (const std::string_view item : items) {
        offset += item.size();
        putOffset(offset);
    }
    for (const std::string_view item : items)
        out.append(item);
    return out;
}

// One DICT entry: its operands as numbers (where they are integers), their bytes, and the
// operator.
struct DictEntry {
    std::vector<std::int64_t> operands;
    std::vector<bool> integer;
    std::string_view bytes; // operands and operator, as stored
    int op = 0;
};

// Reads the DICT data in `dict` into entries; false when it is malformed.
bool parseDict(std::string_view dict, std::vector<DictEntry>& entries) {
    std::size_t at = 0;
    std::size_t entryStart = 0;
    DictEntry entry;
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(dict[i]); };
    while (at < dict.size()) {
        const std::uint8_t b0 = byte(at);
        if (b0 <= 21) {
            int op = b0;
            if (b0 == 12) {
                if (dict.size() - at < 2)
                    return false;
                op = 1200 + byte(at + 1);
                at += 2;
            } else {
                at += 1;
            }
            entry.op = op;
            entry.bytes = dict.substr(entryStart, at - entryStart);
            entries.push_back(std::move(entry));
            entry = DictEntry{};
            entryStart = at;
        } else if (b0 >= 32 && b0 <= 246) {
            entry.operands.push_back(b0 - 139);
            entry.integer.push_back(true);
            at += 1;
        } else if (b0 >= 247 && b0 <= 254) {
            if (dict.size() - at < 2)
                return false;
            const std::int64_t b1 = byte(at + 1);
            entry.operands.push_back(b0 <= 250 ? (b0 - 247) * 256 + b1 + 108
                                               : -(b0 - 251) * 256 - b1 - 108);
            entry.integer.push_back(true);
            at += 2;
        } else if (b0 == 28) {
            if (dict.size() - at < 3)
                return false;
            entry.operands.push_back(static_cast<std::int16_t>((byte(at + 1) << 8) | byte(at + 2)));
            entry.integer.push_back(true);
            at += 3;
        } else if (b0 == 29) {
            if (dict.size() - at < 5)
                return false;
            entry.operands.push_back(static_cast<std::int32_t>(
                (std::uint32_t{byte(at + 1)} << 24) | (std::uint32_t{byte(at + 2)} << 16) |
                (std::uint32_t{byte(at + 3)} << 8) | std::uint32_t{byte(at + 4)}));
            entry.integer.push_back(true);
            at += 5;
        } else if (b0 == 30) {
            // A real: nibbles up to the end nibble 0xF.
            ++at;
            bool ended = false;
            while (at < dict.size() && !ended) {
                const std::uint8_t b = byte(at++);
                ended = (b >> 4) == 0xF || (b & 0xF) == 0xF;
            }
            if (!ended)
                return false;
            entry.operands.push_back(0);
            entry.integer.push_back(false);
        } else {
            return false; // reserved
        }
    }
    // Operands without an operator.
    return entry.operands.empty();
}

void putOperator(std::string& out, int op) {
    if (op >= 1200) {
        out += '\x0C';
        out += static_cast<char>(op - 1200);
    } else {
        out += static_cast<char>(op);
    }
}

// Offsets are written in the fixed 5-byte form, so that the DICT's size does not depend on
// where the data it leads to ends up.
void putFixedInteger(std::string& out, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    out += '\x1D';
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

bool singleInteger(const DictEntry& entry) {
    return entry.operands.size() == 1 && entry.integer[0];
}

// The parts of a CFF table that its names live in.
struct CffFront {
    std::size_t headerSize = 0;
    std::string_view fontName;
    std::vector<DictEntry> topDict;
    Index strings;
    std::size_t globalSubrsAt = 0;
    std::size_t end = 0; // where the Global Subr INDEX ends: the font's data follows
};

std::optional<CffFront> parseFront(std::string_view table, std::string& problem) {
    CffFront front;
    if (table.size() < 4 || static_cast<std::uint8_t>(table[0]) != 1) {
        problem = "the CFF table's header is not that of CFF version 1";
        return std::nullopt;
    }
    front.headerSize = static_cast<std::uint8_t>(table[2]);
    const auto names = parseIndex(table, front.headerSize);
    const auto topDicts = names ? parseIndex(table, names->end) : std::nullopt;
    const auto strings = topDicts ? parseIndex(table, topDicts->end) : std::nullopt;
    const auto globalSubrs = strings ? parseIndex(table, strings->end) : std::nullopt;
    if (front.headerSize < 4 || !globalSubrs) {
        problem = "the CFF table's INDEX structures cannot be read";
        return std::nullopt;
    }
    if (names->items.size() != 1 || topDicts->items.size() != 1) {
        problem = "the CFF table holds other than one font";
        return std::nullopt;
    }
    if (!parseDict(topDicts->items[0], front.topDict)) {
        problem = "the CFF table's Top DICT cannot be read";
        return std::nullopt;
    }
    front.fontName = names->items[0];
    front.strings = *strings;
    front.globalSubrsAt = strings->end;
    front.end = globalSubrs->end;
    return front;
}

std::optional<std::string> stringOfSid(const CffFront& front, const DictEntry& entry) {
    if (!singleInteger(entry) || entry.operands[0] < kFirstCustomSid ||
        entry.operands[0] - kFirstCustomSid >= std::int64_t(front.strings.items.size()))
        return std::nullopt;
    return std::string(front.strings.items[entry.operands[0] - kFirstCustomSid]);
}

// The font's data after the front moves by `shift`; every offset that leads into it follows.
class OffsetShift {
public:
    OffsetShift(std::size_t oldFrontEnd, std::size_t tableSize, std::int64_t shift)
        : oldFrontEnd_(oldFrontEnd), tableSize_(tableSize), shift_(shift) {}
    // False when `offset` (with `size` bytes behind it) does not lead into the data.
    bool move(std::int64_t offset, std::int64_t size, std::int64_t& moved) const {
        if (offset < std::int64_t(oldFrontEnd_) || size < 0 ||
            offset > std::int64_t(tableSize_) - size)
            return false;
        moved = offset + shift_;
        return true;
    }

private:
    std::size_t oldFrontEnd_;
    std::size_t tableSize_;
    std::int64_t shift_;
};

// A Font DICT of a CID-keyed font with its Private offset moved; the rest is kept.
bool rewriteFontDict(std::string_view dict, const OffsetShift& shift, std::string& out) {
    std::vector<DictEntry> entries;
    if (!parseDict(dict, entries))
        return false;
    for (const DictEntry& entry : entries) {
        if (entry.op != kPrivateOp) {
            out.append(entry.bytes);
            continue;
        }
        std::int64_t moved = 0;
        if (entry.operands.size() != 2 || !entry.integer[0] || !entry.integer[1] ||
            !shift.move(entry.operands[1], entry.operands[0], moved))
            return false;
        putFixedInteger(out, entry.operands[0]);
        putFixedInteger(out, moved);
        putOperator(out, kPrivateOp);
    }
    return true;
}

} // namespace

std::optional<CffNames> readCffNames(std::string_view table, std::string& problem) {
    const auto front = parseFront(table, problem);
    if (!front)
        return std::nullopt;
    CffNames names;
    names.fontName = std::string(front->fontName);
    for (const DictEntry& entry : front->topDict) {
        if (entry.op == kFullNameOp)
            names.fullName = stringOfSid(*front, entry);
        else if (entry.op == kFamilyNameOp)
            names.familyName = stringOfSid(*front, entry);
    }
    return names;
}

std::optional<std::string> renameCffTable(std::string_view table, const CffNames& names,
                                          std::string& problem) {
    const auto front = parseFront(table, problem);
    if (!front)
        return std::nullopt;

    // The old strings stay where they are, since other entries may use them; the new names
    // are added after them.
    std::vector<std::string_view> strings = front->strings.items;
    std::optional<std::int64_t> fullNameSid;
    std::optional<std::int64_t> familyNameSid;
    auto addString = [&](const std::optional<std::string>& text) -> std::optional<std::int64_t> {
        if (!text)
            return std::nullopt;
        strings.push_back(*text);
        return kFirstCustomSid + strings.size() - 1;
    };
    for (const DictEntry& entry : front->topDict) {
        if (entry.op == kFullNameOp && !fullNameSid)
            fullNameSid = addString(names.fullName);
        else if (entry.op == kFamilyNameOp && !familyNameSid)
            familyNameSid = addString(names.familyName);
    }
    if (strings.size() > 0xFFFF - kFirstCustomSid) {
        problem = "the CFF table's String INDEX is full";
        return std::nullopt;
    }

    const std::string_view data = table.substr(front->end);
    std::string fdArray;
    // The Top DICT for the data moved by `shift`; the same size whatever the shift.
    auto topDict = [&](std::int64_t shiftBy, std::size_t fdArrayAt, std::string& out) {
        const OffsetShift shift(front->end, table.size(), shiftBy);
        out.clear();
        for (const DictEntry& entry : front->topDict) {
            std::int64_t moved = 0;
            const bool offset = singleInteger(entry);
            switch (entry.op) {
            case kFullNameOp:
            case kFamilyNameOp: {
                const auto& sid = entry.op == kFullNameOp ? fullNameSid : familyNameSid;
                if (!sid) {
                    out.append(entry.bytes);
                    continue;
                }
                putFixedInteger(out, *sid);
                break;
            }
            case kCharsetOp:
            case kEncodingOp:
                if (offset &&
                    entry.operands[0] <= (entry.op == kCharsetOp ? kLastPredefinedCharset
                                                                 : kLastPredefinedEncoding)) {
                    out.append(entry.bytes);
                    continue;
                }
                [[fallthrough]];
            case kCharStringsOp:
            case kFdSelectOp:
                if (!offset || !shift.move(entry.operands[0], 0, moved))
                    return false;
                putFixedInteger(out, moved);
                break;
            case kPrivateOp:
                if (entry.operands.size() != 2 || !entry.integer[0] || !entry.integer[1] ||
                    !shift.move(entry.operands[1], entry.operands[0], moved))
                    return false;
                putFixedInteger(out, entry.operands[0]);
                putFixedInteger(out, moved);
                break;
            case kFdArrayOp:
                putFixedInteger(out, std::int64_t(fdArrayAt));
                break;
            default:
                out.append(entry.bytes);
                continue;
            }
            putOperator(out, entry.op);
        }
        return true;
    };

    const std::string fontName = names.fontName;
    const std::string stringIndex = buildIndex(strings);
    const std::string_view globalSubrs =
        table.substr(front->globalSubrsAt, front->end - front->globalSubrsAt);
    std::string dict;
    if (!topDict(0, 0, dict)) {
        problem = "an offset in the CFF table's Top DICT leads outside its data";
        return std::nullopt;
    }
    const std::string head =
        std::string(table.substr(0, front->headerSize)) + buildIndex({fontName});
    const std::size_t frontSize =
        head.size() + buildIndex({dict}).size() + stringIndex.size() + globalSubrs.size();
    const std::int64_t shift = std::int64_t(frontSize) - std::int64_t(front->end);
    const std::size_t fdArrayAt = frontSize + data.size();

    // A CID-keyed font's Font DICTs lead to their Private DICTs by offsets from the table's
    // start: the FDArray is rebuilt with them moved and put after the data, where its new size
    // moves nothing.
    for (const DictEntry& entry : front->topDict) {
        if (entry.op != kFdArrayOp)
            continue;
        std::int64_t unused = 0;
        const OffsetShift check(front->end, table.size(), 0);
        const auto fonts = singleInteger(entry) && check.move(entry.operands[0], 0, unused)
                               ? parseIndex(table, std::size_t(entry.operands[0]))
                               : std::nullopt;
        if (!fonts) {
            problem = "the CFF table's FDArray cannot be read";
            return std::nullopt;
        }
        std::vector<std::string> dicts(fonts->items.size());
        for (std::size_t i = 0; i < dicts.size(); ++i)
            if (!rewriteFontDict(fonts->items[i], OffsetShift(front->end, table.size(), shift),
                                 dicts[i])) {
                problem = "a Font DICT of the CFF table cannot be moved";
                return std::nullopt;
            }
        fdArray = buildIndex(std::vector<std::string_view>(dicts.begin(), dicts.end()));
    }

    topDict(shift, fdArrayAt, dict);
    std::string out = head + buildIndex({dict}) + stringIndex;
    out.append(globalSubrs);
    out.append(data);
    out += fdArray;
    return out;
}

std::string cffStringOfUtf8(std::string_view utf8) {
    std::string out;
    for (const char32_t c : utf8ToUtf32(utf8))
        out += c <= 0xFF ? static_cast<char>(c) : '?';
    return out;
}

} // namespace qm::core
