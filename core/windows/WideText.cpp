#include "core/windows/WideText.h"

#include "core/Win32Codes.h"

#include <cerrno>
#include <cstring>
#include <cwctype>
#include <windows.h>

namespace qm::core {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t c) {
    if (c >= 0x10000) {
        out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

bool startsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string lastPartOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The message of `error` in `language`, without its line end; "" when there is none.
std::wstring messageOf(unsigned long error, DWORD language) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() && std::iswspace(message.back()))
        message.pop_back();
    return message;
}

} // namespace

// The program's messages are Windows-1252 text; English is asked first, as on Linux.
std::string descriptionOf(unsigned long error) {
    std::wstring message = messageOf(error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (message.empty())
        message = messageOf(error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));
    if (message.empty())
        return "Windows error " + std::to_string(error);
    const int size = ::WideCharToMultiByte(
        1252, 0, message.data(), static_cast<int>(message.size()), nullptr, 0, "?", nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(1252, 0, message.data(), static_cast<int>(message.size()), text.data(),
                          size, "?", nullptr);
    return text;
}

namespace {

// The program's code of a Windows error: the same code, where Windows has several for one cause.
int codeOfWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_ALREADY_EXISTS:
        return ERROR_FILE_EXISTS;
    case ERROR_HANDLE_DISK_FULL:
        return ERROR_DISK_FULL;
    default:
        return static_cast<int>(error);
    }
}

} // namespace

std::string utf8OfWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

std::wstring wideOfUtf8(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = bytes[i];
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        char32_t c = length == 1   ? lead
                     : length == 2 ? lead & 0x1F
                     : length == 3 ? lead & 0x0F
                                   : lead & 0x07;
        bool good = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; good && k < length; ++k) {
            good = (bytes[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        // Overlong forms and code points beyond Unicode are no characters.
        if (good && ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF))))
            good = false;
        if (!good) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        appendWide(out, c);
        i += length;
    }
    return out;
}

std::wstring systemPathOf(const std::string& path) {
    std::wstring wide = wideOfUtf8(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    if (startsWith(wide, L"\\\\?\\"))
        return wide;
    if (wide.empty() || startsWith(wide, L"\\\\.\\"))
        return {};
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    if (startsWith(full, L"\\\\.\\"))
        return {};
    if (startsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string unusableNameReason(const std::string& path) {
    const std::string name = lastPartOf(path);
    if (name.empty())
        return "The file name is empty.";
    if (name.back() == '.' || name.back() == ' ')
        return "A file name may not end in a dot or a space.";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return "A file name may not hold control characters or any of < > : \" / \\ | ? *";
    // Windows reserves these names, with any extension, for devices.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    static const char* const kReserved[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    bool reserved = false;
    for (const char* device : kReserved)
        reserved = reserved || stem == device;
    // COM1-COM9 and LPT1-LPT9, with the superscript digits Windows counts as well.
    if ((stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem.size() > 3) {
        const std::string digit = stem.substr(3);
        reserved = reserved || (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') ||
                   digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
    }
    if (reserved)
        return "\"" + name + "\" is a name Windows keeps for a device; a file cannot have it.";
    return {};
}

int errnoOfWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EWOULDBLOCK;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_SUPPORTED:
        return ENOSYS;
    default:
        return EIO;
    }
}

} // namespace qm::core

// The text of the Windows error an errno stands for; the C runtime's own where none does.
std::string systemTextOfErrno(int errnoValue) {
    const int code = win32CodeOfErrno(errnoValue, 0);
    return code != 0 ? qm::core::descriptionOf(static_cast<unsigned long>(code))
                     : std::string(std::strerror(errnoValue));
}

namespace qm::core {

EInOutError windowsError(unsigned long error) {
    return EInOutError(errnoOfWindowsError(error), codeOfWindowsError(error), descriptionOf(error));
}

EInOutError lastWindowsError() {
    return windowsError(::GetLastError());
}

} // namespace qm::core
