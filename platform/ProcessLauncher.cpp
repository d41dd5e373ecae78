#include "platform/ProcessLauncher.h"

#include "core/Win32Codes.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qm::platform {

int win32FromErrno(int err) {
    // posix_spawn's EAGAIN is a process limit, not a lock held elsewhere: no memory for one
    // more program. Anything else unknown is a general failure (31).
    return win32CodeOfErrno(err, 31, {{EAGAIN, 8}});
}

LaunchResult launchProcess(const std::string& program, const std::vector<std::string>& args,
                           bool wait) {
    LaunchResult result;
    if (program.empty()) {
        result.error = win32FromErrno(ENOENT);
        return result;
    }
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back(program);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : storage) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    pid_t pid = -1;
    // glibc's posix_spawn reports a failed exec as its result, so a missing program or a
    // file that is not executable comes back here rather than as an exit status.
    const bool onPath = program.find('/') == std::string::npos;
    const int rc =
        onPath ? ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ)
               : ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        result.error = win32FromErrno(rc);
        return result;
    }
    result.pid = pid;
    if (wait) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        }
    } else {
        // Reap the child when it ends so that no zombie is left; nobody waits for it.
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return result;
}

std::string changeCurrentFolder(const std::string& path) {
    if (::chdir(path.c_str()) == 0) {
        return {};
    }
    return std::strerror(errno);
}

} // namespace qm::platform
