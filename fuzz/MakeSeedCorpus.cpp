// Writes the fuzzer's seed corpus: usual, renamed, restored and broken fonts from the builder.
#include "core/FileHandle.h"
#include "core/FontBytes.h"
#include "core/FontCollection.h"
#include "core/FullNameTexts.h"
#include "core/NameSwap.h"
#include "core/RenamedFontWriter.h"
#include "core/WebFont.h"
#include "core/Windows1252.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace testfonts;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    auto seed = [&](const std::string& name, const Bytes& bytes) {
        WriteFile(dir + "/" + name, bytes);
    };

    FontSpec bold;
    bold.MacStyle = 3;
    bold.FamilyName = "Abcd\x99";
    seed("simple.ttf", SimpleFont());
    seed("bold-italic.ttf", SimpleFont(bold));
    seed("only-microsoft.ttf",
         FontBuilder()
             .AddTable("head", HeadTable())
             .AddTable("name", NameTable({MsName(1, u"Arial\u2122"), MsName(4, u"Arial"),
                                          MsName(2, u"Bold", 1033, 0), MsName(0, u"", 1031)}))
             .Build());
    seed("capital-tags.ttf", FontBuilder()
                                 .AddTable("HEAD", HeadTable())
                                 .AddTable("NAME", NameTable(StandardRecords({})))
                                 .Build());
    seed("two-name-entries.ttf", FontBuilder()
                                     .AddTable("name", NameTable(StandardRecords({})))
                                     .AddTable("head", HeadTable())
                                     .AddTable("name", NameTable(StandardRecords(bold)))
                                     .Build());
    Bytes cut = SimpleFont();
    cut.resize(cut.size() - 40);
    seed("cut-short.ttf", cut);
    Bytes longString = FontBuilder()
                           .AddTable("head", HeadTable())
                           .AddTable("name", NameTable({MsName(1, u"F"), MsName(4, u"F"),
                                                        MacName(0, std::string(2000, 'c'))}))
                           .Build();
    seed("long-string.ttf", longString);
    seed("header-only.ttf", Bytes{0, 1, 0, 0, 0, 2, 0, 32, 0, 1, 0, 0});
    // The smallest CFF font: one glyph, FullName and FamilyName in the String INDEX, the
    // CharStrings reached by an offset that a rebuilt table must move.
    // clang-format off
    const Bytes cff = {
        1, 0, 4, 1,                                          // header
        0, 1, 1, 1, 2, 'A',                                  // Name INDEX
        0, 1, 1, 1, 13,                                      // Top DICT INDEX:
        0xF8, 27, 2, 0xF8, 28, 3, 29, 0, 0, 0, 42, 17,       //   FullName, FamilyName, CharStrings
        0, 2, 1, 1, 5, 8, 'F', 'u', 'l', 'l', 'F', 'a', 'm', // String INDEX
        0, 0,                                                // Global Subr INDEX
        0, 1, 1, 1, 2, 14,                                   // CharStrings INDEX: endchar
    };
    // clang-format on
    seed("cff.otf", FontBuilder()
                        .Version(0x4F54, 0x544F)
                        .AddTable("CFF ", cff)
                        .AddTable("head", HeadTable())
                        .AddTable("name", NameTable(StandardRecords({})))
                        .Build());

    // A renamed copy and its restored state give the swap something to work on.
    const std::string source = dir + "/.source.tmp";
    const std::string copy = dir + "/renamed.ttf";
    std::filesystem::remove(copy);
    WriteFile(source, SimpleFont());
    FontNames names;
    names.FamilyName = "Renamed";
    names.FullName = "Renamed Full";
    WriteRenamedFont(source, copy, names);
    const Bytes renamed = ReadFile(copy);
    swapNameTables(copy);
    const Bytes restored = ReadFile(copy);
    seed("restored.ttf", restored);
    seed("renamed.ttf", renamed);
    // A swap cut off between its writes: by a program that recorded its state in the trailer,
    // and by one that did not.
    const std::size_t entry = FindEntry(renamed, "name").value() + 8;
    Bytes halfSwapped = renamed;
    std::copy_n(renamed.end() - 8, 8, halfSwapped.begin() + static_cast<long>(entry));
    Bytes unrecorded = halfSwapped;
    PutU32(halfSwapped, halfSwapped.size() - 12, GetU32(renamed, entry + 4));
    seed("half-swapped.ttf", halfSwapped);
    seed("half-swapped-unrecorded.ttf", unrecorded);

    // Collections: two faces sharing their head table, the same renamed, and one cut off in
    // the middle of its swap.
    FontSpec second;
    second.FamilyName = "Second";
    second.MacStyle = 1;
    const Bytes faces[] = {SimpleFont(), SimpleFont(second)};
    Bytes collection = {'t', 't', 'c', 'f', 0, 2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0,
                        0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::size_t headAt = 0;
    for (std::size_t face = 0; face < 2; ++face) {
        const std::size_t start = collection.size();
        PutU32(collection, 12 + 4 * face, static_cast<std::uint32_t>(start));
        collection.insert(collection.end(), faces[face].begin(), faces[face].end());
        for (std::size_t i = 0; i < GetU16(faces[face], 4); ++i) {
            const std::size_t entry = start + 12 + 16 * i;
            PutU32(collection, entry + 8, GetU32(collection, entry + 8) + start);
            if (face == 0 && collection[entry] == 'h')
                headAt = GetU32(collection, entry + 8);
        }
    }
    const std::size_t secondHead = FindEntry(faces[1], "head").value();
    PutU32(collection, GetU32(collection, 16) + secondHead + 8, static_cast<std::uint32_t>(headAt));
    seed("collection.ttc", collection);
    WriteFile(source, collection);
    const std::string renamedCollection = dir + "/renamed.ttc";
    std::filesystem::remove(renamedCollection);
    std::vector<qm::core::FacePlan> plans(2);
    for (qm::core::FacePlan& plan : plans)
        plan.newTexts[1] = U"Renamed";
    const FileHandle file = FileHandle::openShared(source);
    const FileFontBytes bytes(file);
    std::string problem;
    const qm::core::Collection read = *qm::core::readCollection(bytes, problem);
    for (std::size_t face = 0; face < 2; ++face) {
        FullNameTextsUtf8 texts;
        readFullNameTexts(*qm::core::faceOf(bytes, read, face, problem), texts, problem);
        for (unsigned k = 0; k < 8; ++k)
            plans[face].plannedTexts[k] = utf8ToUtf32(texts[k]);
    }
    qm::core::writeRenamedCollection(source, renamedCollection, plans);
    const Bytes renamedFaces = ReadFile(renamedCollection);
    Bytes cutShort = renamedFaces;
    const std::size_t records = GetU32(cutShort, cutShort.size() - 8);
    PutU32(cutShort, cutShort.size() - 12, 1);
    std::copy_n(renamedFaces.begin() + static_cast<long>(records + 4), 8,
                cutShort.begin() + GetU32(renamedFaces, records));
    seed("half-swapped.ttc", cutShort);
    std::filesystem::remove(source);

    // Web fonts: as encoded, and claiming another decoded size.
    const Bytes simple = SimpleFont();
    const std::string sfnt(simple.begin(), simple.end());
    for (const auto& [format, name] : {std::pair{qm::core::WebFormat::Woff, "simple.woff"},
                                       std::pair{qm::core::WebFormat::Woff2, "simple.woff2"}}) {
        const std::string encoded = qm::core::encodeWebFont(sfnt, format).value();
        Bytes web(encoded.begin(), encoded.end());
        seed(name, web);
        PutU32(web, 16, GetU32(web, 16) + 4);
        seed(std::string("lying-") + name, web);
    }
    return 0;
}
