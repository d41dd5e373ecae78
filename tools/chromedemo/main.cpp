// chromedemo: shows the sample window with its caption bar, roller button and balloon help on
// a real display. With --balloon it rests the pointer on a button so its balloon appears; with
// --rolled it starts rolled up. It quits after --seconds N (default: runs until closed).

#include "SampleWindow.h"

#include "controls/BalloonHint.h"
#include "controls/HintTiming.h"
#include "controls/SystemColors.h"
#include "controls/WindowRoller.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

using qm::controls::defaultUiFont;
using qm::controls::setApplicationHintPause;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setApplicationHintPause(1000); // the program's own timing
    QApplication::setFont(defaultUiFont());
    const QStringList args = app.arguments();

    ChromeSample s = buildChromeSample();
    s.form->move(120, 140);
    s.form->show();
    s.form->activateWindow();

    if (args.contains(QStringLiteral("--rolled")))
        s.roller->setRoller(true);
    if (args.contains(QStringLiteral("--balloon"))) {
        QTimer::singleShot(500, [&s] {
            QCursor::setPos(s.create->mapToGlobal(QPoint(60, 12)));
            QTimer::singleShot(50,
                               [&s] { QCursor::setPos(s.create->mapToGlobal(QPoint(62, 14))); });
        });
    }
    const int at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size())
        QTimer::singleShot(args.at(at + 1).toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}
