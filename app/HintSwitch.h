#pragma once

// The application-wide hint switch and hint timing: while off, no control shows its hint.
// Installed on the application as an event filter; the balloon help reads the timing.

#include <QObject>

namespace qm::app {

class HintSwitch : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(int hintPause READ hintPause WRITE setHintPause)
    Q_PROPERTY(int hintHidePause READ hintHidePause WRITE setHintHidePause)

public:
    explicit HintSwitch(QObject* owner = nullptr);
    ~HintSwitch() override;

    bool ShowHint() const { return showHint_; }
    void setShowHint(bool on) { showHint_ = on; }
    // Milliseconds before a hint shows and while it stays.
    int hintPause() const { return hintPause_; }
    void setHintPause(int ms);
    int hintHidePause() const { return hintHidePause_; }
    void setHintHidePause(int ms) { hintHidePause_ = ms; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool showHint_ = true;
    int hintPause_ = 1000;
    int hintHidePause_ = 6000;
};

} // namespace qm::app
