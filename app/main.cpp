// Quillmark: one main window, run until it is closed. A font file named on the command line
// (the desktop's "Open with") is opened as if it had been clicked in the file list.

#include "app/Main.h"
#include "QuillmarkVersion.h"
#include "app/Application.h"
#include "app/WindowAccessible.h"
#include "core/InterruptCleanup.h"
#include "platform/CommandLine.h"
#include "platform/FontSetUpAhead.h"

#include <QAccessible>
#include <cstdio>
#include <cstdlib>

using qm::app::Application;

int main(int argc, char** argv) {
    qm::platform::CommandLine commandLine(
        QStringLiteral("quillmark"), QString::fromLatin1(qm::kVersion),
        QStringLiteral("Renames the names stored inside TrueType font files, safely and "
                       "reversibly."));
    commandLine.parser().addPositionalArgument(QStringLiteral("font"),
                                               QStringLiteral("A font file to open at start."),
                                               QStringLiteral("[font]"));
    commandLine.setExitStatuses(
        QStringLiteral("  0  the window was closed, or help or version was shown\n"
                       "  1  there is no display to show the window on\n"
                       "  2  a usage error\n"));
    if (const int status = commandLine.answerWithoutDisplay(argc, argv); status >= 0)
        return status;
    const QStringList files = commandLine.positionalArguments();
    if (files.size() > 1)
        return commandLine.usageError(
            QStringLiteral("opens one font file at a time, but was given %1").arg(files.size()));

    // Without a display Qt would abort; say what to do instead.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "quillmark: no display found. Start it from a desktop session, or "
                     "under a virtual display:\n  xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    // An interrupted make leaves no temporary file behind.
    installInterruptHandlers();
    qm::platform::FontSetUpAhead fonts;
    Application app(argc, argv);
    fonts.wait();
    QAccessible::installFactory(qm::app::windowAccessibleFactory);

    // FormCreate runs inside the constructor and shows the window.
    auto* FrmMain = new TFrmMain;
    FrmMain->setAttribute(Qt::WA_DeleteOnClose);
    if (!files.isEmpty())
        FrmMain->openFontFileAtStart(files.first());
    return Application::exec();
}
