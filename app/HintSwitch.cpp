#include "app/HintSwitch.h"

#include "controls/HintTiming.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>

using qm::controls::setApplicationHintPause;

namespace qm::app {

HintSwitch::HintSwitch(QObject* owner) : QObject(owner) {
    qApp->installEventFilter(this);
    setHintPause(hintPause_);
}

HintSwitch::~HintSwitch() {
    qApp->removeEventFilter(this);
}

void HintSwitch::setHintPause(int ms) {
    hintPause_ = ms;
    setApplicationHintPause(ms);
}

bool HintSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !showHint_) {
        QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qm::app
