#include "platform/FontSetUpAhead.h"

#include <fontconfig/fontconfig.h>

namespace qm::platform {

// Whatever the outcome, Qt calls FcInit again and reports a failure itself.
FontSetUpAhead::FontSetUpAhead() : loader_([] { FcInit(); }) {}

FontSetUpAhead::~FontSetUpAhead() {
    wait();
}

void FontSetUpAhead::wait() {
    if (loader_.joinable())
        loader_.join();
}

} // namespace qm::platform
