// Times the browser on the real window against Qt doing the same work bare, in alternating
// rounds (which side goes first alternates), and prints the median of the rounds' ratios:
//  - a folder change into a folder of N .ttf files (listed, counted, drawn) against readdir and
//    a QListWidget of the file list's size filled with the same names and drawn;
//  - the load of a large font (read, registered, strip and fields drawn) against
//    QFontDatabase::addApplicationFont and one paint of the same glyphs in a label of the
//    strip's size and font size (the previous registration withdrawn first, as the window does).
// usage: browse_bench <large .ttf> [files=10000] [rounds=15]

#include "app/FindControl.h"
#include "app/Main.h"
#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <vector>

using qm::app::findAs;
using qm::browse::DirectoryListBox;
using qm::browse::FileListBox;

namespace {

void settle() {
    QApplication::processEvents();
}

template <class F> double msOf(F&& work) {
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One side against the other, round by round.
struct Duel {
    std::vector<double> window, baseline, ratio;

    template <class W, class B> void round(int i, W&& windowSide, B&& baselineSide) {
        double w = 0, b = 0;
        if (i % 2 == 0) {
            w = windowSide();
            b = baselineSide();
        } else {
            b = baselineSide();
            w = windowSide();
        }
        window.push_back(w);
        baseline.push_back(b);
        ratio.push_back(w / b);
    }

    void print(const char* what, const char* name, const char* baselineName, double target) const {
        const double r = median(ratio);
        std::printf("%s: window %.1f ms, %s %.1f ms (medians of %zu rounds)\n", what,
                    median(window), baselineName, median(baseline), ratio.size());
        std::printf("  %s: median %.2fx, rounds %.2fx to %.2fx (target %.1fx: %s)\n", name, r,
                    *std::min_element(ratio.begin(), ratio.end()),
                    *std::max_element(ratio.begin(), ratio.end()), target,
                    r <= target ? "met" : "MISSED");
    }
};

// The names a bare readdir finds for the file list's mask, in the file list's order (letter case
// ignored), sorted as Qt sorts a list of names.
QStringList ttfNames(const QString& folder) {
    QStringList names;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
                continue;
            const QString name = QFile::decodeName(entry->d_name);
            if (name.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive))
                names.append(name);
        }
        ::closedir(dir);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: browse_bench <large .ttf> [files=10000] [rounds=15]\n");
        return 2;
    }
    const QString bigFont = args.at(1);
    const int files = args.size() > 2 ? args.at(2).toInt() : 10000;
    const int rounds = args.size() > 3 ? args.at(3).toInt() : 15;

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
    auto* folders = findAs<DirectoryListBox>(window, "D_Dir");
    auto* list = findAs<FileListBox>(window, "D_File");
    auto* strip = findAs<QLabel>(window, "LB_All256Chars");
    folders->setDirectory(small);
    settle();
    list->selectFileName("BIG.TTF");
    const QPoint entry = list->visualItemRect(list->currentItem()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
    settle();

    // The baseline's own window: a list of the file list's size, a label of the strip's.
    QWidget bare;
    bare.setWindowFlag(Qt::FramelessWindowHint);
    bare.resize(list->width() + strip->width(), std::max(list->height(), strip->height()));
    QListWidget bareList(&bare);
    bareList.setUniformItemSizes(true); // as the file list has it
    bareList.setGeometry(0, 0, list->width(), list->height());
    QLabel bareStrip(&bare);
    bareStrip.setGeometry(list->width(), 0, strip->width(), strip->height());
    bareStrip.setText(strip->text());
    bare.move(window.geometry().bottomLeft());
    bare.show();
    settle();

    Duel change;
    for (int i = 0; i < rounds; ++i) {
        change.round(
            i,
            [&] {
                const double ms = msOf([&] {
                    folders->setDirectory(crowded);
                    settle();
                });
                folders->setDirectory(small);
                settle();
                return ms;
            },
            [&] {
                const double ms = msOf([&] {
                    bareList.clear();
                    bareList.addItems(ttfNames(crowded));
                    bareList.repaint();
                    settle();
                });
                bareList.clear();
                bareList.addItems(ttfNames(small));
                settle();
                return ms;
            });
    }
    const int shownCount = [&] {
        folders->setDirectory(crowded);
        settle();
        const int n = list->count();
        folders->setDirectory(small);
        settle();
        return n;
    }();

    Duel load;
    int bareId = -1;
    list->selectFileName("BIG.TTF");
    for (int i = 0; i < rounds; ++i) {
        load.round(
            i,
            [&] {
                return msOf([&] {
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
                    settle();
                });
            },
            [&] {
                return msOf([&] {
                    if (bareId >= 0)
                        QFontDatabase::removeApplicationFont(bareId);
                    bareId = QFontDatabase::addApplicationFont(bigCopy);
                    QFont face(QFontDatabase::applicationFontFamilies(bareId).value(0));
                    face.setPixelSize(strip->font().pixelSize());
                    bareStrip.setFont(face);
                    bareStrip.repaint();
                    settle();
                });
            });
    }

    change.print(qPrintable(QStringLiteral("folder change into %1 files").arg(files)),
                 "folder change", "readdir + QListWidget", 1.5);
    load.print(qPrintable(QStringLiteral("load of %1 (%2 MB)")
                              .arg(QFileInfo(bigFont).fileName())
                              .arg(QFileInfo(bigFont).size() / 1e6, 0, 'f', 1)),
               "font load", "addApplicationFont + paint", 1.2);
    std::printf("  loaded: \"%s\"; the list showed %d of %d files\n",
                qPrintable(findAs<QLineEdit>(window, "E_FamilyName")->text()), shownCount, files);
    return 0;
}
