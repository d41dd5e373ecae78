#pragma once

// Windows has no flock: the few cases of the shared core suites that hold a POSIX lock fail here
// at once and are skipped by name (tests/windows/WindowsTestMain.cpp); the Windows locks are
// tested in WindowsFileLayerTest.cpp.

#include <cerrno>
#include <sys/stat.h>

#define LOCK_SH 1
#define LOCK_EX 2
#define LOCK_NB 4
#define LOCK_UN 8

inline int flock(int, int) {
    errno = ENOSYS;
    return -1;
}

// Nor FIFOs.
inline int mkfifo(const char*, int) {
    errno = ENOSYS;
    return -1;
}
