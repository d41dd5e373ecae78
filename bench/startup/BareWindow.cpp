// The start-up baseline: a bare QWidget of the window's size, ended as the real window is.
//   bare_window W H frame [START-NS]  exits once the first frame is on the screen; given the
//                                     real-time clock at the process start, prints the moments
//                                     as startup_bench does
//   bare_window W H idle MS           idles MS ms after the frame and prints its resident KiB

#include "bench/common/FirstFrame.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    using qm::bench::Spans;
    if (argc < 4) {
        std::fprintf(stderr, "usage: bare_window W H frame|idle [START-NS|MS]\n");
        return 2;
    }
    const bool idle = std::strcmp(argv[3], "idle") == 0;
    if (!idle && argc > 4)
        Spans::start(std::atoll(argv[4]));
    Spans::mark("main");
    QApplication app(argc, argv);
    Spans::mark("application");
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    Spans::mark("window-shown");
    qm::bench::endAfterFirstFrame(window, idle && argc > 4 ? std::atoi(argv[4]) : -1);
    return QApplication::exec();
}
