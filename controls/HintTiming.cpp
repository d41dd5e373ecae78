#include "controls/HintTiming.h"

#include <QApplication>

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
    if (auto* style = dynamic_cast<HintTimingStyle*>(QApplication::style()))
        style->setPause(ms);
    else
        QApplication::setStyle(new HintTimingStyle(ms));
}

} // namespace qm::controls
