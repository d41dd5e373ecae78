#pragma once

#include "core/FileHandle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes of a font file as the reader sees them: the file itself, or the file as a restore
// would leave it. Reads that run past the end deliver fewer bytes; a failing device raises
// EInOutError.
class FontBytes {
public:
    virtual ~FontBytes() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to `count` bytes at `position`; returns how many were there.
    virtual std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer,
                               std::size_t count) const = 0;
    // Says that the bytes at `position` will be read soon, so that they come in one go.
    virtual void Prefetch(std::uint64_t position, std::size_t count) const {
        static_cast<void>(position);
        static_cast<void>(count);
    }
};

// An open file, read in blocks so that a font's header, directory, name table and trailer
// take a few system calls. The size is the one seen when the file was opened.
class FileFontBytes : public FontBytes {
public:
    explicit FileFontBytes(const FileHandle& file) : File_(file) {}
    std::uint64_t Size() const override { return File_.OpenedSize(); }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    void Prefetch(std::uint64_t position, std::size_t count) const override;

private:
    struct Block {
        std::uint64_t Start = 0;
        std::vector<std::uint8_t> Bytes;
        bool Holds(std::uint64_t position, std::size_t count) const;
    };
    const Block& Fetch(std::uint64_t position, std::size_t count) const;

    const FileHandle& File_;
    // The first block read (header and directory) stays; the other follows the reads.
    mutable std::array<Block, 2> Blocks_;
    mutable bool FirstTaken_ = false;
};

// `base` with 8 bytes replaced at each of two positions: a name-table swap seen before it is
// written.
class SwappedFontBytes : public FontBytes {
public:
    struct Patch {
        std::uint64_t Position;
        std::array<std::uint8_t, 8> Bytes;
    };
    SwappedFontBytes(const FontBytes& base, Patch first, Patch second)
        : Base_(base), Patches_{first, second} {}
    std::uint64_t Size() const override { return Base_.Size(); }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer,
                       std::size_t count) const override;
    void Prefetch(std::uint64_t position, std::size_t count) const override {
        Base_.Prefetch(position, count);
    }

private:
    const FontBytes& Base_;
    std::array<Patch, 2> Patches_;
};
