#include "core/FontBytes.h"

#include "core/EInOutError.h"

#include <algorithm>
#include <cstring>

namespace {

// The first block: large enough for the header and directory of most fonts.
constexpr std::size_t kFirstBlockSize = 1024;
// Any other: the head table's fields and the trailer's; the name table is fetched whole by
// prefetch. Every byte more is copied again for each font of a read of thousands.
constexpr std::size_t kBlockSize = 128;
// No font's names need more than this of its name table in one go.
constexpr std::size_t kLargestPrefetch = 64 * 1024;

} // namespace

std::string_view FontBytes::bytesAt(std::uint64_t position, std::size_t count,
                                    std::string& copy) const {
    std::string_view bytes;
    if (view(position, count, bytes))
        return bytes;
    copy.resize(count);
    copy.resize(readAt(position, reinterpret_cast<std::uint8_t*>(copy.data()), count));
    return copy;
}

FileFontBytes::FileFontBytes(const FileHandle& file, Memory& memory)
    : file_(file), blocks_(memory.blocks_) {
    for (Block& block : blocks_) {
        block.start = 0;
        block.size = 0;
    }
}

bool FileFontBytes::Block::holds(std::uint64_t position, std::size_t count) const {
    return position >= start && position - start <= size && count <= size - (position - start);
}

const FileFontBytes::Block& FileFontBytes::fetch(std::uint64_t position, std::size_t count,
                                                 Slot slot) const {
    for (const Block& block : blocks_)
        if (block.holds(position, count))
            return block;
    Block& block = blocks_[firstTaken_ ? slot : FirstSlot];
    const std::size_t least = firstTaken_ ? kBlockSize : kFirstBlockSize;
    firstTaken_ = true;
    // Never past the end: a read there would only ask the system again for nothing. A block
    // that the end cuts short starts earlier instead, so that the trailer's fields, read at
    // different distances from the end, come in one read.
    std::uint64_t start = position;
    if (size() - position < least && count < least)
        start = std::min(position, size() > least ? size() - least : 0);
    block.start = start;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
        std::max<std::uint64_t>(count + (position - start), least), size() - start));
    block.size = 0;
    if (wanted > block.capacity) {
        block.data.reset(new std::uint8_t[wanted]);
        block.capacity = wanted;
    }
    const long long got = file_.tryRead(start, block.data.get(), wanted);
    if (got < 0)
        throw EInOutError(static_cast<int>(-got));
    // Shorter when the file shrank since it was opened.
    block.size = static_cast<std::size_t>(got);
    return block;
}

std::size_t FileFontBytes::readAt(std::uint64_t position, std::uint8_t* buffer,
                                  std::size_t count) const {
    std::string_view bytes;
    view(position, count, bytes);
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return bytes.size();
}

bool FileFontBytes::view(std::uint64_t position, std::size_t count, std::string_view& bytes) const {
    bytes = {};
    if (position >= size())
        return true;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size() - position));
    const Block& from = fetch(position, count, OtherSlot);
    // Less when the file shrank since it was opened.
    const std::size_t skip = static_cast<std::size_t>(position - from.start);
    count = from.size > skip ? std::min(count, from.size - skip) : 0;
    if (count > 0)
        bytes = std::string_view(reinterpret_cast<const char*>(from.data.get()) + skip, count);
    return true;
}

void FileFontBytes::prefetch(std::uint64_t position, std::size_t count) const {
    if (position < size())
        fetch(position,
              static_cast<std::size_t>(
                  std::min<std::uint64_t>({count, kLargestPrefetch, size() - position})),
              PrefetchSlot);
}

std::size_t SwappedFontBytes::readAt(std::uint64_t position, std::uint8_t* buffer,
                                     std::size_t count) const {
    const std::size_t got = base_.readAt(position, buffer, count);
    for (const Patch& patch : patches_) {
        for (std::size_t i = 0; i < patch.bytes.size(); ++i) {
            const std::uint64_t at = patch.position + i;
            if (at >= position && at - position < got)
                buffer[at - position] = patch.bytes[i];
        }
    }
    return got;
}
