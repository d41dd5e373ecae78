#pragma once

#include <string>

// A make that has to write through a named temporary file (where the file system has no unnamed
// files) registers it here, so that SIGINT, SIGTERM or SIGHUP remove it before the process
// ends. This is process-wide because a signal handler can reach nothing else; one file at a
// time, as makes run one at a time.
void registerInterruptCleanup(const std::string& path);
void clearInterruptCleanup();

// Installs the handlers of the command line and the window: each removes the registered file
// and ends the process by the same signal. SIGXFSZ is ignored, so that a file-size limit is an
// ordinary "File too large" error that the make reports and cleans up after.
void installInterruptHandlers();
