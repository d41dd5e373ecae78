#include "core/WebFont.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontReader.h"
#include "core/ScratchFile.h"
#include "core/TableDirectory.h"
#include "core/UnpublishedCopy.h"

#include "core/WebFontCodecs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace qm::core {

namespace {

constexpr std::size_t kWoffHeaderSize = 44;
constexpr std::size_t kWoffEntrySize = 20;
// Deflate cannot expand data more than about 1032 times: a table that claims more is a lie,
// refused before its memory is taken.
constexpr std::uint64_t kMostDeflateRatio = 1032;

std::uint32_t wordOf(std::string_view bytes, std::size_t at) {
    return BytesToLong(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at);
}

std::uint16_t halfOf(std::string_view bytes, std::size_t at) {
    return bytesToWord(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at);
}

void putWord(std::string& out, std::size_t at, std::uint32_t value) {
    const auto bytes = SwapLong(value);
    std::memcpy(out.data() + at, bytes.data(), 4);
}

void appendWord(std::string& out, std::uint32_t value) {
    out.append(4, '\0');
    putWord(out, out.size() - 4, value);
}

void appendHalf(std::string& out, unsigned value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

std::uint64_t paddedToFour(std::uint64_t size) {
    return (size + 3) / 4 * 4;
}

std::string wholeFile(const FontBytes& file) {
    std::string bytes(file.size(), '\0');
    if (file.readAt(0, reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()) != bytes.size())
        throw EInOutError::readBeyondEnd();
    return bytes;
}

// The sfnt header for `numTables` tables of `flavor`, with its search fields.
std::string sfntHeader(std::uint32_t flavor, unsigned numTables) {
    std::string header;
    appendWord(header, flavor);
    unsigned entrySelector = 0;
    while ((2u << entrySelector) <= numTables)
        ++entrySelector;
    const unsigned searchRange = numTables == 0 ? 0 : (1u << entrySelector) * 16;
    appendHalf(header, numTables);
    appendHalf(header, searchRange);
    appendHalf(header, numTables == 0 ? 0 : entrySelector);
    appendHalf(header, numTables * 16 - searchRange);
    return header;
}

// WOFF 1.0: every table stored or deflated, laid out again as the sfnt it was.
std::optional<std::string> decodeWoff(std::string_view woff, std::string& problem) {
    if (woff.size() < kWoffHeaderSize || wordOf(woff, 8) != woff.size()) {
        problem = "The WOFF font's header does not match its size.";
        return std::nullopt;
    }
    const unsigned numTables = halfOf(woff, 12);
    const std::uint64_t claimed = wordOf(woff, 16);
    if (numTables == 0 || kWoffHeaderSize + kWoffEntrySize * numTables > woff.size()) {
        problem = "The WOFF font's table directory runs past the end of the file.";
        return std::nullopt;
    }
    std::uint64_t decodedSize = kDirectoryStart + kDirectoryEntrySize * numTables;
    for (unsigned i = 0; i < numTables; ++i) {
        const std::size_t entry = kWoffHeaderSize + kWoffEntrySize * i;
        const std::uint64_t offset = wordOf(woff, entry + 4);
        const std::uint64_t compLength = wordOf(woff, entry + 8);
        const std::uint64_t origLength = wordOf(woff, entry + 12);
        if (offset + compLength > woff.size() || compLength > origLength ||
            origLength > compLength * kMostDeflateRatio + 64) {
            problem = "The WOFF font's table " + std::to_string(i) + " does not fit the file.";
            return std::nullopt;
        }
        decodedSize += paddedToFour(origLength);
    }
    if (decodedSize != claimed || claimed > kLargestDecodedFont) {
        problem = "The WOFF font's decoded size lies: it claims " + std::to_string(claimed) +
                  " bytes, its tables make " + std::to_string(decodedSize) + ".";
        return std::nullopt;
    }

    std::string sfnt = sfntHeader(wordOf(woff, 4), numTables);
    sfnt.resize(kDirectoryStart + kDirectoryEntrySize * numTables);
    for (unsigned i = 0; i < numTables; ++i) {
        const std::size_t entry = kWoffHeaderSize + kWoffEntrySize * i;
        const std::uint32_t offset = wordOf(woff, entry + 4);
        const std::uint32_t compLength = wordOf(woff, entry + 8);
        const std::uint32_t origLength = wordOf(woff, entry + 12);
        const std::size_t at = sfnt.size();
        sfnt.resize(at + origLength);
        if (compLength == origLength) {
            std::memcpy(sfnt.data() + at, woff.data() + offset, origLength);
        } else {
            if (!inflateInto(woff.substr(offset, compLength), sfnt.data() + at, origLength)) {
                problem = "The WOFF font's table " + std::to_string(i) + " does not inflate.";
                return std::nullopt;
            }
        }
        sfnt.resize(paddedToFour(sfnt.size()));
        char* out = sfnt.data() + kDirectoryStart + kDirectoryEntrySize * i;
        std::memcpy(out, woff.data() + entry, 4);
        std::memcpy(out + 4, woff.data() + entry + 16, 4);
        putWord(sfnt, kDirectoryStart + kDirectoryEntrySize * i + 8,
                static_cast<std::uint32_t>(at));
        putWord(sfnt, kDirectoryStart + kDirectoryEntrySize * i + 12, origLength);
    }
    return sfnt;
}

std::optional<std::string> decodeWoff2Font(std::string_view woff2, std::string& problem) {
    const std::uint64_t claimed = woff2.size() >= 20 ? wordOf(woff2, 16) : 0;
    if (claimed > kLargestDecodedFont) {
        problem = "The WOFF2 font claims to decode to " + std::to_string(claimed) +
                  " bytes, more than a web font is read to.";
        return std::nullopt;
    }
    std::string sfnt;
    switch (decodeWoff2(woff2, claimed, sfnt)) {
    case Woff2Decoded::BeyondClaimed:
        problem = "The WOFF2 font's decoded size lies: it decodes to more than the " +
                  std::to_string(claimed) + " bytes it claims.";
        return std::nullopt;
    case Woff2Decoded::Failed:
        problem = "The WOFF2 font does not decode.";
        return std::nullopt;
    case Woff2Decoded::Decoded:
        break;
    }
    if (sfnt.size() != claimed) {
        problem = "The WOFF2 font's decoded size lies: it claims " + std::to_string(claimed) +
                  " bytes and decodes to " + std::to_string(sfnt.size()) + ".";
        return std::nullopt;
    }
    return sfnt;
}

std::optional<std::string> decodeWebFont(std::string_view bytes, WebFormat format,
                                         std::string& problem) {
    problem = webFontCodecsMissing();
    if (!problem.empty())
        return std::nullopt;
    return format == WebFormat::Woff ? decodeWoff(bytes, problem) : decodeWoff2Font(bytes, problem);
}

// WOFF 1.0 of `sfnt` (a font as standaloneFont lays it out): each table deflated where that
// makes it smaller, the directory sorted by tag as the format asks, and `extra` (the source's
// metadata and private blocks, with their header fields) carried over.
struct WoffBlocks {
    std::string metadata;
    std::uint32_t metaOrigLength = 0;
    std::string privateData;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
};

std::string encodeWoff(std::string_view sfnt, const WoffBlocks& blocks) {
    const unsigned numTables = halfOf(sfnt, 4);
    std::map<std::string, std::size_t> byTag;
    for (unsigned i = 0; i < numTables; ++i)
        byTag.emplace(std::string(sfnt.substr(kDirectoryStart + kDirectoryEntrySize * i, 4)), i);
    std::string woff(kWoffHeaderSize + kWoffEntrySize * byTag.size(), '\0');
    std::size_t slot = 0;
    for (const auto& [tag, i] : byTag) {
        const std::size_t entry = kDirectoryStart + kDirectoryEntrySize * i;
        const std::uint32_t offset = wordOf(sfnt, entry + 8);
        const std::uint32_t length = wordOf(sfnt, entry + 12);
        // A table is stored as it is where deflating does not make it smaller.
        std::string stored = deflated(sfnt.substr(offset, length)).value_or(std::string());
        if (stored.empty() || stored.size() >= length)
            stored.assign(sfnt.substr(offset, length));
        const std::size_t out = kWoffHeaderSize + kWoffEntrySize * slot++;
        std::memcpy(woff.data() + out, tag.data(), 4);
        putWord(woff, out + 4, static_cast<std::uint32_t>(woff.size()));
        putWord(woff, out + 8, static_cast<std::uint32_t>(stored.size()));
        putWord(woff, out + 12, length);
        putWord(woff, out + 16, wordOf(sfnt, entry + 4));
        woff += stored;
        woff.resize(paddedToFour(woff.size()));
    }
    std::memcpy(woff.data(), "wOFF", 4);
    std::memcpy(woff.data() + 4, sfnt.data(), 4);
    putWord(woff, 12, numTables << 16);
    putWord(woff, 16, static_cast<std::uint32_t>(sfnt.size()));
    putWord(woff, 20, (std::uint32_t{blocks.majorVersion} << 16) | blocks.minorVersion);
    if (!blocks.metadata.empty()) {
        putWord(woff, 24, static_cast<std::uint32_t>(woff.size()));
        putWord(woff, 28, static_cast<std::uint32_t>(blocks.metadata.size()));
        putWord(woff, 32, blocks.metaOrigLength);
        woff += blocks.metadata;
    }
    if (!blocks.privateData.empty()) {
        woff.resize(paddedToFour(woff.size()));
        putWord(woff, 36, static_cast<std::uint32_t>(woff.size()));
        putWord(woff, 40, static_cast<std::uint32_t>(blocks.privateData.size()));
        woff += blocks.privateData;
    }
    putWord(woff, 8, static_cast<std::uint32_t>(woff.size()));
    return woff;
}

// The blocks of a WOFF 1.0 source that the copy carries over, when they lie inside the file.
WoffBlocks woffBlocksOf(std::string_view woff) {
    WoffBlocks blocks;
    blocks.majorVersion = halfOf(woff, 20);
    blocks.minorVersion = halfOf(woff, 22);
    const std::uint64_t metaOffset = wordOf(woff, 24);
    const std::uint64_t metaLength = wordOf(woff, 28);
    if (metaLength != 0 && metaOffset + metaLength <= woff.size()) {
        blocks.metadata.assign(woff.substr(metaOffset, metaLength));
        blocks.metaOrigLength = wordOf(woff, 32);
    }
    const std::uint64_t privOffset = wordOf(woff, 36);
    const std::uint64_t privLength = wordOf(woff, 40);
    if (privLength != 0 && privOffset + privLength <= woff.size())
        blocks.privateData.assign(woff.substr(privOffset, privLength));
    return blocks;
}

// The tables of an sfnt by tag, head without its checkSumAdjustment, which an encoder may
// work out anew.
std::map<std::string, std::string> tablesOf(std::string_view sfnt) {
    std::map<std::string, std::string> tables;
    if (sfnt.size() < kDirectoryStart)
        return tables;
    const unsigned numTables = halfOf(sfnt, 4);
    for (unsigned i = 0; i < numTables; ++i) {
        const std::size_t entry = kDirectoryStart + kDirectoryEntrySize * i;
        if (entry + kDirectoryEntrySize > sfnt.size())
            return {};
        const std::uint64_t offset = wordOf(sfnt, entry + 8);
        const std::uint64_t length = wordOf(sfnt, entry + 12);
        if (offset + length > sfnt.size())
            return {};
        std::string table(sfnt.substr(offset, length));
        if (sfnt.substr(entry, 4) == "head" && length >= 12)
            std::memset(table.data() + 8, 0, 4);
        tables[std::string(sfnt.substr(entry, 4))] = std::move(table);
    }
    return tables;
}

} // namespace

WebFormat webFormatOf(const FontBytes& font) {
    std::uint8_t tag[4];
    if (font.readAt(0, tag, 4) != 4)
        return WebFormat::None;
    if (std::memcmp(tag, "wOFF", 4) == 0)
        return WebFormat::Woff;
    if (std::memcmp(tag, "wOF2", 4) == 0)
        return WebFormat::Woff2;
    return WebFormat::None;
}

std::optional<std::string> decodeWebFont(const FontBytes& file, std::string& problem) {
    const WebFormat format = webFormatOf(file);
    // The file itself is no larger than its decoded font could ever be read to.
    if (file.size() > kLargestDecodedFont) {
        problem = "The web font is larger than a web font is read to.";
        return std::nullopt;
    }
    return decodeWebFont(wholeFile(file), format, problem);
}

std::optional<std::string> encodeWebFont(std::string_view sfnt, WebFormat format) {
    return format == WebFormat::Woff ? encodeWoff(sfnt, WoffBlocks{}) : encodeWoff2(sfnt);
}

std::size_t MemoryFontBytes::readAt(std::uint64_t position, std::uint8_t* buffer,
                                    std::size_t count) const {
    if (position >= bytes_.size())
        return 0;
    const std::size_t got = std::min<std::uint64_t>(count, bytes_.size() - position);
    std::memcpy(buffer, bytes_.data() + position, got);
    return got;
}

bool MemoryFontBytes::view(std::uint64_t position, std::size_t count,
                           std::string_view& bytes) const {
    if (position > bytes_.size())
        return false;
    bytes = bytes_.substr(position, count);
    return true;
}

MadeCopy writeRenamedWebFont(const std::string& sourcePath, const std::string& newPath,
                             const NewNameTexts& newTexts, const FullNameTexts& plannedTexts) {
    std::string source;
    {
        const FileHandle file = FileHandle::openShared(sourcePath);
        const FileFontBytes bytes(file);
        if (bytes.size() > kLargestDecodedFont)
            throw EMakeRefused("The web font is larger than a web font is read to.");
        source = wholeFile(bytes);
    }
    const WebFormat format = webFormatOf(MemoryFontBytes(source));
    std::string problem;
    const std::optional<std::string> sfnt = decodeWebFont(source, format, problem);
    if (!sfnt)
        throw EMakeRefused(problem);

    // Renamed as any font, then its tables taken out of the copy, without the source's names
    // that only a restore would use.
    MadeCopy made;
    std::string renamed;
    {
        const ScratchFile decoded("quillmark-web", *sfnt);
        const ScratchFile copy = ScratchFile::freeName("quillmark-web");
        made = WriteRenamedFont(decoded.path(), copy.path(), newTexts, plannedTexts,
                                FontKinds::TrueTypeAndCff);
        const FileHandle file = FileHandle::openShared(copy.path());
        const std::string copied = wholeFile(FileFontBytes(file));
        const std::optional<std::string> font = standaloneFont(MemoryFontBytes(copied), 0, problem);
        if (!font)
            throw EMakeRefused(problem);
        renamed = *font;
    }
    const std::optional<std::string> encoded = format == WebFormat::Woff
                                                   ? encodeWoff(renamed, woffBlocksOf(source))
                                                   : encodeWoff2(renamed);
    if (!encoded)
        throw EMakeRefused("The renamed font could not be encoded as WOFF2; no copy was made.");
    if (format == WebFormat::Woff2 && wordOf(source, 28) != 0)
        made.warnings.push_back("The WOFF2 font's metadata is not carried over to the copy.");
    made.readBack = ReadFontNames(MemoryFontBytes(renamed), FontKinds::TrueTypeAndCff).FontNames;

    if (pathIsTaken(newPath))
        throw EInOutError::ofCreate(EEXIST);
    UnpublishedCopy copy(newPath);
    copy.file().writeAll(encoded->data(), encoded->size());
    copy.file().sync();
    // Published only when the file as written decodes to exactly the renamed tables.
    copy.file().refreshSize();
    const std::string written = wholeFile(FileFontBytes(copy.file()));
    const std::optional<std::string> decoded = decodeWebFont(written, format, problem);
    const std::map<std::string, std::string> tables = tablesOf(renamed);
    if (written != *encoded || !decoded || tables.empty() || tablesOf(*decoded) != tables)
        throw EMakeRefused(EMakeRefused::kNotReadBackText);
    copy.publish(newPath);
    return made;
}

} // namespace qm::core
