#include "core/CodePages.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace {

const char* iconvName(CodePage codePage) {
    switch (codePage) {
    case CodePage::ShiftJis:
        return "CP932";
    case CodePage::Gbk:
        return "GBK";
    case CodePage::Big5:
        return "BIG5";
    case CodePage::Uhc:
        return "CP949";
    case CodePage::Johab:
        return "JOHAB";
    case CodePage::EucKr:
        return "EUC-KR";
    case CodePage::MacCyrillic:
        return "MAC-CYRILLIC";
    case CodePage::Gb2312:
        return "GB2312";
    }
    return "";
}

} // namespace

// A byte iconv cannot take is passed on as undecodable and skipped.
void decodeCodePage(CodePage codePage, std::string_view bytes, CodePageOutput& out) {
    const iconv_t cd = ::iconv_open("UTF-8", iconvName(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char c : bytes)
            out.undecodable(static_cast<unsigned char>(c));
        return;
    }
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char buffer[256];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.text(std::string_view(buffer, static_cast<std::size_t>(outPtr - buffer)));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out.undecodable(static_cast<unsigned char>(*in));
            ++in;
            --inLeft;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
}
