#include "core/FontBytes.h"

#include "core/EInOutError.h"

#include <algorithm>
#include <cstring>

namespace {

// Large enough for the header and directory of most fonts and for a head table; the name table
// is fetched whole by Prefetch.
constexpr std::size_t BlockSize = 1024;
// No font's names need more than this of its name table in one go.
constexpr std::size_t LargestPrefetch = 64 * 1024;

} // namespace

FileFontBytes::FileFontBytes(const FileHandle& file, Memory& memory)
    : file_(file), blocks_(memory.blocks_) {
    for (Block& block : blocks_) {
        block.Start = 0;
        block.Size = 0;
    }
}

bool FileFontBytes::Block::Holds(std::uint64_t position, std::size_t count) const {
    return position >= Start && position - Start <= Size && count <= Size - (position - Start);
}

const FileFontBytes::Block& FileFontBytes::Fetch(std::uint64_t position, std::size_t count,
                                                 Slot slot) const {
    for (const Block& block : blocks_)
        if (block.Holds(position, count))
            return block;
    Block& block = blocks_[firstTaken_ ? slot : FirstSlot];
    firstTaken_ = true;
    // Never past the end: a read there would only ask the system again for nothing. A block
    // that the end cuts short starts earlier instead, so that the trailer's fields, read at
    // different distances from the end, come in one read.
    std::uint64_t start = position;
    if (Size() - position < BlockSize && count < BlockSize)
        start = std::min(position, Size() > BlockSize ? Size() - BlockSize : 0);
    block.Start = start;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
        std::max<std::uint64_t>(count + (position - start), BlockSize), Size() - start));
    block.Size = 0;
    if (wanted > block.Capacity) {
        block.Data.reset(new std::uint8_t[wanted]);
        block.Capacity = wanted;
    }
    const long long got = file_.TryRead(start, block.Data.get(), wanted);
    if (got < 0)
        throw EInOutError(static_cast<int>(-got));
    // Shorter when the file shrank since it was opened.
    block.Size = static_cast<std::size_t>(got);
    return block;
}

std::size_t FileFontBytes::ReadAt(std::uint64_t position, std::uint8_t* buffer,
                                  std::size_t count) const {
    if (position >= Size())
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Size() - position));
    const Block& from = Fetch(position, count, OtherSlot);
    // Less when the file shrank since it was opened.
    const std::size_t skip = static_cast<std::size_t>(position - from.Start);
    count = from.Size > skip ? std::min(count, from.Size - skip) : 0;
    if (count > 0)
        std::memcpy(buffer, from.Data.get() + skip, count);
    return count;
}

bool FileFontBytes::View(std::uint64_t position, std::size_t count, std::string_view& bytes) const {
    bytes = {};
    if (position >= Size())
        return true;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Size() - position));
    const Block& from = Fetch(position, count, OtherSlot);
    // Less when the file shrank since it was opened.
    const std::size_t skip = static_cast<std::size_t>(position - from.Start);
    count = from.Size > skip ? std::min(count, from.Size - skip) : 0;
    if (count > 0)
        bytes = std::string_view(reinterpret_cast<const char*>(from.Data.get()) + skip, count);
    return true;
}

void FileFontBytes::Prefetch(std::uint64_t position, std::size_t count) const {
    if (position < Size())
        Fetch(position,
              static_cast<std::size_t>(
                  std::min<std::uint64_t>({count, LargestPrefetch, Size() - position})),
              PrefetchSlot);
}

std::size_t SwappedFontBytes::ReadAt(std::uint64_t position, std::uint8_t* buffer,
                                     std::size_t count) const {
    const std::size_t got = base_.ReadAt(position, buffer, count);
    for (const Patch& patch : patches_) {
        for (std::size_t i = 0; i < patch.Bytes.size(); ++i) {
            const std::uint64_t at = patch.Position + i;
            if (at >= position && at - position < got)
                buffer[at - position] = patch.Bytes[i];
        }
    }
    return got;
}
