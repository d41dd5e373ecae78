// The main() of window test programs that bring none of their own: the program's own
// application object, so escaped errors reach the "Error" box as they do in the program.

#include "app/Application.h"

#include <cstdlib>
#include <gtest/gtest.h>

using qm::app::Application;

int main(int argc, char** argv) {
    // A Qt program without a display aborts unless told to draw offscreen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
