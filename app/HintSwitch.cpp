#include "app/HintSwitch.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QStyleHintReturn>
#include <QToolTip>

namespace {

// Qt takes the delay before a tooltip from the style; every hint waits the full pause.
class HintTimingStyle : public QProxyStyle {
public:
    explicit HintTimingStyle(int pause) : pause_(pause) {}
    void setPause(int pause) { pause_ = pause; }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return pause_;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    int pause_;
};

} // namespace

THintSwitch::THintSwitch(QObject* owner) : QObject(owner) {
    qApp->installEventFilter(this);
    setHintPause(hintPause_);
}

THintSwitch::~THintSwitch() {
    qApp->removeEventFilter(this);
}

void THintSwitch::setHintPause(int ms) {
    hintPause_ = ms;
    if (auto* style = dynamic_cast<HintTimingStyle*>(QApplication::style()))
        style->setPause(ms);
    else
        QApplication::setStyle(new HintTimingStyle(ms));
}

bool THintSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !showHint_) {
        QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
