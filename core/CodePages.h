#pragma once

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

// Where a decoding goes.
class CodePageOutput {
public:
    virtual ~CodePageOutput() = default;
    // Decoded characters, as UTF-8.
    virtual void text(std::string_view utf8) = 0;
    // A byte that starts no character of the code page; the decoding goes on after it.
    virtual void undecodable(unsigned char byte) = 0;
};

void decodeCodePage(CodePage codePage, std::string_view bytes, CodePageOutput& out);
