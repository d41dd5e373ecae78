// Interrupts on Windows: the console's control events arrive on a thread of their own. A lock
// that the handler takes as well stands for the POSIX layer's blocked signals: while a step that
// must not be split holds it, the handler waits.

#include "core/InterruptCleanup.h"

#include "core/windows/WideText.h"

#include <atomic>
#include <csignal>
#include <string>
#include <windows.h>

namespace {

// What Windows reports for a process that Ctrl+C ended.
constexpr UINT kInterruptedExitCode = 0xC000013A;

struct State {
    State() { ::InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    // Written under the lock; read by the handler under it.
    std::wstring pending[2];
    int pendingCount = 0;
    int heldDepth = 0;
    std::atomic<int> heldSignal{0};
};

State& state() {
    static State* const shared = new State;
    return *shared;
}

class Locked {
public:
    Locked() { ::EnterCriticalSection(&state().lock); }
    ~Locked() { ::LeaveCriticalSection(&state().lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

int signalOfEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
        return SIGINT;
    case CTRL_BREAK_EVENT:
        return SIGBREAK;
    default:
        return SIGTERM;
    }
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signal = signalOfEvent(event);
    ::EnterCriticalSection(&state().lock);
    if (state().heldDepth > 0) {
        int none = 0;
        state().heldSignal.compare_exchange_strong(none, signal);
        ::LeaveCriticalSection(&state().lock);
        // Windows ends the process as soon as the handler of a close, logoff or shutdown event
        // returns: it waits here while the run undoes its changes and ends itself.
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            ::Sleep(INFINITE);
        return TRUE;
    }
    for (int i = 0; i < state().pendingCount; ++i)
        ::DeleteFileW(state().pending[i].c_str());
    // Still under the lock: nothing new can be registered before the process ends.
    ::ExitProcess(kInterruptedExitCode);
}

void setPending(const std::string* paths, int count) {
    const Locked locked;
    state().pendingCount = 0;
    for (int i = 0; i < count; ++i)
        state().pending[i] = qm::core::systemPathOf(paths[i]);
    state().pendingCount = count;
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
    const Locked locked;
    state().pendingCount = 0;
}

void installInterruptHandlers() {
    state();
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

namespace qm::core {

HeldInterrupts::HeldInterrupts() {
    const Locked locked;
    if (state().heldDepth++ == 0)
        outermost_ = true;
}

HeldInterrupts::~HeldInterrupts() {
    const Locked locked;
    --state().heldDepth;
    // Whatever is still held came after the run was complete.
    if (outermost_)
        state().heldSignal = 0;
}

void HeldInterrupts::endBy(int) {
    ::ExitProcess(kInterruptedExitCode);
}

InterruptsDeferred::InterruptsDeferred() {
    ::EnterCriticalSection(&state().lock);
}

InterruptsDeferred::~InterruptsDeferred() {
    ::LeaveCriticalSection(&state().lock);
}

int heldInterrupt() {
    return state().heldDepth > 0 ? state().heldSignal.load() : 0;
}

} // namespace qm::core
