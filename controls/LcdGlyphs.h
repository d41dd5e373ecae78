#pragma once

// The counter's built-in dot tables: one byte per dot (1 lit, 0 unlit), glyph after glyph in
// ascending code, rows from the top, dots from the left.

#include <cstddef>
#include <cstdint>
#include <span>

namespace qm::controls {

enum class LcdMatrix { Mat5x7, Mat5x8, Mat7x9, Mat9x12, Hitachi, Hitachi2 };

struct LcdGrid {
    int columns;
    int rows;
};

LcdGrid lcdGrid(LcdMatrix m);

// The raw table of a matrix (for Hitachi2, its own 5 x 10 table of codes 194 to 223).
std::span<const std::uint8_t> lcdTable(LcdMatrix m);

// First and last code a table covers.
int lcdFirstCode(LcdMatrix m);
int lcdLastCode(LcdMatrix m);

// Whether the dot at (row, column) of the glyph for code is lit. Codes a matrix does not
// cover read as blank; Hitachi2 falls back to the Hitachi glyph in its top seven rows.
bool lcdDotLit(LcdMatrix m, unsigned char code, int row, int column);

} // namespace qm::controls
