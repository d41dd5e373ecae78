#pragma once

#include "core/FullNameTexts.h"
#include "core/NameReferences.h"
#include "core/NameTableView.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// What a rename changes: per name ID 0 to 7 the new text, or nothing to keep the source's.
using NewNameTexts = std::array<std::optional<std::u32string>, 8>;

// The name table of a renamed copy and what it holds.
struct RenamedNameTable {
    std::string bytes;
    // Name IDs 0 to 7 as written: a changed one after the PostScript rule and any cut, an
    // unchanged one the source's; empty where no record is written.
    FullNameTexts texts;
    std::array<bool, 8> changed{};
    // The name IDs whose new text was cut to fit the table, in order.
    std::vector<unsigned> cutNameIDs;
    // Records that would have contradicted the new names but whose encoding cannot hold them,
    // left out, in words.
    std::vector<std::string> leftOut;
};

// The copy's table, built from the source's (`source`, read by the reader's rules as
// `sourceTexts`):
// - name IDs 0 to 7: one Macintosh Roman (1/0/0) and one Microsoft Unicode (3/1/0x409) record
//   each, as copies have always had. An unchanged text keeps the source's bytes of that record
//   where it has one, and its other records; a changed text is encoded for each record and
//   replaces every source record of its ID. An empty text or a placeholder writes no record.
// - where the family, style, full name or PostScript name changes, the records that would
//   contradict it follow: 16 and 21 take the new family, 17 and 22 the new style, 25 the new
//   PostScript family prefix, and fvar's instance PostScript names that began with the old
//   prefix begin with the new one; 18 (with the full name) and 20 (with the PostScript name)
//   go. A variable font without 25 gets one, so that its instances' PostScript names follow.
// - every other record stays byte for byte, format 1 with its language tags, and a name that
//   `references` points at is never lost.
// New texts are cut, longest first, until the strings fit 65,535 bytes. Throws
// std::length_error when even then they do not.
RenamedNameTable buildRenamedNameTable(const NameTableView& source,
                                       const FullNameTexts& sourceTexts,
                                       const NewNameTexts& newTexts,
                                       const NameReferences& references);
