#pragma once

// Turns a left-button click on a plain label into a handler call, for the labels that act as
// buttons ("OKAY", the mask over the flashing text, the destination caption). With the focus,
// Space or Enter calls it too, as on a button.

#include <QObject>
#include <functional>

class QWidget;

namespace qm::app {

class ClickCatcher : public QObject {
    Q_OBJECT
public:
    ClickCatcher(QWidget* target, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

} // namespace qm::app
