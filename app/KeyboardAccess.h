#pragma once

// The window without a mouse: Tab past what a panel covers, Escape for the topmost panel,
// Alt+letter for the main buttons, the focus kept out of hidden panels, and a focus frame that
// appears only once the keyboard has been used, so that a mouse user sees the window as drawn.

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;
class TColorButton;

namespace qm::app {

class FocusCue;

// Whether the middle of w is out of sight: another visible control lies over it (an open panel
// over a box), or the window's shape leaves it out (rolled up).
bool isCovered(const QWidget* w);
// The control Tab (forward) or Shift+Tab reaches from `from` in form: visible, enabled, a tab
// stop and not covered; nullptr when there is none.
QWidget* nextTabStop(QWidget* form, QWidget* from, bool forward);

class KeyboardAccess : public QObject {
    Q_OBJECT
public:
    explicit KeyboardAccess(QWidget* form);

    // Watches the keys sent to a control. Only the controls given and the panels are watched,
    // not every event of the program, so that start-up does not pay for it.
    void watchKeys(QWidget* control);

    // A panel Escape closes with `close`, and the control that takes the focus back once the
    // panel is gone. Panels are given topmost first.
    void addPanel(QWidget* panel, QWidget* opener, std::function<void()> close);
    // Alt+letter clicks the button while a user could click it.
    void addAccessKey(char letter, TColorButton* button);
    // The letter of the button's access key; 0 for none.
    char accessKeyOf(const QWidget* button) const;

    // Once the keyboard has moved the focus or pressed a control, the focus frame shows.
    bool keyboardUsed() const { return keyboardUsed_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Panel {
        QPointer<QWidget> panel;
        QPointer<QWidget> opener;
        std::function<void()> close;
        bool open; // shown by itself, as last seen
    };
    struct AccessKey {
        char letter;
        QPointer<TColorButton> button;
    };

    bool keyPress(QWidget* receiver, const QKeyEvent& key);
    void panelShown(QWidget* panel);
    void panelHidden(const Panel& panel);
    void useKeyboard();
    void followFocus();

    QWidget* form_;
    std::vector<Panel> panels_;
    std::vector<AccessKey> accessKeys_;
    bool keyboardUsed_ = false;
    QPointer<FocusCue> cue_; // made at the first keyboard use; goes with its control
};

} // namespace qm::app
