#include "app/HintSwitch.h"

#include "controls/HintTiming.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>

THintSwitch::THintSwitch(QObject* owner) : QObject(owner) {
    qApp->installEventFilter(this);
    setHintPause(hintPause_);
}

THintSwitch::~THintSwitch() {
    qApp->removeEventFilter(this);
}

void THintSwitch::setHintPause(int ms) {
    hintPause_ = ms;
    setApplicationHintPause(ms);
}

bool THintSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !showHint_) {
        QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
