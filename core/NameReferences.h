#pragma once

#include "core/FontBytes.h"

#include <cstdint>
#include <set>

// The name IDs other tables of a font point at. A renamed copy keeps a record for each of them
// that the source had, so that no axis, instance, style, palette or feature loses its name.
struct NameReferences {
    // fvar (axes, instances), STAT (axes, axis values, elided fallback), CPAL (palette and
    // entry labels), GSUB and GPOS feature parameters (ssXX, cvXX, size).
    std::set<std::uint16_t> referenced;
    // fvar's instance PostScript names, which follow the font's PostScript family prefix.
    std::set<std::uint16_t> instancePostscriptNames;
    // fvar has axes: a variable font.
    bool variable = false;
};

// Reads the references of the font's tables. Tables that are missing, cut off or malformed
// give what they hold up to the fault: a reference is never invented.
NameReferences findNameReferences(const FontBytes& font);
