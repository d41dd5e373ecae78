// Resident memory of the real window loading one font, opened as "quillmark FONT" opens it:
// the peak (VmHWM) before and after the load, and whether the font loaded. A font padded with
// a sparse tail shows whether the window reads a file whole.

#include "app/FindControl.h"
#include "app/Main.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTextStream>

#include <cstdio>

namespace {

// The process's peak resident memory so far, in KiB.
long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(QLatin1String("VmHWM:")))
            return line.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty)
                .section(QLatin1Char(' '), 0, 0)
                .toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        std::fprintf(stderr, "usage: memory_bench FONT\n");
        return 2;
    }
    TFrmMain window;
    window.show();
    QApplication::processEvents();
    const long before = peakResidentKiB();
    window.openFontFile(app.arguments().at(1));
    QApplication::processEvents();
    const long after = peakResidentKiB();
    const QString family = findAs<QLineEdit>(window, "E_FamilyName")->text();
    std::printf("%s: peak resident %.1f MB before the load, %.1f MB after (%s)\n",
                qPrintable(QFile(app.arguments().at(1)).fileName()), before / 1024.0,
                after / 1024.0,
                family.isEmpty() ? "NOT LOADED" : qPrintable("loaded \"" + family + '"'));
    return family.isEmpty() ? 1 : 0;
}
