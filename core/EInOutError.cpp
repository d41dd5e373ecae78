#include "core/EInOutError.h"

#include "core/Win32Codes.h"

#include <cerrno>

int errorCodeOfErrno(int errnoValue) {
    return win32CodeOfErrno(errnoValue, errnoValue);
}

std::string errorTextOfCode(int errorCode) {
    switch (errorCode) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 5:
        return "File access denied";
    case 80:
        return "A TrueType font file with this name already exists.";
    case 112:
        return "Disk full";
    case EInOutError::kReadBeyondEndCode:
        return "Read beyond end of file";
    default:
        return "I/O error " + std::to_string(errorCode);
    }
}

EInOutError::EInOutError(int errnoValue) : EInOutError(errnoValue, errorCodeOfErrno(errnoValue)) {}

EInOutError::EInOutError(int errnoValue, int errorCode)
    : EInOutError(errnoValue, errorCode, errnoValue != 0 ? systemTextOfErrno(errnoValue) : "") {}

EInOutError::EInOutError(int errnoValue, int errorCode, const std::string& description)
    : errno_(errnoValue), errorCode_(errorCode), text_(errorTextOfCode(errorCode)) {
    // A bare number says little: the system's description of the cause goes on a second line
    // (lines of the program's messages end with a lone CR).
    if (text_.rfind("I/O error ", 0) == 0 && !description.empty())
        text_ += "\r" + description;
}

EInOutError EInOutError::readBeyondEnd() {
    return EInOutError(0, kReadBeyondEndCode);
}

EInOutError EInOutError::ofCreate(int errnoValue) {
    return EInOutError(errnoValue, win32CodeOfErrno(errnoValue, errnoValue, {{ENOENT, 3}}));
}
