#include "core/InterruptCleanup.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Written with the signals blocked; read only by the handler.
char PendingPath[4096];
volatile std::sig_atomic_t HasPendingPath = 0;

class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t interrupts;
        sigemptyset(&interrupts);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&interrupts, signal);
        sigprocmask(SIG_BLOCK, &interrupts, &previous_);
    }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t previous_{};
};

void RemovePendingAndEnd(int signal) {
    if (HasPendingPath != 0)
        ::unlink(PendingPath);
    // The default action ends the process with the signal, so the parent sees what happened.
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

void RegisterInterruptCleanup(const std::string& path) {
    const SignalsBlocked blocked;
    if (path.size() >= sizeof PendingPath)
        return;
    std::memcpy(PendingPath, path.c_str(), path.size() + 1);
    HasPendingPath = 1;
}

void ClearInterruptCleanup() {
    const SignalsBlocked blocked;
    HasPendingPath = 0;
}

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}
