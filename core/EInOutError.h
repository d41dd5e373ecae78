#pragma once

#include <exception>
#include <string>

// A failed file operation on a font file. Carries the errno it came from and the code and text
// the user sees ("File not found", "Disk full", "I/O error 27", ...).
class EInOutError : public std::exception {
public:
    // Codes that do not come from errno.
    static constexpr int ReadBeyondEndCode = 100;

    explicit EInOutError(int errnoValue);
    static EInOutError ReadBeyondEnd();

    int Errno() const noexcept { return Errno_; }
    int ErrorCode() const noexcept { return ErrorCode_; }
    const char* what() const noexcept override { return Text_.c_str(); }

private:
    EInOutError(int errnoValue, int errorCode);

    int Errno_;
    int ErrorCode_;
    std::string Text_;
};

// The error code the user sees for an errno (file not found 2, path not found 3, access denied
// 5, sharing violation 32, file exists 80, disk full 112, device error 1117); others pass through.
int ErrorCodeOfErrno(int errnoValue);
std::string ErrorTextOfCode(int errorCode);
