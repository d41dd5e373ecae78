#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Same start as every suite of the project, although the core needs no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
