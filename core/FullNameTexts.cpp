#include "core/FullNameTexts.h"

#include "core/ByteHelpers.h"
#include "core/ByteWords.h"
#include "core/FontNames.h"
#include "core/NamePlatforms.h"
#include "core/NameStringDecoding.h"
#include "core/NameTableView.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

// Below 0x80 the code page is ASCII: no table look-up for most characters.
char32_t unicodeOfCodePage(unsigned char c) {
    return c < 0x80 ? char32_t{c} : unicodeOfWindows1252(c);
}

// Builds a cleaned text in UTF-8 as its characters come: NULs dropped, blanks and controls
// before the first other character skipped and after the last one cut. Written in place into
// room made beforehand: this runs for every character of every font a read lists.
class CleanUtf8Text {
public:
    CleanUtf8Text(std::string& out, std::size_t room) : out_(out) {
        out_.resize(room);
        begin_ = next_ = out_.data();
    }

    void add(char32_t c) {
        if (c > U' ' && c < 0x7F) {
            *next_++ = static_cast<char>(c);
        } else if (c <= U' ') {
            if (c != U'\0' && next_ != begin_)
                *next_++ = static_cast<char>(c);
        } else {
            next_ = putUtf8(next_, c);
        }
    }

    // Whether a character other than a blank or control was added.
    bool begun() const { return next_ != begin_; }

    // Printable ASCII, and blanks once begun(): none of the checks of add().
    void addPlain(const char* chars, std::size_t count) {
        std::memcpy(next_, chars, count);
        next_ += count;
    }

    // Cuts the blanks and controls after the last other character: in UTF-8 they are the
    // bytes up to 0x20, which no other character's encoding ends in.
    void finish() {
        while (next_ != begin_ && static_cast<unsigned char>(next_[-1]) <= 0x20)
            --next_;
        out_.resize(static_cast<std::size_t>(next_ - begin_));
    }

private:
    std::string& out_;
    char* begin_;
    char* next_;
};

// Whether all eight bytes of `word` are printable ASCII, or blanks too once a
// text has begun (the blanks at its end are cut when it is finished). Below 0x80, adding 0x60
// reaches 0x80 from 0x20 on, 0x5F from 0x21 on and 0x01 from 0x7F on; none carries into the
// next byte.
bool allPlainAscii(std::uint64_t word, bool blanksToo) {
    constexpr std::uint64_t kHigh = everyByte(0x80);
    const std::uint64_t fromLowest = blanksToo ? everyByte(0x60) : everyByte(0x5F);
    return (word & kHigh) == 0 && ((word + fromLowest) & kHigh) == kHigh &&
           ((word + everyByte(0x01)) & kHigh) == 0;
}

// A string as the reader sees it, cleaned as CleanNameText cleans, in UTF-8: Macintosh Roman
// bytes are their characters (other Macintosh encodings' bytes Windows-1252 codes), Microsoft
// units up to 0xFF Windows-1252 codes, as copies of earlier versions hold the trade mark sign;
// a Microsoft character beyond U+00FF stays what it is. Runs of printable ASCII, most of any
// name, go eight bytes at a time.
void cleanReadersText(std::uint16_t platformID, std::uint16_t encodingID, std::string_view bytes,
                      std::string& out) {
    constexpr bool kLittleEndian = std::endian::native == std::endian::little;
    // A byte or unit takes at most 3 bytes of UTF-8, a surrogate pair 4.
    const bool macintosh = platformID == kMacintoshPlatform;
    CleanUtf8Text text(out, macintosh ? 3 * bytes.size() : 3 * (bytes.size() / 2));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    if (macintosh) {
        while (i < bytes.size()) {
            while (bytes.size() - i >= 8 &&
                   allPlainAscii(loadWord(bytes.data() + i), text.begun())) {
                text.addPlain(bytes.data() + i, 8);
                i += 8;
            }
            if (i < bytes.size()) {
                const unsigned char c = data[i++];
                text.add(encodingID == 0 ? unicodeOfMacRoman(c) : unicodeOfCodePage(c));
            }
        }
        text.finish();
        return;
    }
    while (i + 1 < bytes.size()) {
        if constexpr (kLittleEndian) {
            // Four units with a zero high byte: their low bytes are checked with the high ones
            // read as 'A'.
            constexpr std::uint64_t kHighBytes = 0x00FF00FF00FF00FF;
            constexpr std::uint64_t kHighAsA = 0x0041004100410041;
            while (bytes.size() - i >= 8) {
                const std::uint64_t word = loadWord(bytes.data() + i);
                if ((word & kHighBytes) != 0 || !allPlainAscii(word | kHighAsA, text.begun()))
                    break;
                const char lows[4] = {bytes[i + 1], bytes[i + 3], bytes[i + 5], bytes[i + 7]};
                text.addPlain(lows, 4);
                i += 8;
            }
            if (i + 1 >= bytes.size())
                break;
        }
        char32_t unit = (char32_t{data[i]} << 8) | data[i + 1];
        i += 2;
        if (unit <= 0xFF) {
            text.add(unicodeOfCodePage(static_cast<unsigned char>(unit)));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < bytes.size()) {
            const char32_t low = (char32_t{data[i]} << 8) | data[i + 1];
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text.add(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
    }
    text.finish();
}

// What the texts need of one record; no bytes when its string lies beyond the end of the file.
struct TextRecord {
    std::uint16_t platformID;
    std::uint16_t encodingID;
    std::uint16_t languageID;
    std::uint16_t nameID;
    std::optional<std::string_view> bytes;
};

// The reader's rule over `count` records in table order, `recordAt(i)` giving the i-th: the
// last English record that gives a name ID its text wins. The records are read from the end, so
// a text once settled is never decoded again; a name no record settles gets its placeholder.
template <class RecordAt>
void settleTexts(std::size_t count, RecordAt recordAt, FullNameTextsUtf8& texts) {
    static const FullNameTextsUtf8 kResetTexts = [] {
        const FontNames reset;
        FullNameTextsUtf8 utf8;
        for (unsigned k = 0; k < 8; ++k)
            utf8[k] = windows1252ToUtf8(reset.textOfNameID(k));
        return utf8;
    }();
    unsigned settled = 0;
    while (count-- > 0 && settled != 0xFF) {
        const TextRecord record = recordAt(count);
        const unsigned nameID = record.nameID;
        if (nameID >= 8 || (settled & (1u << nameID)) != 0 ||
            !isEnglishRecord(record.platformID, record.languageID) || !record.bytes)
            continue;
        cleanReadersText(record.platformID, record.encodingID, *record.bytes, texts[nameID]);
        if (!texts[nameID].empty() || takesEmptyText(nameID))
            settled |= 1u << nameID;
    }
    for (unsigned k = 0; k < 8; ++k)
        if ((settled & (1u << k)) == 0)
            texts[k] = kResetTexts[k];
}

} // namespace

namespace {

// Appends the characters of `text` as PostScript allows them while they fit `room` whole.
void appendPostscript(std::u32string& name, std::u32string_view text, std::size_t room) {
    for (char32_t c : text) {
        std::u32string character(1, c);
        if (c <= U' ' || c >= 0x7F ||
            std::u32string_view(U"[](){}<>/%").find(c) != std::u32string_view::npos) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "u%04X", static_cast<unsigned>(c));
            character.assign(hex, hex + std::strlen(hex));
        }
        if (name.size() + character.size() > room)
            return;
        name += character;
    }
}

} // namespace

std::u32string postscriptNameOf(const std::u32string& derived) {
    // The family part gives way first, so that a long family keeps its style ("-Bold").
    const std::size_t dash = std::min(derived.find(U'-'), derived.size());
    std::u32string style;
    appendPostscript(style, std::u32string_view(derived).substr(dash), kPostscriptNameLength);
    std::u32string name;
    appendPostscript(name, std::u32string_view(derived).substr(0, dash),
                     kPostscriptNameLength - style.size());
    return name + style;
}

void readFullNameTexts(const NameTableListing& listing, FullNameTextsUtf8& texts) {
    settleTexts(
        listing.records.size(),
        [&](std::size_t i) {
            const NameRecordEntry& entry = listing.records[i];
            return TextRecord{entry.platformID, entry.encodingID, entry.languageID, entry.nameID,
                              entry.missing ? std::nullopt
                                            : std::optional<std::string_view>(entry.bytes)};
        },
        texts);
}

FullNameTexts readFullNameTexts(const NameTableListing& listing) {
    FullNameTextsUtf8 utf8;
    readFullNameTexts(listing, utf8);
    FullNameTexts texts;
    for (unsigned k = 0; k < 8; ++k)
        texts[k] = utf8ToUtf32(utf8[k]);
    return texts;
}

void readFullNameTexts(std::string_view bytes, FullNameTextsUtf8& texts) {
    // As the listing: the records up to the first that runs past the end; a string beyond the
    // end of the file gives no text.
    const NameTableView table(bytes);
    settleTexts(
        table.count(),
        [&](std::size_t i) {
            const NameRecordFields record = table.record(i);
            return TextRecord{record.platformID, record.encodingID, record.languageID,
                              record.nameID, table.stringOf(record)};
        },
        texts);
}

bool readFullNameTexts(const FontBytes& font, FullNameTextsUtf8& texts, std::string& problem) {
    const auto offset = liveNameTableOffset(font, problem);
    if (!offset)
        return false;
    std::string copy;
    readFullNameTexts(nameTableBytes(font, *offset, copy), texts);
    return true;
}
