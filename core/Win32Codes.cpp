#include "core/Win32Codes.h"

#include <cerrno>

namespace {

// A system without disk quotas has no errno for them.
#ifndef EDQUOT
constexpr int EDQUOT = ENOSPC;
#endif

constexpr ErrnoCode kErrnoCodes[] = {
    {ENOENT, 2},  {ENOTDIR, 3},  {ENAMETOOLONG, 3}, {ELOOP, 3},    {EMFILE, 4},
    {ENFILE, 4},  {EACCES, 5},   {EPERM, 5},        {EROFS, 5},    {EISDIR, 5},
    {ETXTBSY, 5}, {EBADF, 6},    {ENOMEM, 8},       {ENOEXEC, 11}, {EWOULDBLOCK, 32},
    {EEXIST, 80}, {ENOSPC, 112}, {EDQUOT, 112},     {EIO, 1117},   {ENXIO, 1117},
};

} // namespace

int win32CodeOfErrno(int errnoValue, int fallback, std::initializer_list<ErrnoCode> overrides) {
    for (const ErrnoCode& entry : overrides)
        if (entry.errnoValue == errnoValue)
            return entry.code;
    for (const ErrnoCode& entry : kErrnoCodes)
        if (entry.errnoValue == errnoValue)
            return entry.code;
    return fallback;
}
