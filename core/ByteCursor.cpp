#include "core/ByteCursor.h"

#include "core/ByteHelpers.h"

bool ByteCursor::Seek(std::size_t offset) {
    if (offset > Length_)
        return false;
    Offset_ = offset;
    return true;
}

bool ByteCursor::Skip(std::size_t count) {
    if (count > Length_ - Offset_)
        return false;
    Offset_ += count;
    return true;
}

bool ByteCursor::ReadU16(std::uint16_t& value) {
    const std::uint8_t* bytes = nullptr;
    if (!ReadBytes(bytes, 2))
        return false;
    value = BytesToWord(bytes);
    return true;
}

bool ByteCursor::ReadU32(std::uint32_t& value) {
    const std::uint8_t* bytes = nullptr;
    if (!ReadBytes(bytes, 4))
        return false;
    value = BytesToLong(bytes);
    return true;
}

bool ByteCursor::ReadBytes(const std::uint8_t*& bytes, std::size_t count) {
    if (count > Length_ - Offset_)
        return false;
    bytes = Data_ + Offset_;
    Offset_ += count;
    return true;
}
