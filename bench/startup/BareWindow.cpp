// The start-up baseline: a bare QWidget of the window's size, ended as the real window is.
//   bare_window W H frame      exits once the first frame is on the screen
//   bare_window W H idle MS    then idles MS ms and prints its resident memory in KiB

#include "bench/common/FirstFrame.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bare_window W H frame|idle [MS]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    const bool idle = std::strcmp(argv[3], "idle") == 0;
    qm::bench::endAfterFirstFrame(window, idle && argc > 4 ? std::atoi(argv[4]) : -1);
    return QApplication::exec();
}
