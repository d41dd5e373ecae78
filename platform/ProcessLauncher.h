#pragma once

// Starts programs the way the viewer launch needs: each argument its own argv entry (a path
// with blanks stays one argument), failures as Win32 codes, and no zombie left behind.

#include <string>
#include <vector>

namespace qm::platform {

// errno -> Win32 code: ENOENT 2, ENOTDIR 3, EACCES 5, ENOMEM 8, ENOEXEC 11, others 31.
int win32FromErrno(int err);

struct LaunchResult {
    int error = 0;     // Win32 code, 0 when the program started
    int pid = -1;      // the started process
    int exitCode = -1; // only after a waited-for run that exited normally
};

// A program name without "/" is looked up on PATH, otherwise it is taken as a path. Not
// waiting, the child is reaped in the background when it ends. Waiting blocks until it ends,
// without a time limit.
LaunchResult launchProcess(const std::string& program, const std::vector<std::string>& args,
                           bool wait);

// chdir(); empty on success, otherwise the system's message for the failure.
std::string changeCurrentFolder(const std::string& path);

} // namespace qm::platform
