// The real window started as the program starts it, ended at the first frame painted:
//   startup_bench frame      exits once the first frame is on the screen (timed from outside)
//   startup_bench idle MS    then idles MS ms and prints its resident memory in KiB
//   startup_bench size       prints the window's width and height, for the baseline

#include "app/Application.h"
#include "app/Main.h"
#include "bench/common/FirstFrame.h"

#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "frame";
    // As main() starts it; FormCreate runs inside the constructor and shows the window.
    Application app(argc, argv);
    Application::setWindowIcon(QIcon(QStringLiteral(":/icons/quillmark.png")));
    auto* window = new TFrmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (std::strcmp(mode, "size") == 0) {
        std::printf("%d %d\n", window->width(), window->height());
        return 0;
    }
    const bool idle = std::strcmp(mode, "idle") == 0;
    qm::bench::endAfterFirstFrame(*window, idle && argc > 2 ? std::atoi(argv[2]) : -1);
    return Application::exec();
}
