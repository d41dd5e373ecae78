#pragma once

#include "core/ByteHelpers.h"

#include <cstddef>
#include <cstdint>

// Reads big-endian fields from bytes in memory. Every read reports whether the bytes were
// there; a failed read leaves the position where it was. Bounds are tested as
// `count > length_ - offset_`, which cannot overflow. Inline: the reader calls it per field.
class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}

    bool seek(std::size_t offset) {
        if (offset > length_)
            return false;
        offset_ = offset;
        return true;
    }
    bool skip(std::size_t count) {
        if (count > length_ - offset_)
            return false;
        offset_ += count;
        return true;
    }
    bool readU16(std::uint16_t& value) {
        const std::uint8_t* bytes = nullptr;
        if (!readBytes(bytes, 2))
            return false;
        value = bytesToWord(bytes);
        return true;
    }
    bool readU32(std::uint32_t& value) {
        const std::uint8_t* bytes = nullptr;
        if (!readBytes(bytes, 4))
            return false;
        value = BytesToLong(bytes);
        return true;
    }
    // Points `bytes` at the next `count` bytes and moves past them.
    bool readBytes(const std::uint8_t*& bytes, std::size_t count) {
        if (count > length_ - offset_)
            return false;
        bytes = data_ + offset_;
        offset_ += count;
        return true;
    }

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return length_ - offset_; }

private:
    const std::uint8_t* data_;
    std::size_t length_;
    std::size_t offset_ = 0;
};
