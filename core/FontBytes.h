#pragma once

#include "core/FileHandle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The bytes of a font file as the reader sees them: the file itself, or the file as a restore
// would leave it. Reads that run past the end deliver fewer bytes; a failing device raises
// EInOutError.
class FontBytes {
public:
    virtual ~FontBytes() = default;
    virtual std::uint64_t size() const = 0;
    // Copies up to `count` bytes at `position`; returns how many were there.
    virtual std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                               std::size_t count) const = 0;
    // Says that the bytes at `position` will be read soon, so that they come in one go.
    virtual void prefetch(std::uint64_t position, std::size_t count) const {
        static_cast<void>(position);
        static_cast<void>(count);
    }
    // The bytes readAt would copy, seen in place where they are held in memory; false where
    // they are not. The view lasts until the next read.
    virtual bool view(std::uint64_t position, std::size_t count, std::string_view& bytes) const {
        static_cast<void>(position);
        static_cast<void>(count);
        static_cast<void>(bytes);
        return false;
    }
    // Up to `count` bytes at `position`, seen in place where they are held and else copied into
    // `copy`; valid until the next read.
    std::string_view bytesAt(std::uint64_t position, std::size_t count, std::string& copy) const;
};

// An open file, read in blocks so that a font's header, directory, name table and trailer
// take a few system calls. The size is the one seen when the file was opened.
class FileFontBytes : public FontBytes {
    // Left uninitialised before the read: zeroing what the read overwrites costs as much as
    // the copy.
    struct Block {
        std::uint64_t start = 0;
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t size = 0;
        std::size_t capacity = 0;
        bool holds(std::uint64_t position, std::size_t count) const;
    };

public:
    // The blocks' memory, which a reader of many fonts keeps from one font to the next instead
    // of allocating it anew for each.
    class Memory {
        friend class FileFontBytes;
        std::array<Block, 3> blocks_;
    };

    explicit FileFontBytes(const FileHandle& file) : file_(file), blocks_(own_.blocks_) {}
    // The same in `memory`, whose blocks are taken as holding nothing.
    FileFontBytes(const FileHandle& file, Memory& memory);
    std::uint64_t size() const override { return file_.openedSize(); }
    std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    void prefetch(std::uint64_t position, std::size_t count) const override;
    bool view(std::uint64_t position, std::size_t count, std::string_view& bytes) const override;

private:
    enum Slot { FirstSlot, PrefetchSlot, OtherSlot };
    const Block& fetch(std::uint64_t position, std::size_t count, Slot slot) const;

    const FileHandle& file_;
    Memory own_;
    // The first block read (header and directory) stays, and so does the one asked for by
    // prefetch (the name table, read again by a listing); the third follows the other reads.
    std::array<Block, 3>& blocks_;
    mutable bool firstTaken_ = false;
};

// `base` with bytes replaced at a few positions, later patches over earlier ones: a swap seen
// before it is written.
class SwappedFontBytes : public FontBytes {
public:
    struct Patch {
        std::uint64_t position = 0;
        std::vector<std::uint8_t> bytes;
        bool operator==(const Patch&) const = default;
    };
    SwappedFontBytes(const FontBytes& base, std::vector<Patch> patches)
        : base_(base), patches_(std::move(patches)) {}
    std::uint64_t size() const override { return base_.size(); }
    std::size_t readAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    void prefetch(std::uint64_t position, std::size_t count) const override {
        base_.prefetch(position, count);
    }

private:
    const FontBytes& base_;
    std::vector<Patch> patches_;
};
