// The start-up baseline: a bare QWidget of the window's size, ended as the real window is.
//   bare_window W H frame [START-NS]  exits once the first frame is on the screen; given the
//                                     real-time clock at the process start, prints the moments
//                                     as startup_bench does
//   bare_window W H idle MS           idles MS ms after the frame and prints its resident KiB
//   bare_window --label W H ...       the same window with one line of text in a QLabel: what
//                                     any window that draws text pays for Qt's fonts

#include "bench/common/FirstFrame.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    using qm::bench::Spans;
    const bool label = argc > 1 && std::strcmp(argv[1], "--label") == 0;
    // The arguments after the option; Qt is given all of them.
    const int n = argc - (label ? 1 : 0);
    char** const arg = argv + (label ? 1 : 0);
    if (n < 4) {
        std::fprintf(stderr, "usage: bare_window [--label] W H frame|idle [START-NS|MS]\n");
        return 2;
    }
    const bool idle = std::strcmp(arg[3], "idle") == 0;
    if (!idle && n > 4)
        Spans::start(std::atoll(arg[4]));
    Spans::mark("main");
    QApplication app(argc, argv);
    Spans::mark("application");
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(std::atoi(arg[1]), std::atoi(arg[2]));
    if (label)
        (new QLabel(QStringLiteral("Font Family Name"), &window))->move(8, 8);
    window.show();
    Spans::mark("window-shown");
    qm::bench::endAfterFirstFrame(window, idle && n > 4 ? std::atoi(arg[4]) : -1);
    return QApplication::exec();
}
