// Fuzz entry point for everything that parses a font file: the reader, make and restore. Any
// byte sequence must give a reader text or a record; a restore that fails leaves the file as
// it was; a font that reads is either refused by make or gives a copy that reads as the new
// names, restores to the source's names, and comes back byte for byte from a second restore.
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FullNameTexts.h"
#include "core/NameSwap.h"
#include "core/RenamedFontWriter.h"
#include "core/Windows1252.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class ScratchFiles {
public:
    ScratchFiles() {
        // Memory-backed, so the syncs cost nothing.
        char pattern[] = "/dev/shm/qmfuzz-XXXXXX";
        char fallback[] = "/tmp/qmfuzz-XXXXXX";
        const char* dir = ::mkdtemp(pattern);
        if (dir == nullptr)
            dir = ::mkdtemp(fallback);
        if (dir == nullptr)
            std::abort();
        dir_ = dir;
    }
    ~ScratchFiles() {
        ::unlink(Input().c_str());
        ::unlink(Copy().c_str());
        ::rmdir(dir_.c_str());
    }
    std::string Input() const { return dir_ + "/INPUT.TTF"; }
    std::string Copy() const { return dir_ + "/COPY.TTF"; }

private:
    std::string dir_;
};

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<char> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Check(bool invariant) {
    if (!invariant)
        std::abort();
}

// A restore either swaps, and a second one gives the file back, or leaves it untouched.
void CheckRestoreIsTruthful(const std::string& path) {
    const std::vector<char> before = Contents(path);
    const SwapResult first = SwapNameTables(path);
    // Nothing here can keep a change from being confirmed.
    Check(first.Outcome != SwapOutcome::soNotConfirmed);
    if (first.Outcome != SwapOutcome::soSwapped) {
        Check(Contents(path) == before);
        return;
    }
    Check(!first.Read.ReadFailed && first.Read.IsRenamed);
    const std::vector<char> swapped = Contents(path);
    const SwapResult second = SwapNameTables(path);
    if (second.Outcome == SwapOutcome::soSwapped)
        Check(Contents(path) == before || swapped == before);
    else
        Check(Contents(path) == swapped);
}

void CheckMakeAndRestore(const ScratchFiles& files, const FontRead& source) {
    ::unlink(files.Copy().c_str());
    FontNames asked = source.FontNames;
    asked.FamilyName = "Fuzz";
    asked.FullName = "Fuzz Full";
    try {
        WriteRenamedFont(files.Input(), files.Copy(), asked);
    } catch (const EMakeRefused&) {
        struct stat st {};
        Check(::lstat(files.Copy().c_str(), &st) != 0);
        return;
    }
    const std::vector<char> published = Contents(files.Copy());
    const FontRead copy = ReadFontNames(files.Copy());
    Check(!copy.ReadFailed && copy.IsRenamed);
    for (unsigned id = 0; id < 8; ++id)
        Check(copy.FontNames.TextOfNameID(id) == namesAsRead(asked).TextOfNameID(id));
    const SwapResult restored = SwapNameTables(files.Copy());
    Check(restored.Outcome == SwapOutcome::soSwapped);
    Check(restored.Read.FontNames == source.FontNames);
    Check(SwapNameTables(files.Copy()).Outcome == SwapOutcome::soSwapped);
    Check(Contents(files.Copy()) == published);
}

// The command line's view: every record listed, the whole texts taken in Unicode, and a copy
// with a family beyond Windows-1252 carries exactly that family in its Microsoft record.
void CheckWholeTexts(const ScratchFiles& files, bool makeCopy) {
    const FontNameTables tables = listFontNameTables(files.Input());
    if (!tables.problem.empty())
        return;
    FullNameTexts texts = readFullNameTexts(tables.live);
    // The plain read takes the same texts in one pass over the table's bytes, into strings
    // kept from the inputs before.
    static FullNameTextsUtf8 reused;
    const FileHandle file = FileHandle::OpenSharedIfFile(files.Input());
    std::string problem;
    Check(readFullNameTexts(FileFontBytes(file), reused, problem));
    for (unsigned k = 0; k < 8; ++k)
        Check(reused[k] == Utf32ToUtf8(texts[k]));
    texts[1] = U"F\u00FCzz \u65E5\U0001F600";
    std::vector<unsigned> cut;
    const NameStrings strings = nameStringsOfFullTexts(texts, cut);
    BuildNameTable(strings);
    if (!makeCopy)
        return;
    ::unlink(files.Copy().c_str());
    try {
        WriteRenamedFont(files.Input(), files.Copy(), strings, FontKinds::TrueTypeAndCff);
    } catch (const EMakeRefused&) {
        return;
    }
    const FontNameTables copy = listFontNameTables(files.Copy());
    Check(copy.problem.empty() && copy.saved.has_value());
    Check(readFullNameTexts(copy.live)[1] == texts[1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFiles files;
    Write(files.Input(), data, size);
    try {
        const FontRead read = ReadFontNames(files.Input());
        Check(read.ReadFailed || read.ErrorText == FontRead::kUnknownErrorText);
        CheckRestoreIsTruthful(files.Input());
        const FontRead source = ReadFontNames(files.Input());
        if (!source.ReadFailed && size < 64 * 1024)
            CheckMakeAndRestore(files, source);
        const FontRead anySfnt = ReadFontNames(files.Input(), FontKinds::TrueTypeAndCff);
        CheckWholeTexts(files, !anySfnt.ReadFailed && size < 64 * 1024);
    } catch (const EInOutError&) {
        // The files are ours, unlocked and unchanging: a raised error is a fault.
        std::abort();
    }
    return 0;
}
