#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm::core {

// The compressions inside web fonts, from the system's libraries: zlib for WOFF tables, the
// reference WOFF 2.0 library for WOFF2. A build without them says so instead.

// Why this build reads no web fonts; empty where it does.
std::string webFontCodecsMissing();

// `packed` inflated into exactly `size` bytes at `out`; false when it does not inflate to that.
bool inflateInto(std::string_view packed, char* out, std::size_t size);
// `bytes` deflated at the best compression; nothing when zlib fails.
std::optional<std::string> deflated(std::string_view bytes);

enum class Woff2Decoded { Decoded, BeyondClaimed, Failed };
// The sfnt of a WOFF2 font into `sfnt`, which never grows past `claimed` bytes: a font that
// decodes to more is BeyondClaimed at its first byte beyond, and memory is never taken for a
// size only claimed.
Woff2Decoded decodeWoff2(std::string_view woff2, std::size_t claimed, std::string& sfnt);
// `sfnt` encoded as WOFF2 at the library's best compression; nothing when it refuses it.
std::optional<std::string> encodeWoff2(std::string_view sfnt);

} // namespace qm::core
