#pragma once

#include <string>

// On Windows the console's Ctrl+C, Ctrl+Break and close events stand for SIGINT, SIGBREAK and
// SIGTERM.
//
// A make that has to write through named temporary files (where the file system has no unnamed
// files) registers them here, so that SIGINT, SIGTERM or SIGHUP remove them before the process
// ends. This is process-wide because a signal handler can reach nothing else; one copy at a
// time, as makes run one at a time: its temporary file and, while it is being published, the
// empty file that holds its name.
void registerInterruptCleanup(const std::string& path);
void registerInterruptCleanup(const std::string& path, const std::string& reservedName);
void clearInterruptCleanup();

// Installs the handlers of the command line and the window: each removes the registered files
// and ends the process by the same signal. SIGXFSZ is ignored, so that a file-size limit is an
// ordinary "File too large" error that the make reports and cleans up after.
void installInterruptHandlers();

namespace qm::core {

// Holds SIGINT, SIGTERM and SIGHUP back while a run changes files, so that the run can check
// for them between its steps and undo its changes in ordinary code before it ends by the
// signal. A signal that is still held when the run lets go came after the run was complete
// and is dropped: the exit status then says what the run did.
class HeldInterrupts {
public:
    HeldInterrupts();
    ~HeldInterrupts();
    HeldInterrupts(const HeldInterrupts&) = delete;
    HeldInterrupts& operator=(const HeldInterrupts&) = delete;

    // Ends the process by `signal`, with its default action, so the parent sees what happened.
    [[noreturn]] static void endBy(int signal);

private:
    bool outermost_ = false;
};

// Defers SIGINT, SIGTERM and SIGHUP over a few steps that must not be split, such as creating a
// file and registering it for removal; a signal that came meanwhile acts when it ends.
class InterruptsDeferred {
public:
    InterruptsDeferred();
    ~InterruptsDeferred();
    InterruptsDeferred(const InterruptsDeferred&) = delete;
    InterruptsDeferred& operator=(const InterruptsDeferred&) = delete;

private:
    bool outermost_ = false;
};

// The held signal that came first (0 when none came, or when none is held).
int heldInterrupt();

} // namespace qm::core
