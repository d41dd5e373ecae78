#pragma once

#include "core/CffNames.h"
#include "core/FontBytes.h"
#include "core/RenamedNameTable.h"

#include <optional>
#include <string>
#include <vector>

namespace qm::core {

// What a renamed copy adds to its source: the bytes appended at the source's end, the directory
// entries pointed at the new tables, and what could not be done.
struct CopyTail {
    std::string bytes;
    std::vector<SwappedFontBytes::Patch> entries;
    // The names the copy's rebuilt CFF table carries; nothing when it keeps the source's.
    std::optional<CffNames> cffNames;
    // Said to the user: the copy is still made, renamed as far as was sound.
    std::vector<std::string> warnings;
};

// The tail of a copy of `source` whose new name table is `table`. A TrueType source (or a CFF
// source whose CFF table cannot be rebuilt, or whose family, full name and PostScript name all
// stay) gets the table, the marker and the source's name location, as every copy always had. An
// OpenType source with a version 1 CFF table also gets a CFF table whose FontName is the new
// PostScript name and whose FullName and FamilyName, where changed, follow the new full name
// and family, in the trailer form that restores both. A CFF2 table carries no names: the name
// table names such a font whole. Raises EInOutError when a read fails.
CopyTail buildCopyTail(const FontBytes& source, const RenamedNameTable& table);

} // namespace qm::core
