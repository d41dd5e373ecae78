#pragma once

// What the window benchmarks share: the moment a top-level widget's first frame has been painted
// and reached the display server, and the process's resident memory. The real window and its
// baseline both use these, so that neither pays for the measuring alone.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

namespace qm::bench {

// Calls done() once, after the first expose of the widget's window has been handled: Qt paints
// and flushes an exposed widget within that event, and the display server's round trip after it
// means the frame is on its screen.
class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget& top, std::function<void()> done)
        : QObject(QCoreApplication::instance()), done_(std::move(done)) {
        top.winId(); // the native window exists from here on
        window_ = top.windowHandle();
        window_->installEventFilter(this);
        // A platform that exposes on show (offscreen) has already painted.
        if (window_->isExposed())
            finish();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed() &&
            !pending_) {
            pending_ = true;
            // Queued: runs once the expose, and the paint within it, has been handled.
            QMetaObject::invokeMethod(this, &FirstFrameWatch::finish, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void finish() {
        if (finished_)
            return;
        finished_ = true;
        pending_ = true;
        window_->removeEventFilter(this);
        QGuiApplication::sync();
        done_();
    }

    QWindow* window_ = nullptr;
    std::function<void()> done_;
    bool pending_ = false;
    bool finished_ = false;
};

// A field of /proc/self/status in KiB (VmRSS, VmHWM), or -1.
inline long statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Moments of the start, printed at the first frame as "moment ms" lines, in ms since the process
// started: the caller passes the real-time clock at the start in nanoseconds; 0 records nothing.
class Spans {
public:
    static void start(long long startedNs) { startedNs_ = startedNs; }
    static void mark(const char* moment) {
        if (startedNs_ > 0)
            moments_.emplace_back(moment, (realtimeNs() - startedNs_) / 1e6);
    }
    static void print() {
        for (const auto& [moment, ms] : moments_)
            std::printf("%s %.2f\n", moment, ms);
    }

private:
    static long long realtimeNs() {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return ts.tv_sec * 1000000000LL + ts.tv_nsec;
    }
    static inline long long startedNs_ = 0;
    static inline std::vector<std::pair<const char*, double>> moments_;
};

// Ends the process, without teardown, at the widget's first frame; or, with idleMs >= 0, that
// much later, printing the resident memory in KiB.
inline void endAfterFirstFrame(QWidget& top, int idleMs) {
    const auto end = [idleMs] {
        Spans::mark("first-frame");
        Spans::print();
        if (idleMs >= 0)
            std::printf("%ld\n", statusKiB("VmRSS"));
        std::fflush(stdout);
        std::_Exit(0);
    };
    new FirstFrameWatch(top, [idleMs, end] {
        if (idleMs < 0)
            end();
        else
            QTimer::singleShot(idleMs, end);
    });
}

} // namespace qm::bench
