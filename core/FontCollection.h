#pragma once

#include "core/CopyTrailer.h"
#include "core/FontBytes.h"
#include "core/FontReader.h"
#include "core/NameSwap.h"
#include "core/RenamedFontWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::core {

// Font loaders take a face index of 16 bits; a collection that claims more faces is damaged.
constexpr std::uint32_t kMostFaces = 0xFFFF;

// A renamed collection ends as a renamed font does, with the marker where every reader probes
// for it, but with its own form, so that no single-font restore mistakes it for its own:
//   4   the number of saved faces;
//   8   where their records start;
//   12  the swap state: zero at rest, else the side (1 the source's names, 2 the copy's) that a
//       swap under way is bringing every face to;
//   46  the marker text (34 bytes);
//   50  the form, "TTCF".
// Each record (20 bytes) holds where a face's name entry keeps its location, the source's name
// location and the copy's own.
constexpr std::uint32_t kCollectionForm = 0x54544346; // "TTCF"
constexpr std::size_t kFaceRecordSize = 20;

struct FaceRecord {
    std::uint64_t entryAt = 0; // the name entry's offset field; its length field follows
    Location source{};
    Location copy{};
};

struct CollectionTrailer {
    std::uint32_t state = 0;
    std::uint64_t recordsAt = 0;
    std::vector<FaceRecord> records;
};

// A collection's faces: where each face's table directory is, and for a renamed collection
// the records of its trailer.
struct Collection {
    std::vector<std::uint32_t> faceOffsets;
    std::optional<CollectionTrailer> trailer;
};

// True when the file starts with a collection's tag.
bool isCollection(const FontBytes& font);

// Reads the collection header and, when the file carries the marker, its trailer. Nothing, and
// `problem` in words, when the face count is 0 or beyond kMostFaces, or the header does not fit
// the file. Raises EInOutError when a read fails.
std::optional<Collection> readCollection(const FontBytes& font, std::string& problem);

// One face of a collection, seen as a font of its own: the face's table directory at the
// start, with every table offset moved past it, then the file. Table offsets in a collection
// count from the file's start, so the file follows whole and every table keeps its bytes. For
// a renamed collection a single font's trailer follows, saving the face's other name location,
// so that the reader, the listing and the swap planner see a renamed copy as they know it.
class FaceFontBytes : public FontBytes {
public:
    FaceFontBytes(const FontBytes& file, std::string header, std::string trailer)
        : file_(file), header_(std::move(header)), trailer_(std::move(trailer)) {}
    std::uint64_t size() const override;
    std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    void prefetch(std::uint64_t position, std::size_t count) const override;
    bool view(std::uint64_t position, std::size_t count, std::string_view& bytes) const override;

    // Where a position of the file is seen in this face.
    std::uint64_t shift() const { return header_.size(); }

private:
    const FontBytes& file_;
    std::string header_;
    std::string trailer_;
};

// Face `index` of `collection` in `file`; nothing, and `problem` in words, when the face's
// directory lies beyond the file or a renamed collection has no record that fits the face.
std::optional<FaceFontBytes> faceOf(const FontBytes& file, const Collection& collection,
                                    std::size_t index, std::string& problem);

// The face's location of its name entry in the file (the offset field), when it has one.
std::optional<std::uint64_t> nameEntryOf(const FontBytes& file, std::uint32_t faceOffset);

// What each face of a collection copy is to be called: the texts changed and, to refuse a
// source that changed since it was planned, the texts the caller read.
struct FacePlan {
    NewNameTexts newTexts;
    FullNameTexts plannedTexts;
};

// Copies the collection at `sourcePath` to `newPath` with every face renamed: the source byte
// for byte, each face's new name table appended (faces that would get the same table share
// it), the directory entries pointed at them and the trailer that saves the source's
// locations. Tables shared between faces stay shared; a CFF face keeps its CFF table's names.
// Published as every copy is: unnamed, synced, read back with the new names, and restorable
// to the source's. Raises EInOutError and EMakeRefused as WriteRenamedFont does. Returns
// per face what was cut and the names read back.
std::vector<MadeCopy> writeRenamedCollection(const std::string& sourcePath,
                                             const std::string& newPath,
                                             const std::vector<FacePlan>& faces);

// A collection restore's outcome: each face as it reads afterwards.
struct CollectionSwapResult {
    SwapOutcome outcome = SwapOutcome::NotValid;
    std::vector<FontRead> reads;
    std::string ErrorText;
};

// Swaps every face of a renamed collection at once, all or nothing: the state word names the
// side the faces go to before the first entry is written and is cleared after the last, so a
// swap cut short is completed by the next. Decides first, on the file as the swap would leave
// it, that every face reads. Holds an exclusive lock throughout.
CollectionSwapResult swapCollection(const std::string& path);

// The writes of a collection swap, in order, and each face as they leave it; NotValid when the
// file is not a renamed collection or a face would not read.
SwapOutcome planCollectionSwap(const FontBytes& file, std::vector<SwappedFontBytes::Patch>& writes,
                               std::vector<FontRead>& after);

// Face `index` of the collection at `sourcePath` as a font file of its own: its tables copied
// out in directory order, each at a multiple of 4, with offsets, checksums and head's
// checkSumAdjustment computed anew. Nothing, and `problem` in words, when the face cannot be
// read out.
std::optional<std::string> standaloneFace(const FontBytes& file, std::size_t index,
                                          std::string& problem);

// The font whose table directory starts at `directoryAt` in `file`, as a file of its own: its
// tables copied out in directory order, each at a multiple of 4, with offsets, checksums and
// head's checkSumAdjustment computed anew. Nothing, and `problem` in words, when the directory
// or a table lies beyond the file.
std::optional<std::string> standaloneFont(const FontBytes& file, std::uint64_t directoryAt,
                                          std::string& problem);

} // namespace qm::core
