#pragma once

#include "core/ByteHelpers.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// One name record as the table stores it.
struct NameRecordFields {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0;
    std::uint16_t languageID = 0; // from 0x8000 on, a format-1 language tag's index + 0x8000
    std::uint16_t nameID = 0;
    std::uint16_t length = 0; // of the string, in bytes
    std::uint16_t offset = 0; // of the string, from the start of string storage
};

// The one parse of a name table: the header, the records and the format-1 language tags, over
// the table's bytes as far as the file holds them. Every access is bounds-checked; nothing is
// copied, so the reader of many fonts pays for no more than the fields it looks at.
class NameTableView {
public:
    static constexpr std::size_t kHeaderSize = 6;
    static constexpr std::size_t kRecordSize = 12;
    static constexpr std::uint16_t kFirstLanguageTagID = 0x8000;

    // `table` runs from the table's start to as far as its bytes are known (nameTableBytes).
    explicit NameTableView(std::string_view table) : table_(table) {
        if (table.size() < kHeaderSize)
            return;
        headerComplete_ = true;
        format_ = wordAt(0);
        declaredCount_ = wordAt(2);
        stringOffset_ = wordAt(4);
        // A table cut off by the end of the file keeps the records before the cut.
        count_ = std::min<std::size_t>(declaredCount_, (table.size() - kHeaderSize) / kRecordSize);
        const std::size_t recordsEnd = kHeaderSize + kRecordSize * std::size_t{declaredCount_};
        if (format_ == 1 && count_ == declaredCount_ && table.size() - recordsEnd >= 2) {
            const std::uint16_t tags = wordAt(recordsEnd);
            langTagCount_ = std::min<std::size_t>(tags, (table.size() - recordsEnd - 2) / 4);
        }
    }

    bool headerComplete() const { return headerComplete_; }
    std::uint16_t format() const { return format_; }
    std::uint16_t declaredCount() const { return declaredCount_; }
    std::uint16_t stringOffset() const { return stringOffset_; }
    // The records wholly within the bytes; fewer than declared when the file cuts them off.
    std::size_t count() const { return count_; }
    bool recordsCutOff() const { return count_ < declaredCount_; }

    // The i-th record, i < count().
    NameRecordFields record(std::size_t i) const {
        const std::size_t at = kHeaderSize + kRecordSize * i;
        return {wordAt(at),     wordAt(at + 2), wordAt(at + 4),
                wordAt(at + 6), wordAt(at + 8), wordAt(at + 10)};
    }

    // A record's string, at most `longest` bytes of it; nothing when those lie beyond the bytes.
    std::optional<std::string_view> stringOf(const NameRecordFields& record,
                                             std::size_t longest = SIZE_MAX) const {
        return span(std::size_t{stringOffset_} + record.offset,
                    std::min<std::size_t>(record.length, longest));
    }

    // Format 1: the language tags wholly within the bytes, each a UTF-16BE string.
    std::size_t langTagCount() const { return langTagCount_; }
    std::optional<std::string_view> langTag(std::size_t i) const {
        const std::size_t at = kHeaderSize + kRecordSize * std::size_t{declaredCount_} + 2 + 4 * i;
        return span(std::size_t{stringOffset_} + wordAt(at + 2), wordAt(at));
    }

private:
    std::uint16_t wordAt(std::size_t offset) const {
        return bytesToWord(reinterpret_cast<const std::uint8_t*>(table_.data() + offset));
    }
    // Tested as `length > size - start`, which cannot overflow.
    std::optional<std::string_view> span(std::size_t start, std::size_t length) const {
        if (start > table_.size() || length > table_.size() - start)
            return std::nullopt;
        return table_.substr(start, length);
    }

    std::string_view table_;
    bool headerComplete_ = false;
    std::uint16_t format_ = 0;
    std::uint16_t declaredCount_ = 0;
    std::uint16_t stringOffset_ = 0;
    std::size_t count_ = 0;
    std::size_t langTagCount_ = 0;
};
