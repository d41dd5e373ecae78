#include "core/FontFile.h"

#include "core/ByteHelpers.h"
#include "core/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

constexpr std::uint32_t HeadMagicNumber = 0x5F0F3CF5;
constexpr std::size_t ReadWindowSize = 2048;
constexpr std::uint16_t MicrosoftPlatform = 3;
constexpr std::uint16_t MacintoshPlatform = 1;
constexpr std::uint16_t UsEnglish = 1033;
constexpr std::uint16_t MacEnglish = 0;

bool TagIs(const std::uint8_t* tag, std::string_view lowerTag) {
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint8_t c = tag[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<std::uint8_t>(c - 'A' + 'a');
        if (c != static_cast<std::uint8_t>(lowerTag[i]))
            return false;
    }
    return true;
}

// Family and full names store U+2122, which arrives as '!' '"', as the one character 0x99.
std::string WithTradeMarkSign(std::string text, std::size_t capacity) {
    text = CutText(text, capacity);
    const std::size_t pair = text.find("!\"");
    if (pair != std::string::npos)
        text.replace(pair, 2, "\x99");
    return CutText(text, capacity);
}

} // namespace

std::uint32_t FontFile::DirectoryEntry::Offset() const {
    return BytesToLong(Bytes.data() + 8);
}

bool IsRenamedMarkerProbe(const std::uint8_t* probe) {
    const std::string text =
        CleanNameText(std::string_view(reinterpret_cast<const char*>(probe), 34));
    return text == FontFile::RenamedMarkerText || text == FontFile::MakerSignature;
}

void FontFile::Fail(const char* text) {
    ErrorText = text;
    ReadFailed = true;
    FontFileHandle_.Discard();
}

bool FontFile::TestedRead(void* buffer, std::size_t count) {
    const std::uint64_t end = Position_ + count;
    if (Position_ < WindowStart_ || end > WindowStart_ + WindowLength_) {
        if (Window_.size() < std::max(count, ReadWindowSize))
            Window_.resize(std::max(count, ReadWindowSize));
        const long long got = FontFileHandle_.TryRead(Position_, Window_.data(), Window_.size());
        WindowStart_ = Position_;
        WindowLength_ = got > 0 ? static_cast<std::size_t>(got) : 0;
        if (got < 0) {
            ReadStatus = static_cast<std::uint16_t>(ErrorCodeOfErrno(static_cast<int>(-got)));
            return false;
        }
    }
    if (end > WindowStart_ + WindowLength_) {
        // Fewer bytes than asked for: the read failed.
        ReadStatus = EInOutError::ReadBeyondEndCode;
        return false;
    }
    std::memcpy(buffer, Window_.data() + (Position_ - WindowStart_), count);
    Position_ = end;
    ReadStatus = 0;
    return true;
}

std::uint16_t FontFile::ReadWordBE() {
    if (ReadStatus != 0)
        return 0;
    std::uint8_t word[2];
    if (!TestedRead(word, 2))
        return 0;
    return BytesToWord(word);
}

void FontFile::ReadFontNames(const std::string& path) {
    ReadStatus = 0;
    ReadFailed = false;
    ErrorText = UnknownErrorText;
    // A stale flag from the previous file must not describe this one, even after a failure.
    IsRenamed = false;
    NameEntry_.reset();
    HeadEntry_.reset();
    FontNames.Reset();
    WindowStart_ = 0;
    WindowLength_ = 0;

    // Opening is also the existence test: a folder does not count as a file.
    try {
        FontFileHandle_ = FileHandle::OpenSharedIfFile(path);
    } catch (const EInOutError&) {
        CurrentFontPath = path; // the file is there, it just cannot be opened
        throw;
    }
    if (!FontFileHandle_.IsOpen()) {
        Fail(FileNotFoundText);
        return;
    }
    CurrentFontPath = path;
    // However this call leaves, the handle is closed.
    struct CloseOnExit {
        FileHandle& File;
        ~CloseOnExit() { File.Discard(); }
    } closeOnExit{FontFileHandle_};

    Seek(0);
    const std::uint16_t major = ReadWordBE();
    ReadWordBE(); // minor half, not tested
    if (major < 1 || major > 5) {
        Fail(NotTrueTypeText);
        return;
    }

    Seek(4);
    const std::uint16_t numTables = ReadWordBE();
    Seek(12);
    for (std::uint16_t i = 0; i < numTables; ++i) {
        DirectoryEntry entry;
        if (!TestedRead(ReadBuffer.data(), 16))
            break;
        std::copy_n(ReadBuffer.begin(), 16, entry.Bytes.begin());
        // A later entry with the same tag wins.
        if (TagIs(entry.Bytes.data(), "name"))
            NameEntry_ = entry;
        else if (TagIs(entry.Bytes.data(), "head"))
            HeadEntry_ = entry;
    }
    if (!NameEntry_ || !HeadEntry_ || ReadStatus != 0) {
        Fail(NoTableEntryText);
        return;
    }

    ReadNameRecords(NameEntry_->Offset());
    if (ReadFailed)
        return;

    const std::uint32_t headOffset = HeadEntry_->Offset();
    if (ReadHeadMagic(headOffset) != HeadMagicNumber) {
        Fail(MagicMismatchText);
        return;
    }
    Seek(std::uint64_t{headOffset} + 44);
    // After a cut-off name record ReadStatus is still set, so the style bits read as zero.
    const std::uint16_t macStyle = ReadWordBE();
    FontNames.Bold = (macStyle & 0x0001) != 0;
    FontNames.Italic = (macStyle & 0x0002) != 0;

    if (FontNames.FamilyName.empty() || FontNames.FullName.empty()) {
        Fail(FontNameIncorrectText);
        return;
    }

    IsRenamed = ProbeRenamedMarker();
    FontFileHandle_.Close();
}

void FontFile::ReadNameRecords(std::uint32_t nameOffset) {
    Seek(std::uint64_t{nameOffset} + 2);
    const std::uint16_t count = ReadWordBE();
    Seek(std::uint64_t{nameOffset} + 4);
    const std::uint16_t stringOffset = ReadWordBE();

    for (std::uint32_t i = 0; i < count; ++i) {
        Seek(std::uint64_t{nameOffset} + 6 + 12 * std::uint64_t{i});
        // The six words in one read; once a record is cut off, it and every later one read as
        // zeros (ReadStatus stays set) and are skipped: the names found so far may still make a
        // usable font.
        if (ReadStatus != 0 || !TestedRead(ReadBuffer.data(), 12))
            continue;
        const std::uint16_t platformID = BytesToWord(ReadBuffer.data());
        // encodingID at +2 is ignored: a symbol font's 0 is as good as 1.
        const std::uint16_t languageID = BytesToWord(ReadBuffer.data() + 4);
        const std::uint16_t nameID = BytesToWord(ReadBuffer.data() + 6);
        const std::uint16_t length = BytesToWord(ReadBuffer.data() + 8);
        const std::uint16_t offset = BytesToWord(ReadBuffer.data() + 10);
        const bool english = (platformID == MicrosoftPlatform && languageID == UsEnglish) ||
                             (platformID == MacintoshPlatform && languageID == MacEnglish);
        if (!english || nameID >= 8)
            continue;
        // The documented position is a 32-bit sum; beyond the file the read simply fails.
        Seek(static_cast<std::uint32_t>(nameOffset + stringOffset + offset));
        // No field keeps more than 127 characters, so a longer string is read to the buffer's size.
        const std::size_t toRead = std::min<std::size_t>(length, ReadBuffer.size());
        if (!TestedRead(ReadBuffer.data(), toRead)) {
            Fail(NameTableIncorrectText);
            return;
        }
        StoreNameText(nameID, CleanNameText(std::string_view(
                                  reinterpret_cast<const char*>(ReadBuffer.data()), toRead)));
    }
}

void FontFile::StoreNameText(std::uint16_t nameID, const std::string& text) {
    switch (nameID) {
    case 1:
        FontNames.FamilyName = WithTradeMarkSign(text, FontNames::FamilyNameCapacity);
        return;
    case 4:
        FontNames.FullName = WithTradeMarkSign(text, FontNames::FullNameCapacity);
        return;
    case 2:
        FontNames.Style = CutText(text, FontNames::StyleCapacity);
        return;
    default:
        // The other names keep an earlier text (or the placeholder) over an empty one.
        if (!text.empty())
            FontNames.TextOfNameID(nameID) = CutText(text, CapacityOfNameID(nameID));
        return;
    }
}

std::uint32_t FontFile::ReadHeadMagic(std::uint32_t headOffset) {
    std::uint8_t magic[4];
    // A head table that cannot be read counts as a wrong magic number.
    const long long got = FontFileHandle_.TryRead(std::uint64_t{headOffset} + 12, magic, 4);
    if (got != 4)
        return 0;
    return BytesToLong(magic);
}

bool FontFile::ProbeRenamedMarker() {
    const std::uint64_t size = FontFileHandle_.OpenedSize();
    // Too short to carry the trailer: not renamed.
    if (size < MarkerProbeDistance)
        return false;
    FontFileHandle_.ReadExact(size - MarkerProbeDistance, ReadBuffer.data(), MarkerProbeSize);
    return IsRenamedMarkerProbe(ReadBuffer.data());
}
