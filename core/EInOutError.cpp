#include "core/EInOutError.h"

#include <cerrno>

int ErrorCodeOfErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return 5;
    case EBADF:
        return 6;
    case ENOMEM:
        return 8;
    case EWOULDBLOCK:
        return 32;
    case EEXIST:
        return 80;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case EIO:
    case ENXIO:
        return 1117;
    default:
        return errnoValue;
    }
}

std::string ErrorTextOfCode(int errorCode) {
    switch (errorCode) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 5:
        return "File access denied";
    case 112:
        return "Disk full";
    case EInOutError::ReadBeyondEndCode:
        return "Read beyond end of file";
    default:
        return "I/O error " + std::to_string(errorCode);
    }
}

EInOutError::EInOutError(int errnoValue) : EInOutError(errnoValue, ErrorCodeOfErrno(errnoValue)) {}

EInOutError::EInOutError(int errnoValue, int errorCode)
    : Errno_(errnoValue), ErrorCode_(errorCode), Text_(ErrorTextOfCode(errorCode)) {}

EInOutError EInOutError::ReadBeyondEnd() {
    return EInOutError(0, ReadBeyondEndCode);
}
