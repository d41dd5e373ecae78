#include "tests/support/TestFonts.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Same start as every suite of the project, although the core needs no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Runs over several files keep their journals here, not in the user's own state folder.
    const testfonts::TempDir state;
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
