#include "core/WebFontCodecs.h"

namespace qm::core {

// The Windows build is linked without zlib and the WOFF 2.0 library, which mingw-w64 lacks.
std::string webFontCodecsMissing() {
    return "This build of quillmark-cli reads no web fonts: it has no WOFF 2.0 library.";
}

bool inflateInto(std::string_view, char*, std::size_t) {
    return false;
}

std::optional<std::string> deflated(std::string_view) {
    return std::nullopt;
}

Woff2Decoded decodeWoff2(std::string_view, std::size_t, std::string&) {
    return Woff2Decoded::Failed;
}

std::optional<std::string> encodeWoff2(std::string_view) {
    return std::nullopt;
}

} // namespace qm::core
