#include "core/CodePages.h"

#include <iconv.h>

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

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

} // namespace

CodePageConverter::CodePageConverter(CodePage codePage) : codePage_(codePage) {
    const iconv_t cd = ::iconv_open("UTF-8", iconvName(codePage_));
    native_ = cd == kNoConverter ? nullptr : cd;
}

CodePageConverter::~CodePageConverter() {
    if (native_)
        ::iconv_close(static_cast<iconv_t>(native_));
}

// One character at a time: glibc's CP949 takes some invalid pairs whole and still reports them
// invalid, which leaves nothing to tell where the bad bytes were in a longer run.
bool CodePageConverter::convert(std::string_view bytes, std::string& utf8) {
    if (!native_)
        return false;
    const auto cd = static_cast<iconv_t>(native_);
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char input[4];
    if (bytes.size() > sizeof input)
        return false;
    bytes.copy(input, bytes.size());
    char* in = input;
    std::size_t inLeft = bytes.size();
    char output[16];
    char* out = output;
    std::size_t outLeft = sizeof output;
    if (::iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        out == output)
        return false;
    utf8.append(output, static_cast<std::size_t>(out - output));
    return true;
}
