#include "core/ByteHelpers.h"
#include "core/EInOutError.h"
#include "core/FontFile.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint16_t NameRecordCount = 16;
constexpr std::uint16_t NameStringOffset = 6 + NameRecordCount * 12;
// The copy keeps the source's 1024-byte blocks but hands them to the system in larger runs.
constexpr std::size_t WriteRunSize = 64 * 1024;

class BigEndianOut {
public:
    void Word(std::uint16_t value) {
        Bytes.push_back(static_cast<char>(value >> 8));
        Bytes.push_back(static_cast<char>(value & 0xFF));
    }
    void Long(std::uint32_t value) {
        for (std::uint8_t b : SwapLong(value))
            Bytes.push_back(static_cast<char>(b));
    }
    void Text(const std::string& text) { Bytes += text; }
    std::string Bytes;
};

// The new name table: 8 Macintosh records, 8 Microsoft records, then the 8-bit and the
// two-byte strings, all for name IDs 0 to 7.
std::string BuildNameTable(const FontNames& names) {
    BigEndianOut out;
    out.Word(0);
    out.Word(NameRecordCount);
    out.Word(NameStringOffset);
    std::uint32_t runningOffset = 0;
    for (std::uint16_t k = 0; k < 8; ++k) {
        const auto n = static_cast<std::uint16_t>(names.TextOfNameID(k).size());
        for (std::uint16_t field : {std::uint16_t{1}, std::uint16_t{0}, std::uint16_t{0}, k, n,
                                    static_cast<std::uint16_t>(runningOffset)})
            out.Word(field);
        runningOffset += n;
    }
    // The running offset carries on into the Microsoft group.
    for (std::uint16_t k = 0; k < 8; ++k) {
        const auto n = static_cast<std::uint16_t>(2 * names.TextOfNameID(k).size());
        for (std::uint16_t field : {std::uint16_t{3}, std::uint16_t{1}, std::uint16_t{1033}, k, n,
                                    static_cast<std::uint16_t>(runningOffset)})
            out.Word(field);
        runningOffset += n;
    }
    for (unsigned k = 0; k < 8; ++k)
        out.Text(names.TextOfNameID(k));
    for (unsigned k = 0; k < 8; ++k)
        out.Text(WidenText(names.TextOfNameID(k)));
    return out.Bytes;
}

std::string RenamedMarker() {
    using namespace std::string_literals;
    return WidenText("\0\0"s) + WidenText(FontFile::RenamedMarkerText) + WidenText("\0\0"s);
}

// Until released, removes the file it guards: a partial copy never stays on disk.
class PartialCopy {
public:
    PartialCopy(FileHandle& copy, FileHandle& source, std::string path)
        : Copy_(copy), Source_(source), Path_(std::move(path)) {}
    ~PartialCopy() {
        if (Kept_)
            return;
        Copy_.Discard();
        Source_.Discard();
        ::unlink(Path_.c_str());
    }
    void Keep() { Kept_ = true; }

private:
    FileHandle& Copy_;
    FileHandle& Source_;
    std::string Path_;
    bool Kept_ = false;
};

} // namespace

void FontFile::WriteRenamedFont(const std::string& NewFontPath) {
    for (unsigned k = 0; k < 8; ++k)
        if (FontNames.TextOfNameID(k).size() > CapacityOfNameID(k))
            throw std::length_error("name text longer than its field");

    FileHandle copy = FileHandle::CreateNew(NewFontPath);
    PartialCopy partial(copy, FontFileHandle_, NewFontPath);

    CurrentFontPath = SourceFontPath;
    FontFileHandle_ = FileHandle::OpenShared(SourceFontPath);
    std::string run;
    run.reserve(WriteRunSize + ReadBuffer.size());
    for (;;) {
        const std::size_t got = FontFileHandle_.ReadNext(ReadBuffer.data(), ReadBuffer.size());
        if (got == 0)
            break;
        run.append(reinterpret_cast<const char*>(ReadBuffer.data()), got);
        if (run.size() >= WriteRunSize) {
            copy.WriteAll(run.data(), run.size());
            run.clear();
        }
    }
    copy.WriteAll(run.data(), run.size());
    FontFileHandle_.Close();

    const std::uint64_t sourceSize = copy.Size();
    const std::string table = BuildNameTable(FontNames);
    // Offsets in a font file are 32 bits wide.
    if (sourceSize + table.size() + TrailerSize > std::numeric_limits<std::uint32_t>::max())
        throw EInOutError(EFBIG);
    const auto S = static_cast<std::uint32_t>(sourceSize);
    const auto L = static_cast<std::uint32_t>(table.size());
    const std::string marker = RenamedMarker();
    copy.WriteAt(S, table.data(), table.size());
    copy.WriteAt(std::uint64_t{S} + L, marker.data(), marker.size());

    std::uint8_t word[2];
    copy.ReadExact(4, word, 2);
    const std::uint16_t numTables = BytesToWord(word);
    for (std::uint32_t i = 0; i < numTables; ++i) {
        std::uint8_t entry[16];
        const std::uint64_t entryPosition = 12 + 16 * std::uint64_t{i};
        copy.ReadExact(entryPosition, entry, 16);
        if (LowerCaseAscii(std::string_view(reinterpret_cast<const char*>(entry), 4)) != "name")
            continue;
        // Save where the source's names are, then point the entry at the new table; only the
        // first `name` entry is patched.
        copy.WriteAt(copy.Size(), entry + 8, 8);
        BigEndianOut location;
        location.Long(S);
        location.Long(L);
        copy.WriteAt(entryPosition + 8, location.Bytes.data(), 8);
        break;
    }
    // The copy is on disk before it is reported as written.
    copy.Sync();
    copy.Close();
    partial.Keep();
}
