#pragma once

#include <initializer_list>

// The program's texts and callers speak Windows error codes: file not found 2, path not found 3,
// too many open files 4, access denied 5, not enough memory 8, bad format 11, sharing
// violation 32, file exists 80, disk full 112, device error 1117. This is the one table from
// errno to those codes.
struct ErrnoCode {
    int errnoValue;
    int code;
};

// `overrides` (a caller's own reading of an errno) are looked at first; an errno found in
// neither gives `fallback`.
int win32CodeOfErrno(int errnoValue, int fallback, std::initializer_list<ErrnoCode> overrides = {});
