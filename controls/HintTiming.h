#pragma once

// The program's hint timing. Qt takes the delay before a tooltip from the application's style;
// this style makes every hint wait the full pause, also right after another hint was shown.

#include <QProxyStyle>

namespace qm::controls {

class HintTimingStyle : public QProxyStyle {
public:
    explicit HintTimingStyle(int pause) : pause_(pause) {}

    int pause() const { return pause_; }
    void setPause(int pause) { pause_ = pause; }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    int pause_;
};

// Milliseconds before a hint shows, for the whole application: the application's style becomes
// a HintTimingStyle around the style in place the first time.
void setApplicationHintPause(int ms);

} // namespace qm::controls
