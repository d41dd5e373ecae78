#include "core/InterruptCleanup.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Written with the signals blocked; read only by the handler.
char pendingPath[4096];
volatile std::sig_atomic_t hasPendingPath = 0;

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

void removePendingAndEnd(int signal) {
    if (hasPendingPath != 0)
        ::unlink(pendingPath);
    // The default action ends the process with the signal, so the parent sees what happened.
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

void registerInterruptCleanup(const std::string& path) {
    const SignalsBlocked blocked;
    if (path.size() >= sizeof pendingPath)
        return;
    std::memcpy(pendingPath, path.c_str(), path.size() + 1);
    hasPendingPath = 1;
}

void clearInterruptCleanup() {
    const SignalsBlocked blocked;
    hasPendingPath = 0;
}

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = removePendingAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}
