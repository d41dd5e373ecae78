#pragma once

// Loads the system's font configuration on a thread of its own while the application object
// connects to the display, which leaves the second core idle. The window's first text needs the
// configuration (its files parsed, the caches of every font folder read), and would otherwise
// wait for it then; Qt finds it loaded and skips the work.

#include <thread>

namespace qm::platform {

class FontSetUpAhead {
public:
    FontSetUpAhead();
    // Waits for the loading to end.
    ~FontSetUpAhead();
    FontSetUpAhead(const FontSetUpAhead&) = delete;
    FontSetUpAhead& operator=(const FontSetUpAhead&) = delete;

    // Waits for the loading to end; call before the first text is measured or drawn.
    void wait();

private:
    std::thread loader_;
};

} // namespace qm::platform
