#include "core/InterruptCleanup.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Written with the signals blocked; read only by the handler.
char pendingPaths[2][4096];
volatile std::sig_atomic_t pendingCount = 0;
// How many HeldInterrupts are alive; only the outermost lets go.
int heldDepth = 0;
// The mask before the outermost InterruptsDeferred of this thread, which alone restores it.
thread_local int deferredDepth = 0;
thread_local sigset_t maskBeforeDeferred;

sigset_t interruptSet() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int signal : kInterrupts)
        sigaddset(&interrupts, signal);
    return interrupts;
}

void removePendingAndEnd(int signal) {
    for (int i = 0; i < pendingCount; ++i)
        ::unlink(pendingPaths[i]);
    // The default action ends the process with the signal, so the parent sees what happened.
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

void setPending(const std::string* paths, int count) {
    const qm::core::InterruptsDeferred blocked;
    pendingCount = 0;
    for (int i = 0; i < count; ++i) {
        if (paths[i].size() >= sizeof pendingPaths[i])
            return;
        std::memcpy(pendingPaths[i], paths[i].c_str(), paths[i].size() + 1);
    }
    pendingCount = count;
}

} // namespace

void registerInterruptCleanup(const std::string& path) {
    setPending(&path, 1);
}

void registerInterruptCleanup(const std::string& path, const std::string& reservedName) {
    const std::string paths[] = {path, reservedName};
    setPending(paths, 2);
}

void clearInterruptCleanup() {
    const qm::core::InterruptsDeferred blocked;
    pendingCount = 0;
}

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = removePendingAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : kInterrupts)
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

namespace qm::core {

HeldInterrupts::HeldInterrupts() {
    if (heldDepth++ > 0)
        return;
    outermost_ = true;
    const sigset_t interrupts = interruptSet();
    sigprocmask(SIG_BLOCK, &interrupts, nullptr);
}

HeldInterrupts::~HeldInterrupts() {
    --heldDepth;
    if (!outermost_)
        return;
    // Whatever is still held came after the run was complete.
    const sigset_t interrupts = interruptSet();
    const timespec now{};
    while (sigtimedwait(&interrupts, nullptr, &now) > 0) {
    }
    sigprocmask(SIG_UNBLOCK, &interrupts, nullptr);
}

void HeldInterrupts::endBy(int signal) {
    std::signal(signal, SIG_DFL);
    ::raise(signal);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    // Not reached: the signal's default action ends the process.
    ::_exit(128 + signal);
}

InterruptsDeferred::InterruptsDeferred() {
    if (deferredDepth++ > 0)
        return;
    outermost_ = true;
    const sigset_t interrupts = interruptSet();
    sigprocmask(SIG_BLOCK, &interrupts, &maskBeforeDeferred);
}

InterruptsDeferred::~InterruptsDeferred() {
    --deferredDepth;
    if (outermost_)
        sigprocmask(SIG_SETMASK, &maskBeforeDeferred, nullptr);
}

int heldInterrupt() {
    if (heldDepth == 0)
        return 0;
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int signal : kInterrupts)
        if (sigismember(&pending, signal) == 1)
            return signal;
    return 0;
}

} // namespace qm::core
