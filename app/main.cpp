// Quillmark: one main window, run until it is closed.

#include "app/Main.h"
#include "app/Application.h"

#include <QIcon>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // Without a display Qt would abort; say what to do instead.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "quillmark: no display found. Start it from a desktop session, or "
                     "under a virtual display:\n  xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    TApplication app(argc, argv);
    TApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillmark.png")));

    // FormCreate runs inside the constructor and shows the window.
    auto* FrmMain = new TFrmMain;
    FrmMain->setAttribute(Qt::WA_DeleteOnClose);
    return TApplication::exec();
}
