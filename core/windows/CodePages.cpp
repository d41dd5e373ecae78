// Legacy encodings through Windows' own code pages (Debian has no iconv for mingw).

#include "core/CodePages.h"

#include "core/windows/WideText.h"

#include <windows.h>

namespace {

UINT windowsCodePage(CodePage codePage) {
    switch (codePage) {
    case CodePage::ShiftJis:
        return 932;
    case CodePage::Gbk:
    case CodePage::Gb2312:
        return 936;
    case CodePage::Big5:
        return 950;
    case CodePage::Uhc:
    case CodePage::EucKr:
        return 949;
    case CodePage::Johab:
        return 1361;
    case CodePage::MacCyrillic:
        return 10007;
    }
    return 0;
}

// EUC-KR and GB2312 are the part of 949 and 936 whose two bytes both lie in 0xA1-0xFE.
bool withinEucRange(CodePage codePage, std::string_view bytes) {
    if (codePage != CodePage::EucKr && codePage != CodePage::Gb2312)
        return true;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() == 1)
        return data[0] < 0x80;
    return data[0] >= 0xA1 && data[0] <= 0xFE && data[1] >= 0xA1 && data[1] <= 0xFE;
}

} // namespace

CodePageConverter::CodePageConverter(CodePage codePage) : codePage_(codePage) {}

CodePageConverter::~CodePageConverter() = default;

bool CodePageConverter::convert(std::string_view bytes, std::string& utf8) {
    if (bytes.empty() || bytes.size() > 2 || !withinEucRange(codePage_, bytes))
        return false;
    wchar_t units[4];
    const int got = ::MultiByteToWideChar(windowsCodePage(codePage_), MB_ERR_INVALID_CHARS,
                                          bytes.data(), static_cast<int>(bytes.size()), units, 4);
    // One character: a unit, or a surrogate pair.
    const bool one = got == 1 || (got == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF);
    if (!one)
        return false;
    utf8 += qm::core::utf8OfWide(std::wstring_view(units, static_cast<std::size_t>(got)));
    return true;
}
