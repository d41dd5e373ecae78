#include "controls/LcdGlyphs.h"

#include <array>

namespace qm::controls {

// The tables are written packed, one number per dot row with the leftmost dot in the
// highest of `columns` bits, and expanded at compile time to one byte per dot.

namespace {

template <int Cols, int Rows, int Count, typename Row>
constexpr std::array<std::uint8_t, Cols * Rows * Count> expand(const Row (&packed)[Count * Rows]) {
    std::array<std::uint8_t, Cols * Rows * Count> out{};
    for (int g = 0; g < Count * Rows; ++g)
        for (int c = 0; c < Cols; ++c)
            out[g * Cols + c] = (packed[g] >> (Cols - 1 - c)) & 1;
    return out;
}

// Codes 32 to 126, 5 x 7.
constexpr std::uint8_t kRows5x7[95 * 7] = {
#include "controls/glyphs/Mat5x7.inc"
};

// Codes 32 to 126, 5 x 8: the 5 x 7 shapes with true descenders.
constexpr std::uint8_t kRows5x8[95 * 8] = {
#include "controls/glyphs/Mat5x8.inc"
};

constexpr std::uint16_t kRows7x9[95 * 9] = {
#include "controls/glyphs/Mat7x9.inc"
};

constexpr std::uint16_t kRows9x12[95 * 12] = {
#include "controls/glyphs/Mat9x12.inc"
};

// Codes 32 to 223, 5 x 7.
constexpr std::uint8_t kRowsHitachi[192 * 7] = {
#include "controls/glyphs/Hitachi.inc"
};

// Codes 194 to 223, 5 x 10.
constexpr std::uint8_t kRowsHitachi2[30 * 10] = {
#include "controls/glyphs/Hitachi2.inc"
};

constexpr auto kMat5x7 = expand<5, 7, 95>(kRows5x7);
constexpr auto kMat5x8 = expand<5, 8, 95>(kRows5x8);
constexpr auto kMat7x9 = expand<7, 9, 95>(kRows7x9);
constexpr auto kMat9x12 = expand<9, 12, 95>(kRows9x12);
constexpr auto kHitachi = expand<5, 7, 192>(kRowsHitachi);
constexpr auto kHitachi2 = expand<5, 10, 30>(kRowsHitachi2);

static_assert(kMat5x7.size() == 3325 && kMat5x8.size() == 3800 && kMat7x9.size() == 5985);
static_assert(kMat9x12.size() == 10260 && kHitachi.size() == 6720 && kHitachi2.size() == 1500);

} // namespace

LcdGrid lcdGrid(LcdMatrix m) {
    switch (m) {
    case LcdMatrix::Mat5x7:
    case LcdMatrix::Hitachi:
        return {5, 7};
    case LcdMatrix::Mat5x8:
        return {5, 8};
    case LcdMatrix::Mat7x9:
        return {7, 9};
    case LcdMatrix::Mat9x12:
        return {9, 12};
    case LcdMatrix::Hitachi2:
        return {5, 10};
    }
    return {5, 7};
}

std::span<const std::uint8_t> lcdTable(LcdMatrix m) {
    switch (m) {
    case LcdMatrix::Mat5x7:
        return kMat5x7;
    case LcdMatrix::Mat5x8:
        return kMat5x8;
    case LcdMatrix::Mat7x9:
        return kMat7x9;
    case LcdMatrix::Mat9x12:
        return kMat9x12;
    case LcdMatrix::Hitachi:
        return kHitachi;
    case LcdMatrix::Hitachi2:
        return kHitachi2;
    }
    return kMat5x7;
}

int lcdFirstCode(LcdMatrix m) {
    return m == LcdMatrix::Hitachi2 ? 194 : 32;
}

int lcdLastCode(LcdMatrix m) {
    return (m == LcdMatrix::Hitachi || m == LcdMatrix::Hitachi2) ? 223 : 126;
}

bool lcdDotLit(LcdMatrix m, unsigned char code, int row, int column) {
    const LcdGrid grid = lcdGrid(m);
    if (row < 0 || column < 0 || row >= grid.rows || column >= grid.columns)
        return false;
    if (m == LcdMatrix::Hitachi2 && code < lcdFirstCode(m)) {
        // Lower codes borrow the 5 x 7 glyph; its bottom three rows stay dark.
        return row < 7 && lcdDotLit(LcdMatrix::Hitachi, code, row, column);
    }
    if (code < lcdFirstCode(m) || code > lcdLastCode(m))
        return false; // not in the table: shown blank
    const auto table = lcdTable(m);
    const size_t cell = static_cast<size_t>(grid.columns * grid.rows);
    return table[(code - lcdFirstCode(m)) * cell +
                 static_cast<size_t>(row * grid.columns + column)] != 0;
}

} // namespace qm::controls
