#include "core/FontBytes.h"

#include "core/EInOutError.h"

#include <algorithm>
#include <cstring>

namespace {

// Large enough for the header and directory of nearly every font, and for most name tables.
constexpr std::size_t BlockSize = 8 * 1024;

} // namespace

bool FileFontBytes::Block::Holds(std::uint64_t position, std::size_t count) const {
    return position >= Start && position - Start <= Bytes.size() &&
           count <= Bytes.size() - (position - Start);
}

std::size_t FileFontBytes::ReadAt(std::uint64_t position, std::uint8_t* buffer,
                                  std::size_t count) const {
    if (position >= Size())
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Size() - position));
    const Block* from = nullptr;
    for (const Block& block : Blocks_)
        if (block.Holds(position, count))
            from = &block;
    if (from == nullptr) {
        Block& block = Blocks_[FirstTaken_ ? 1 : 0];
        FirstTaken_ = true;
        block.Start = position;
        block.Bytes.resize(std::max(count, BlockSize));
        const long long got = File_.TryRead(position, block.Bytes.data(), block.Bytes.size());
        if (got < 0) {
            block.Bytes.clear();
            throw EInOutError(static_cast<int>(-got));
        }
        block.Bytes.resize(static_cast<std::size_t>(got));
        from = &block;
        // The file shrank since it was opened.
        count = std::min(count, block.Bytes.size());
    }
    if (count > 0)
        std::memcpy(buffer, from->Bytes.data() + (position - from->Start), count);
    return count;
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
