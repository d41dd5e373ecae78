#pragma once

// Work the user does not see or hear before the window does: run once the first frame is up.

#include <QObject>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <utility>

namespace qm::app {

// Runs a task once, after the first expose of a window has been handled: Qt paints and flushes
// an exposed widget within that event, so the task comes after the first frame.
class AfterFirstFrame : public QObject {
public:
    AfterFirstFrame(QWidget& top, std::function<void()> task)
        : QObject(&top), task_(std::move(task)) {
        top.winId(); // the native window exists from here on
        window_ = top.windowHandle();
        if (window_->isExposed())
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
        else
            window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed()) {
            window_->removeEventFilter(this);
            // Queued: runs once the expose, and the paint within it, has been handled.
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void run() {
        const std::function<void()> task = std::move(task_);
        deleteLater();
        task();
    }

    QWindow* window_ = nullptr;
    std::function<void()> task_;
};

} // namespace qm::app
