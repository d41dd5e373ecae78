// The real window started as the program starts it, ended at the first frame painted:
//   startup_bench frame [START-NS]  exits once the first frame is on the screen (timed from
//                                   outside); given the real-time clock at the process start, it
//                                   prints when main, the application object, the window and the
//                                   first frame were reached
//   startup_bench open FONT         as "quillmark FONT" starts, ending at the first frame
//   startup_bench idle MS           idles MS ms after the frame and prints its resident KiB
//   startup_bench size              prints the window's width and height, for the baseline

#include "app/Application.h"
#include "app/Main.h"
#include "bench/common/FirstFrame.h"
#include "platform/FontSetUpAhead.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using qm::app::Application;

int main(int argc, char** argv) {
    using qm::bench::Spans;
    const char* mode = argc > 1 ? argv[1] : "frame";
    const bool idle = std::strcmp(mode, "idle") == 0;
    if (std::strcmp(mode, "frame") == 0 && argc > 2)
        Spans::start(std::atoll(argv[2]));
    Spans::mark("main");
    // As main() starts it; FormCreate runs inside the constructor and shows the window.
    qm::platform::FontSetUpAhead fonts;
    Application app(argc, argv);
    fonts.wait();
    Spans::mark("application");
    auto* window = new TFrmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    Spans::mark("window-shown");
    if (std::strcmp(mode, "open") == 0 && argc > 2)
        window->openFontFileAtStart(QFile::decodeName(argv[2]));
    if (std::strcmp(mode, "size") == 0) {
        std::printf("%d %d\n", window->width(), window->height());
        std::fflush(stdout);
        std::_Exit(0); // as every mode ends: no teardown
    }
    qm::bench::endAfterFirstFrame(*window, idle && argc > 2 ? std::atoi(argv[2]) : -1);
    return Application::exec();
}
