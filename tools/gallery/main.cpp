// gallery <folder>: writes a PNG of every display control in each of its states.

#include "Gallery.h"

#include "controls/SystemColors.h"

#include <QApplication>
#include <cstdio>

using qm::controls::defaultUiFont;

namespace {

struct PageEntry {
    const char* name;
    GalleryPage page;
};

// One row per control family; a new control adds its page here.
const PageEntry kPages[] = {
    {"dot-matrix counter", lcdPage},     {"path label", pathLabelPage},
    {"colour button", colorButtonPage},  {"flashing label", flashingLabelPage},
    {"font image label", fontImagePage}, {"toggle check box", checkBoxPage},
    {"three-D label", drLabelPage},      {"balloon help", balloonPage},
    {"window roller", rollerPage},       {"caption bar", captionPage},
    {"window chrome", chromeWindowPage}, {"main window", mainWindowPage},
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(defaultUiFont());
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery <output folder>\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "gallery: cannot create %s\n", argv[1]);
        return 1;
    }
    Gallery gallery(out);
    for (const PageEntry& entry : kPages) {
        const int before = gallery.written();
        entry.page(gallery);
        std::printf("%-20s %d pictures\n", entry.name, gallery.written() - before);
    }
    std::printf("gallery: %d pictures in %s\n", gallery.written(), qPrintable(out.absolutePath()));
    return gallery.failed() ? 1 : 0;
}
