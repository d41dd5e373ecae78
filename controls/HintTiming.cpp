#include "controls/HintTiming.h"

#include <QApplication>
#include <QProxyStyle>

namespace qm::controls {

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return pause_;
    // No shortened pause for the next hint.
    if (hint == SH_ToolTip_FallAsleepDelay)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void setApplicationHintPause(int ms) {
    // The program's other style (the frames at fractional ratios) may wrap this one.
    for (QStyle* s = QApplication::style(); s;) {
        if (auto* timing = dynamic_cast<HintTimingStyle*>(s)) {
            timing->setPause(ms);
            return;
        }
        auto* proxy = qobject_cast<QProxyStyle*>(s);
        s = proxy ? proxy->baseStyle() : nullptr;
    }
    auto* style = new HintTimingStyle(ms);
    style->setBaseStyle(QApplication::style());
    QApplication::setStyle(style);
}

} // namespace qm::controls
