#pragma once

// Runs a handler whenever a widget is hidden itself, by whatever code path hides it; hiding an
// ancestor (rolling the window up, minimising) does not count.

#include <QObject>
#include <functional>

class QWidget;

namespace qm::app {

class HideWatcher : public QObject {
    Q_OBJECT
public:
    HideWatcher(QWidget* target, std::function<void()> onHide);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onHide_;
};

} // namespace qm::app
