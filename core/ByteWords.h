#pragma once

#include <cstdint>
#include <cstring>

// Eight bytes at a time, for the loops that run over every byte of every name a read lists.

// The eight bytes at `bytes` as one word, in memory order.
inline std::uint64_t loadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// 0x80 in each byte of `word` that is zero and 0 elsewhere; exact, since no byte borrows from
// its neighbour.
constexpr std::uint64_t zeroBytesOf(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// `byte` in each of the eight bytes.
constexpr std::uint64_t everyByte(std::uint8_t byte) {
    return std::uint64_t{0x0101010101010101} * byte;
}
