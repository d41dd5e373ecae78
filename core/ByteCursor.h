#pragma once

#include <cstddef>
#include <cstdint>

// Reads big-endian fields from bytes in memory. Every read reports whether the bytes were
// there; a failed read leaves the position where it was. Bounds are tested as
// `count > Length_ - Offset_`, which cannot overflow.
class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t length) : Data_(data), Length_(length) {}

    bool Seek(std::size_t offset);
    bool Skip(std::size_t count);
    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);
    // Points `bytes` at the next `count` bytes and moves past them.
    bool ReadBytes(const std::uint8_t*& bytes, std::size_t count);

    std::size_t Offset() const { return Offset_; }
    std::size_t Remaining() const { return Length_ - Offset_; }

private:
    const std::uint8_t* Data_;
    std::size_t Length_;
    std::size_t Offset_ = 0;
};
