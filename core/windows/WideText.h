#pragma once

// Windows only: the file layer's conversions between the program's UTF-8 and the system's UTF-16,
// and the system's errors as the program's.

#include "core/EInOutError.h"

#include <string>
#include <string_view>

namespace qm::core {

// UTF-16 to UTF-8. A lone surrogate, which a Windows file name may hold, is written as the three
// bytes UTF-8 would give its code point, so that the name converts back unchanged.
std::string utf8OfWide(std::wstring_view wide);
// The inverse of utf8OfWide; a byte that starts no character becomes U+FFFD.
std::wstring wideOfUtf8(std::string_view utf8);

// The path as the wide API takes it: absolute, with backslashes, and prefixed with \\?\ so that a
// path longer than 260 characters works. A path into the device namespace (\\.\COM1, or a
// reserved name such as C:\fonts\CON, which Windows turns into one) gives an empty string.
std::wstring systemPathOf(const std::string& path);

// Why a new file may not have the last part of `path` as its name, or "" when it may: a name
// Windows reserves for a device (CON, NUL, COM1, ...), one that ends in a dot or a space, or
// one holding a character Windows forbids in names.
std::string unusableNameReason(const std::string& path);

// The system's description of a Windows error code, in English where Windows has it, as
// Windows-1252 text.
std::string descriptionOf(unsigned long error);
// The errno that stands for a Windows error code in the callers' checks.
int errnoOfWindowsError(unsigned long error);
// The program's error for a Windows error code: its own text for the codes it knows, else
// "I/O error N" with the system's description (FormatMessageW) on a second line.
EInOutError windowsError(unsigned long error);
// The same for the calling thread's last error.
EInOutError lastWindowsError();

} // namespace qm::core
