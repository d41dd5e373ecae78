// Times the browser on the real window: a folder change into a folder of 10,000 .ttf files
// (listed, counted, drawn) and the load of a large font (read, registered, strip and fields
// drawn). Prints the median and the worst of each.

#include "app/FindControl.h"
#include "app/Main.h"
#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    double median;
    double worst;
};

template <class F> Figures timeRuns(int runs, F&& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run(i);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void settle() {
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: browse_bench <large .ttf> [files=10000] [runs=15]\n");
        return 2;
    }
    const QString bigFont = args.at(1);
    const int files = args.size() > 2 ? args.at(2).toInt() : 10000;
    const int runs = args.size() > 3 ? args.at(3).toInt() : 15;

    QTemporaryDir work;
    const QString crowded = work.filePath("crowded");
    const QString small = work.filePath("small");
    QDir().mkpath(crowded);
    QDir().mkpath(small);
    for (int i = 0; i < files; ++i) {
        QFile f(QStringLiteral("%1/F%2.ttf").arg(crowded).arg(i, 5, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
    }
    const QString bigCopy = small + "/BIG.TTF";
    if (!QFile::copy(bigFont, bigCopy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(bigFont));
        return 1;
    }

    TFrmMain window;
    window.show();
    settle();

    // Into the crowded folder and back out, timed together with the repaints.
    const Figures into = timeRuns(runs, [&](int) {
        findAs<DirectoryListBox>(window, "D_Dir")->setDirectory(crowded);
        settle();
        findAs<DirectoryListBox>(window, "D_Dir")->setDirectory(small);
        settle();
    });
    // Into the crowded folder alone, with its repaint.
    std::vector<double> intoOnly;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        findAs<DirectoryListBox>(window, "D_Dir")->setDirectory(crowded);
        settle();
        intoOnly.push_back(t.nsecsElapsed() / 1e6);
        findAs<DirectoryListBox>(window, "D_Dir")->setDirectory(small);
        settle();
    }
    std::sort(intoOnly.begin(), intoOnly.end());
    const Figures change{intoOnly[intoOnly.size() / 2], intoOnly.back()};

    // Load: a click on the file in the list, then loaded and drawn.
    findAs<DirectoryListBox>(window, "D_Dir")->setDirectory(small);
    settle();
    FileListBox* list = findAs<FileListBox>(window, "D_File");
    list->selectFileName("BIG.TTF");
    const QPoint entry = list->visualItemRect(list->currentItem()).center();
    const Figures load = timeRuns(runs, [&](int) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
        settle();
    });

    const auto verdict = [](const Figures& f, double target) {
        return f.median < target ? "met" : "MISSED";
    };
    std::printf("folder change into %d files: median %.1f ms, worst %.1f ms (target 150 ms: %s)\n",
                files, change.median, change.worst, verdict(change, 150));
    std::printf("folder change into %d files and back out: median %.1f ms, worst %.1f ms\n", files,
                into.median, into.worst);
    std::printf("load of %s (%.1f MB): median %.1f ms, worst %.1f ms (target 50 ms: %s)\n",
                qPrintable(QFileInfo(bigFont).fileName()), QFileInfo(bigFont).size() / 1e6,
                load.median, load.worst, verdict(load, 50));
    std::printf("loaded: %s, count shows %d files\n",
                qPrintable(findAs<QLineEdit>(window, "E_FamilyName")->text()),
                findAs<FileListBox>(window, "D_File")->count());
    return 0;
}
