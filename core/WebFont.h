#pragma once

#include "core/FontBytes.h"
#include "core/FontCollection.h"
#include "core/RenamedFontWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm::core {

enum class WebFormat { None, Woff, Woff2 };

// The web font format `font` starts with ("wOFF", "wOF2"), or None.
WebFormat webFormatOf(const FontBytes& font);

// A web font is decoded whole in memory; one that would decode to more is refused.
constexpr std::uint64_t kLargestDecodedFont = 256u << 20;

// The sfnt inside a web font, decoded in memory: WOFF tables inflated with zlib, WOFF2 through
// the reference WOFF 2.0 library. Nothing, and `problem` in words, when it does not decode or
// its header's decoded size is not the size it decodes to. Raises EInOutError when a read
// fails.
std::optional<std::string> decodeWebFont(const FontBytes& file, std::string& problem);

// `sfnt` (a font laid out as standaloneFont lays it out) encoded as `format`; nothing when the
// WOFF 2.0 library refuses it.
std::optional<std::string> encodeWebFont(std::string_view sfnt, WebFormat format);

// Bytes held in memory, read as a font.
class MemoryFontBytes : public FontBytes {
public:
    explicit MemoryFontBytes(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    bool view(std::uint64_t position, std::size_t count, std::string_view& bytes) const override;

private:
    std::string_view bytes_;
};

// Writes a renamed copy of the web font at `sourcePath` to `newPath`, in the source's format:
// the sfnt inside is renamed as any font is (WriteRenamedFont, through files in the temporary
// folder), its tables taken out of the copy without the names kept for a restore, and encoded
// again. Published as every copy is, and only when the written file decodes to exactly the
// renamed tables. A web font keeps no source names, so the copy cannot be restored.
MadeCopy writeRenamedWebFont(const std::string& sourcePath, const std::string& newPath,
                             const NewNameTexts& newTexts, const FullNameTexts& plannedTexts);

} // namespace qm::core
