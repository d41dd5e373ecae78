// Times the window's start: from process start (the caller passes the moment it started us,
// in nanoseconds of the real-time clock) to the window exposed on screen, the constructor
// (layout and FormCreate), and further windows built and started within the same process.
// usage: startup_bench <start-ns> [repeats]

#include "app/Application.h"
#include "app/Main.h"
#include "controls/MessageBox.h"

#include <QEvent>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long realtimeNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Notes the moment the window is first exposed and ends the event loop.
class ExposeWatch : public QObject {
public:
    long long exposedAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && exposedAt == 0 &&
            static_cast<QWindow*>(watched)->isExposed()) {
            exposedAt = realtimeNs();
            QCoreApplication::quit();
        }
        return QObject::eventFilter(watched, event);
    }
};

double ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    const long long startedAt = argc > 1 ? std::atoll(argv[1]) : realtimeNs();
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 20;
    Application app(argc, argv);
    MessageBoxRecorder quiet; // a due reminder must not wait for a person

    ExposeWatch watch;
    const auto before = std::chrono::steady_clock::now();
    TFrmMain window;
    const auto constructed = std::chrono::steady_clock::now();
    if (window.windowHandle()) {
        window.windowHandle()->installEventFilter(&watch);
        if (window.windowHandle()->isExposed())
            watch.exposedAt = realtimeNs();
    }
    if (watch.exposedAt == 0)
        Application::exec();

    std::printf("process start to window shown: %.1f ms\n", (watch.exposedAt - startedAt) / 1e6);
    std::printf("constructor (layout + FormCreate), first window: %.1f ms\n",
                ms(constructed - before));

    double best = 1e9, total = 0;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const TFrmMain another;
        const double t = ms(std::chrono::steady_clock::now() - t0);
        best = std::min(best, t);
        total += t;
    }
    std::printf("constructor again, %d further windows: best %.1f ms, mean %.1f ms\n", repeats,
                best, total / repeats);
    return 0;
}
