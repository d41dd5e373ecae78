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

bool FileFontBytes::Block::Holds(std::uint64_t position, std::size_t count) const {
    return position >= Start && position - Start <= Bytes.size() &&
           count <= Bytes.size() - (position - Start);
}

const FileFontBytes::Block& FileFontBytes::Fetch(std::uint64_t position, std::size_t count) const {
    for (const Block& block : Blocks_)
        if (block.Holds(position, count))
            return block;
    Block& block = Blocks_[FirstTaken_ ? 1 : 0];
    FirstTaken_ = true;
    block.Start = position;
    // Never past the end: a read there would only ask the system again for nothing.
    block.Bytes.resize(static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max(count, BlockSize), Size() - position)));
    const long long got = File_.TryRead(position, block.Bytes.data(), block.Bytes.size());
    if (got < 0) {
        block.Bytes.clear();
        throw EInOutError(static_cast<int>(-got));
    }
    // Shorter when the file shrank since it was opened.
    block.Bytes.resize(static_cast<std::size_t>(got));
    return block;
}

std::size_t FileFontBytes::ReadAt(std::uint64_t position, std::uint8_t* buffer,
                                  std::size_t count) const {
    if (position >= Size())
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Size() - position));
    const Block& from = Fetch(position, count);
    count = std::min<std::size_t>(count, from.Bytes.size() - (position - from.Start));
    if (count > 0)
        std::memcpy(buffer, from.Bytes.data() + (position - from.Start), count);
    return count;
}

void FileFontBytes::Prefetch(std::uint64_t position, std::size_t count) const {
    if (position < Size())
        Fetch(position, static_cast<std::size_t>(
                            std::min<std::uint64_t>({count, LargestPrefetch, Size() - position})));
}

std::size_t SwappedFontBytes::ReadAt(std::uint64_t position, std::uint8_t* buffer,
                                     std::size_t count) const {
    const std::size_t got = Base_.ReadAt(position, buffer, count);
    for (const Patch& patch : Patches_) {
        for (std::size_t i = 0; i < patch.Bytes.size(); ++i) {
            const std::uint64_t at = patch.Position + i;
            if (at >= position && at - position < got)
                buffer[at - position] = patch.Bytes[i];
        }
    }
    return got;
}
