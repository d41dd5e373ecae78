// chromedemo: shows the sample window with its caption bar, roller button and balloon help on
// a real display. With --balloon it rests the pointer on a button so its balloon appears; with
// --rolled it starts rolled up. It quits after --seconds N (default: runs until closed).

#include "SampleWindow.h"

#include "controls/BalloonHint.h"
#include "controls/SystemColors.h"
#include "controls/WindowRoller.h"

#include <QApplication>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>

namespace {

// The program's hint timing: one second before a hint, every time.
class HintTimingStyle : public QProxyStyle {
public:
    HintTimingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 1000;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new HintTimingStyle);
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
