#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::core {

// The names a CFF (version 1) table gives its one font: the FontName of the Name INDEX, and the
// Top DICT's FullName and FamilyName strings where the DICT has them. CFF strings are bytes;
// OpenType fonts keep them to ASCII.
struct CffNames {
    std::string fontName;
    std::optional<std::string> fullName;
    std::optional<std::string> familyName;
    bool operator==(const CffNames&) const = default;
};

// The names of `table`; nothing, and `problem` says why, when its header, Name INDEX, Top DICT
// or String INDEX cannot be parsed, or it holds other than one font.
std::optional<CffNames> readCffNames(std::string_view table, std::string& problem);

// `table` rebuilt with `names`: the Name INDEX holds names.fontName, and the Top DICT's FullName
// and FamilyName, where `table` has them, point at names.fullName and names.familyName, added
// to the String INDEX (a name given as nothing keeps the old string). Every other byte of the
// font's data is kept; the offsets that lead to it are moved with it. Nothing, and `problem`
// says why, when `table` cannot be parsed or an offset leads where the rebuilt table cannot
// follow it.
std::optional<std::string> renameCffTable(std::string_view table, const CffNames& names,
                                          std::string& problem);

// A CFF string for a UTF-8 text: Latin-1, with '?' for a character beyond it.
std::string cffStringOfUtf8(std::string_view utf8);

} // namespace qm::core
