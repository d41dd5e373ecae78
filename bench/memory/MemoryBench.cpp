// Memory of one font load in the real window, opened as "quillmark FONT" opens it, against the
// same font registered with QFontDatabase::addApplicationFont and painted once in a label of the
// strip's size and font size, in a process that shows the same window:
//   memory_bench window FONT    the window loads the font
//   memory_bench qt FONT        Qt registers it and paints the strip's glyphs
// Prints "RSS-growth peak-growth loaded" in KiB: the resident memory after the load less before,
// and the peak during the load (the peak is reset just before it) less the memory before.

#include "app/FindControl.h"
#include "app/Main.h"

#include "bench/common/FirstFrame.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>

#include <cstdio>
#include <cstring>

using qm::app::findAs;

namespace {

// From here on VmHWM counts from the present resident memory.
void resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: memory_bench window|qt FONT\n");
        return 2;
    }
    const bool qtSide = std::strcmp(argv[1], "qt") == 0;
    const QString font = QFile::decodeName(argv[2]);
    TFrmMain window;
    window.show();
    const auto* strip = findAs<QLabel>(window, "LB_All256Chars");
    QLabel bare;
    bare.setWindowFlag(Qt::FramelessWindowHint);
    bare.resize(strip->size());
    bare.setText(strip->text());
    bare.show();
    QApplication::processEvents();

    const long before = qm::bench::statusKiB("VmRSS");
    resetPeak();
    bool loaded = false;
    if (qtSide) {
        const int id = QFontDatabase::addApplicationFont(font);
        QFont face(QFontDatabase::applicationFontFamilies(id).value(0));
        face.setPixelSize(strip->font().pixelSize());
        bare.setFont(face);
        bare.repaint();
        loaded = id >= 0;
    } else {
        window.openFontFile(font);
        loaded = !findAs<QLineEdit>(window, "E_FamilyName")->text().isEmpty();
    }
    QApplication::processEvents();
    const long after = qm::bench::statusKiB("VmRSS");
    const long peak = qm::bench::statusKiB("VmHWM");
    std::printf("%ld %ld %s\n", after - before, peak - before, loaded ? "loaded" : "NOT-LOADED");
    return loaded ? 0 : 1;
}
