// Fuzz entry point for everything that parses a font file: the reader, the writer's directory
// scan and the restore swap. Any byte sequence must give a reader text or a record, and two
// swaps must give the file back unchanged.
#include "core/EInOutError.h"
#include "core/FontFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class ScratchFiles {
public:
    ScratchFiles() {
        // Memory-backed, so the restore's sync costs nothing.
        char pattern[] = "/dev/shm/qmfuzz-XXXXXX";
        char fallback[] = "/tmp/qmfuzz-XXXXXX";
        const char* dir = ::mkdtemp(pattern);
        if (dir == nullptr)
            dir = ::mkdtemp(fallback);
        if (dir == nullptr)
            std::abort();
        Dir_ = dir;
    }
    ~ScratchFiles() {
        ::unlink(Input().c_str());
        ::unlink(Copy().c_str());
        ::rmdir(Dir_.c_str());
    }
    std::string Input() const { return Dir_ + "/INPUT.TTF"; }
    std::string Copy() const { return Dir_ + "/COPY.TTF"; }

private:
    std::string Dir_;
};

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<char> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How many directory entries are tagged `name`, in any case.
int NameEntryCount(const std::uint8_t* data, std::size_t size) {
    if (size < 6)
        return 0;
    const std::size_t numTables = std::size_t{data[4]} << 8 | data[5];
    int count = 0;
    for (std::size_t i = 0; i < numTables && 12 + 16 * (i + 1) <= size; ++i) {
        const std::uint8_t* tag = data + 12 + 16 * i;
        bool isName = true;
        for (int k = 0; k < 4; ++k)
            isName = isName && (tag[k] | 0x20) == static_cast<std::uint8_t>("name"[k]);
        count += isName ? 1 : 0;
    }
    return count;
}

void CheckTwoSwapsRestore(FontFile& font, const std::string& path) {
    const std::vector<char> before = Contents(path);
    const SwapOutcome first = font.SwapNameTables(path);
    if (first != SwapOutcome::soSwapped)
        return;
    // The second swap may refuse (the entry pointed at something that is no name table), but
    // when it swaps, the file must be exactly as before.
    if (font.SwapNameTables(path) == SwapOutcome::soSwapped && Contents(path) != before)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFiles files;
    Write(files.Input(), data, size);
    FontFile font;
    try {
        font.ReadFontNames(files.Input());
        if (!font.ReadFailed && font.ErrorText != FontFile::UnknownErrorText)
            std::abort();
        CheckTwoSwapsRestore(font, files.Input());
        font.ReadFontNames(files.Input());
        if (!font.ReadFailed && size < 64 * 1024) {
            ::unlink(files.Copy().c_str());
            font.SourceFontPath = files.Input();
            font.FontNames.FamilyName = "Fuzz";
            font.WriteRenamedFont(files.Copy());
            font.ReadFontNames(files.Copy());
            // With two `name` entries the reader keeps the last while the writer patches the
            // first, so only a font with one entry must read back with its new family.
            const bool oneNameEntry = NameEntryCount(data, size) == 1;
            if (oneNameEntry &&
                (font.ReadFailed || !font.IsRenamed || font.FontNames.FamilyName != "Fuzz"))
                std::abort();
            CheckTwoSwapsRestore(font, files.Copy());
        }
    } catch (const EInOutError&) {
        // The files are ours, unlocked and unchanging: a raised error is a fault.
        std::abort();
    }
    return 0;
}
