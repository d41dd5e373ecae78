#pragma once

#include <exception>
#include <string>

// A failed file operation on a font file. Carries the errno it came from and the code and text
// the user sees ("File not found", "Disk full", "I/O error 27" and the system's description of
// the cause on a second line, ...).
class EInOutError : public std::exception {
public:
    // Codes that do not come from errno.
    static constexpr int kReadBeyondEndCode = 100;

    explicit EInOutError(int errnoValue);
    // Where the caller knows better what an errno means, e.g. ENOENT when creating a file is a
    // missing folder.
    EInOutError(int errnoValue, int errorCode);
    // Where the system describes the cause itself (Windows' FormatMessageW): `description` is the
    // second line of an "I/O error N".
    EInOutError(int errnoValue, int errorCode, const std::string& description);
    static EInOutError readBeyondEnd();
    // A file is created where the folder may be missing.
    static EInOutError ofCreate(int errnoValue);

    int errnoValue() const noexcept { return errno_; }
    int errorCode() const noexcept { return errorCode_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    int errno_;
    int errorCode_;
    std::string text_;
};

// The system's description of an errno (the file layer's: strerror on POSIX, FormatMessageW of
// the matching code on Windows).
std::string systemTextOfErrno(int errnoValue);

// The error code the user sees for an errno of a font file operation; codes missing from the
// table pass through.
int errorCodeOfErrno(int errnoValue);
// The program's own text of a code; "I/O error N" for a code without one.
std::string errorTextOfCode(int errorCode);
