#pragma once

#include <string>
#include <string_view>

// The legacy multi-byte encodings that name records may use, decoded by the system's own
// converters: iconv on POSIX, the code pages of MultiByteToWideChar on Windows. Each stands for
// the same table on both, so a record reads the same everywhere.
enum class CodePage {
    ShiftJis,    // Microsoft's Shift JIS (932)
    Gbk,         // simplified Chinese (936)
    Big5,        // traditional Chinese (950)
    Uhc,         // Korean, unified Hangul (949)
    Johab,       // Korean, Johab (1361)
    EucKr,       // Korean, EUC-KR: the double-byte part of 949 with both bytes 0xA1-0xFE
    MacCyrillic, // Macintosh Cyrillic (10007)
    Gb2312, // simplified Chinese, EUC-CN: the double-byte part of 936 with both bytes 0xA1-0xFE
};

// One code page's converter from the system, opened once for a record.
class CodePageConverter {
public:
    explicit CodePageConverter(CodePage codePage);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // Appends to `utf8` the character that `bytes` (one or two of them) are, when they are
    // exactly one character of the code page; else false, with `utf8` as it was.
    bool convert(std::string_view bytes, std::string& utf8);

private:
    CodePage codePage_;
    // The system's converter (an iconv descriptor on POSIX).
    void* native_ = nullptr;
};
