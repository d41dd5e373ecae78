// Fuzz entry point for everything that parses a font file: the reader, make and restore. Any
// byte sequence must give a reader text or a record; a restore that fails leaves the file as
// it was; a font that reads is either refused by make or gives a copy that reads as the new
// names, keeps every other record of the source byte for byte, restores to the source's names,
// and comes back byte for byte from a second restore.
#include "core/EInOutError.h"
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontCollection.h"
#include "core/FullNameTexts.h"
#include "core/NameRecords.h"
#include "core/NameReferences.h"
#include "core/NameSwap.h"
#include "core/RenamedFontWriter.h"
#include "core/TableDirectory.h"
#include "core/WebFont.h"
#include "core/Windows1252.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <tuple>
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
        ::unlink(input().c_str());
        ::unlink(copy().c_str());
        ::rmdir(dir_.c_str());
    }
    std::string input() const { return dir_ + "/INPUT.TTF"; }
    std::string copy() const { return dir_ + "/COPY.TTF"; }

private:
    std::string dir_;
};

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<char> contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void check(bool invariant) {
    if (!invariant)
        std::abort();
}

// A restore either swaps or leaves the file untouched. After a swap the copy is settled: the
// first restore may have completed a swap an earlier run left half done, so the file need not
// come back to what it was, but every later pair of restores gives it back byte for byte.
void checkRestoreIsTruthful(const std::string& path) {
    const std::vector<char> before = contents(path);
    const SwapResult first = swapNameTables(path);
    // Nothing here can keep a change from being confirmed.
    check(first.outcome != SwapOutcome::NotConfirmed);
    if (first.outcome != SwapOutcome::Swapped) {
        check(contents(path) == before);
        return;
    }
    check(!first.read.ReadFailed && first.read.IsRenamed);
    const std::vector<char> swapped = contents(path);
    // A swap never saves a location that would not restore.
    check(swapNameTables(path).outcome == SwapOutcome::Swapped);
    check(swapNameTables(path).outcome == SwapOutcome::Swapped);
    check(contents(path) == swapped);
}

// Every record of the source that a rename neither writes nor contradicts is in the copy,
// byte for byte, and the copy's records are sorted as OpenType requires.
void checkKeptRecords(const std::string& source, const std::string& copy) {
    const FontNameTables before = listFontNameTables(source);
    const FontNameTables after = listFontNameTables(copy);
    check(after.problem.empty() && after.live.problem.empty());
    using Key = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::string>;
    std::multiset<Key> written;
    const NameRecordEntry* previous = nullptr;
    for (const NameRecordEntry& r : after.live.records) {
        if (previous)
            check(std::tie(previous->platformID, previous->encodingID, previous->languageID,
                           previous->nameID) <=
                  std::tie(r.platformID, r.encodingID, r.languageID, r.nameID));
        previous = &r;
        written.insert(Key{r.platformID, r.encodingID, r.languageID, r.nameID, r.bytes});
    }
    const FileHandle sourceFile = FileHandle::openSharedIfFile(source);
    const NameReferences references = findNameReferences(FileFontBytes(sourceFile));
    for (const NameRecordEntry& r : before.live.records) {
        const bool rewritable = r.nameID < 8 || (r.nameID >= 16 && r.nameID <= 22) ||
                                r.nameID == 25 ||
                                references.instancePostscriptNames.count(r.nameID) != 0;
        if (r.missing || rewritable)
            continue;
        const auto found =
            written.find(Key{r.platformID, r.encodingID, r.languageID, r.nameID, r.bytes});
        check(found != written.end());
        written.erase(found);
    }
}

// A copy made from any sfnt (a CFF font's with its CFF table too) restores, and a second
// restore gives it back byte for byte.
void checkCopyRestoresWhole(const std::string& copy) {
    const std::vector<char> published = contents(copy);
    check(swapNameTables(copy, FontKinds::TrueTypeAndCff).outcome == SwapOutcome::Swapped);
    check(swapNameTables(copy, FontKinds::TrueTypeAndCff).outcome == SwapOutcome::Swapped);
    check(contents(copy) == published);
}

void checkMakeAndRestore(const ScratchFiles& files, const FontRead& source) {
    ::unlink(files.copy().c_str());
    FontNames asked = source.FontNames;
    asked.FamilyName = "Fuzz";
    asked.FullName = "Fuzz Full";
    try {
        WriteRenamedFont(files.input(), files.copy(), asked);
    } catch (const EMakeRefused&) {
        struct stat st {};
        check(::lstat(files.copy().c_str(), &st) != 0);
        return;
    }
    const std::vector<char> published = contents(files.copy());
    const FontRead copy = ReadFontNames(files.copy());
    check(!copy.ReadFailed && copy.IsRenamed);
    check(copy.FontNames.FamilyName == asked.FamilyName &&
          copy.FontNames.FullName == asked.FullName);
    checkKeptRecords(files.input(), files.copy());
    const SwapResult restored = swapNameTables(files.copy());
    check(restored.outcome == SwapOutcome::Swapped);
    check(restored.read.FontNames == source.FontNames);
    check(swapNameTables(files.copy()).outcome == SwapOutcome::Swapped);
    check(contents(files.copy()) == published);
}

// The command line's view: every record listed, the whole texts taken in Unicode, and a copy
// with a family beyond Windows-1252 carries exactly that family in its Microsoft record.
void checkWholeTexts(const ScratchFiles& files, bool makeCopy) {
    const FontNameTables tables = listFontNameTables(files.input());
    if (!tables.problem.empty())
        return;
    const FullNameTexts texts = readFullNameTexts(tables.live);
    // The plain read takes the same texts in one pass over the table's bytes, into strings
    // kept from the inputs before.
    static FullNameTextsUtf8 reused;
    const FileHandle file = FileHandle::openSharedIfFile(files.input());
    std::string problem;
    check(readFullNameTexts(FileFontBytes(file), reused, problem));
    for (unsigned k = 0; k < 8; ++k)
        check(reused[k] == utf32ToUtf8(texts[k]));
    if (!makeCopy)
        return;
    NewNameTexts newTexts;
    newTexts[1] = U"F\u00FCzz \u65E5\U0001F600";
    ::unlink(files.copy().c_str());
    std::vector<unsigned> cut;
    try {
        cut = WriteRenamedFont(files.input(), files.copy(), newTexts, texts,
                               FontKinds::TrueTypeAndCff)
                  .cutNameIDs;
    } catch (const EMakeRefused&) {
        return;
    }
    const FontNameTables copy = listFontNameTables(files.copy());
    check(copy.problem.empty() && copy.saved.has_value());
    check(readFullNameTexts(copy.live)[1] == *newTexts[1] ||
          std::find(cut.begin(), cut.end(), 1u) != cut.end());
    checkCopyRestoresWhole(files.copy());
}

// A collection: every face reads or says why; a face that reads reads the same taken out as a
// font of its own; a copy of a collection whose faces all read carries the new family in every
// face, restores every face to the source's names, and a second restore gives it back byte for
// byte.
void checkCollection(const ScratchFiles& files, bool makeCopy) {
    std::vector<qm::core::FacePlan> plans;
    std::vector<FontRead> sources;
    {
        const FileHandle file = FileHandle::openSharedIfFile(files.input());
        const FileFontBytes bytes(file);
        if (!qm::core::isCollection(bytes))
            return;
        std::string problem;
        const std::optional<qm::core::Collection> collection =
            qm::core::readCollection(bytes, problem);
        if (!collection) {
            check(!problem.empty());
            return;
        }
        for (std::size_t i = 0; i < collection->faceOffsets.size(); ++i) {
            const std::optional<qm::core::FaceFontBytes> face =
                qm::core::faceOf(bytes, *collection, i, problem);
            if (!face) {
                check(!problem.empty());
                makeCopy = false;
                continue;
            }
            const FontRead read = ReadFontNames(*face, FontKinds::TrueTypeAndCff);
            FullNameTextsUtf8 texts;
            if (read.ReadFailed || !readFullNameTexts(*face, texts, problem)) {
                makeCopy = false;
                continue;
            }
            // Taken out, a table keeps the bytes its entry's length covers: where the reader
            // reads past a short entry, the font on its own may read otherwise.
            const TableLookup name = findTable(*face, "name");
            const TableLookup head = findTable(*face, "head");
            std::string held;
            const bool readsInsideEntries =
                name.entry && head.entry && head.entry->length >= 54 &&
                nameTableBytes(*face, name.entry->offset, held).size() <= name.entry->length;
            const std::optional<std::string> alone = qm::core::standaloneFace(bytes, i, problem);
            if (alone && readsInsideEntries) {
                const std::string copy(*alone);
                struct Bytes : FontBytes {
                    const std::string& data;
                    explicit Bytes(const std::string& d) : data(d) {}
                    std::uint64_t size() const override { return data.size(); }
                    std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                                       std::size_t count) const override {
                        if (position >= data.size())
                            return 0;
                        const std::size_t n =
                            std::min<std::uint64_t>(count, data.size() - position);
                        std::copy_n(data.data() + position, n, buffer);
                        return n;
                    }
                };
                const FontRead outside = ReadFontNames(Bytes(copy), FontKinds::TrueTypeAndCff);
                check(!outside.ReadFailed && outside.FontNames == read.FontNames);
            }
            qm::core::FacePlan plan;
            for (unsigned k = 0; k < 8; ++k)
                plan.plannedTexts[k] = utf8ToUtf32(texts[k]);
            plan.newTexts[1] = U"F\u00FCzz";
            plans.push_back(plan);
            sources.push_back(read);
        }
        if (!makeCopy || plans.size() != collection->faceOffsets.size())
            return;
    }
    ::unlink(files.copy().c_str());
    try {
        qm::core::writeRenamedCollection(files.input(), files.copy(), plans);
    } catch (const EMakeRefused&) {
        struct stat st {};
        check(::lstat(files.copy().c_str(), &st) != 0);
        return;
    }
    const std::vector<char> published = contents(files.copy());
    const qm::core::CollectionSwapResult restored = qm::core::swapCollection(files.copy());
    check(restored.outcome == SwapOutcome::Swapped && restored.reads.size() == sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
        check(restored.reads[i].FontNames == sources[i].FontNames);
    const qm::core::CollectionSwapResult again = qm::core::swapCollection(files.copy());
    check(again.outcome == SwapOutcome::Swapped);
    for (const FontRead& read : again.reads)
        check(read.FontNames.FamilyName == "F\xFCzz");
    check(contents(files.copy()) == published);
}

// A web font decodes or says why; a decoded font that reads gives a renamed web font of the
// same format that decodes to a font with the new family, or is refused with nothing written.
void checkWebFont(const ScratchFiles& files, bool makeCopy) {
    std::string sfnt;
    {
        const FileHandle file = FileHandle::openSharedIfFile(files.input());
        const FileFontBytes bytes(file);
        const qm::core::WebFormat format = qm::core::webFormatOf(bytes);
        if (format == qm::core::WebFormat::None)
            return;
        std::string problem;
        const std::optional<std::string> decoded = qm::core::decodeWebFont(bytes, problem);
        if (!decoded) {
            check(!problem.empty());
            return;
        }
        sfnt = *decoded;
    }
    const qm::core::MemoryFontBytes font(sfnt);
    const FontRead read = ReadFontNames(font, FontKinds::TrueTypeAndCff);
    FullNameTextsUtf8 texts;
    std::string problem;
    if (!makeCopy || read.ReadFailed || !readFullNameTexts(font, texts, problem))
        return;
    FullNameTexts planned;
    for (unsigned k = 0; k < 8; ++k)
        planned[k] = utf8ToUtf32(texts[k]);
    NewNameTexts newTexts;
    newTexts[1] = U"F\u00FCzz";
    ::unlink(files.copy().c_str());
    try {
        qm::core::writeRenamedWebFont(files.input(), files.copy(), newTexts, planned);
    } catch (const EMakeRefused&) {
        struct stat st {};
        check(::lstat(files.copy().c_str(), &st) != 0);
        return;
    }
    const FileHandle copy = FileHandle::openSharedIfFile(files.copy());
    const std::optional<std::string> decoded =
        qm::core::decodeWebFont(FileFontBytes(copy), problem);
    check(decoded.has_value());
    const FontRead renamed =
        ReadFontNames(qm::core::MemoryFontBytes(*decoded), FontKinds::TrueTypeAndCff);
    check(!renamed.ReadFailed && renamed.FontNames.FamilyName == "F\xFCzz");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFiles files;
    writeFile(files.input(), data, size);
    try {
        const FontRead read = ReadFontNames(files.input());
        check(read.ReadFailed || read.ErrorText == FontRead::kUnknownErrorText);
        checkRestoreIsTruthful(files.input());
        const FontRead source = ReadFontNames(files.input());
        if (!source.ReadFailed && size < 64 * 1024)
            checkMakeAndRestore(files, source);
        const FontRead anySfnt = ReadFontNames(files.input(), FontKinds::TrueTypeAndCff);
        checkWholeTexts(files, !anySfnt.ReadFailed && size < 64 * 1024);
        checkCollection(files, size < 64 * 1024);
        checkWebFont(files, size < 64 * 1024);
    } catch (const EInOutError&) {
        // The files are ours, unlocked and unchanging: a raised error is a fault.
        std::abort();
    }
    return 0;
}
