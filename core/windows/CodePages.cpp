// Legacy encodings through Windows' own code pages (Debian has no iconv for mingw). Each
// character is converted on its own, so that a byte that starts none is passed on as undecodable
// and the rest still decodes, as iconv does on POSIX.

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
bool withinEucRange(CodePage codePage, const unsigned char* bytes, int length) {
    if (codePage != CodePage::EucKr && codePage != CodePage::Gb2312)
        return true;
    if (length == 1)
        return bytes[0] < 0x80;
    return bytes[0] >= 0xA1 && bytes[0] <= 0xFE && bytes[1] >= 0xA1 && bytes[1] <= 0xFE;
}

} // namespace

void decodeCodePage(CodePage codePage, std::string_view bytes, CodePageOutput& out) {
    const UINT windows = windowsCodePage(codePage);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::wstring run;
    auto flush = [&] {
        if (!run.empty())
            out.text(qm::core::utf8OfWide(run));
        run.clear();
    };
    for (std::size_t i = 0; i < bytes.size();) {
        wchar_t units[4];
        int got = 0;
        int length = 1;
        // A lead byte takes the byte after it; everything here is one or two bytes long.
        for (; length <= 2 && i + static_cast<std::size_t>(length) <= bytes.size(); ++length) {
            if (!withinEucRange(codePage, data + i, length))
                continue;
            got = ::MultiByteToWideChar(windows, MB_ERR_INVALID_CHARS,
                                        reinterpret_cast<const char*>(data + i), length, units, 4);
            if (got == 1 || got == 2)
                break;
            got = 0;
        }
        if (got == 0) {
            flush();
            out.undecodable(data[i]);
            ++i;
            continue;
        }
        run.append(units, static_cast<std::size_t>(got));
        i += static_cast<std::size_t>(length);
    }
    flush();
}
