#include "platform/FontSetUpAhead.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace qm::platform {

// Whatever the outcome, Qt calls FcInit again and reports a failure itself; without a thread to
// spare, Qt does all the loading itself, as it would anyway.
FontSetUpAhead::FontSetUpAhead() {
    try {
        loader_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
    }
}

FontSetUpAhead::~FontSetUpAhead() {
    wait();
}

void FontSetUpAhead::wait() {
    if (loader_.joinable())
        loader_.join();
}

} // namespace qm::platform
