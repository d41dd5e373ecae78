// The window on Wayland, where a frameless window cannot place itself: a headless weston is the
// compositor, and a pointer made by a small weston module (WestonPointer.cpp) is moved and
// clicked through it, so every click reaches the window the way a user's does. What the
// compositor was asked for is read from its protocol log.
// Exit 77 (skipped) where weston is not installed.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/Application.h"
#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/ColorButton.h"
#include "controls/FormFrame.h"
#include "controls/RollerGeometry.h"
#include "controls/WindowRoller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using qm::app::Application;
using qm::app::findAs;
using qm::controls::captionButtonRects;
using qm::controls::formStyleOf;

extern char** environ;

namespace {

// One headless weston for the whole run, on its own socket and runtime folder.
struct Weston {
    QString folder;
    QString socket = QStringLiteral("qm-wayland-test");
    QString fifo;
    QString log;
    pid_t pid = -1;

    bool start(const QString& program) {
        char pattern[] = "/tmp/qm-weston-XXXXXX";
        if (!mkdtemp(pattern))
            return false;
        folder = QString::fromLocal8Bit(pattern); // mkdtemp makes it 0700, as Wayland wants
        fifo = folder + QStringLiteral("/pointer");
        log = folder + QStringLiteral("/weston.log");
        if (mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
            return false;
        // The desktop fades in from black when weston starts, and windows zoom in: a screenshot
        // taken meanwhile holds colours a step off the window's own.
        const QString config = folder + QStringLiteral("/weston.ini");
        QFile ini(config);
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[shell]\nstartup-animation=none\nanimation=none\nclose-animation=none\n") <
                0)
            return false;
        ini.close();
        setenv("XDG_RUNTIME_DIR", pattern, 1);
        setenv("QM_WESTON_POINTER", QFile::encodeName(fifo).constData(), 1);
        const QList<QByteArray> args = {QFile::encodeName(program),
                                        "--backend=headless-backend.so",
                                        "--width=1024",
                                        "--height=768",
                                        "--idle-time=0",
                                        "--config=" + QFile::encodeName(config),
                                        "--use-pixman",
                                        "--debug",
                                        "--socket=" + socket.toLatin1(),
                                        "--modules=" QM_WESTON_POINTER_MODULE,
                                        "--logger-scopes=log,proto",
                                        "--log=" + QFile::encodeName(log)};
        std::vector<char*> argv;
        for (const QByteArray& arg : args)
            argv.push_back(const_cast<char*>(arg.constData()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        // Ready once it listens on its socket.
        const QString listening = folder + QLatin1Char('/') + socket;
        for (int i = 0; i < 100 && !QFile::exists(listening); ++i)
            usleep(50 * 1000);
        return QFile::exists(listening);
    }
    ~Weston() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (!folder.isEmpty())
            QDir(folder).removeRecursively();
    }
};

Weston* gWeston = nullptr;

} // namespace

namespace qmtest {
namespace {

bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

// Where the pointer last was in the window, as the window was told.
class PointerWatch : public QObject {
public:
    std::optional<QPoint> seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
            seen = static_cast<QSinglePointEvent*>(event)->position().toPoint();
        return false;
    }
};

class WaylandTest : public WindowTest {
protected:
    TFrmMain& startShown() {
        TFrmMain& w = start();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w, 5000));
        w.windowHandle()->installEventFilter(&watch_);
        return w;
    }

    void pointer(const QByteArray& command) {
        QFile fifo(gWeston->fifo);
        ASSERT_TRUE(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        fifo.write(command + '\n');
    }
    void pointerTo(QPoint desktop) {
        pointer(QByteArrayLiteral("motion ") + QByteArray::number(desktop.x()) + ' ' +
                QByteArray::number(desktop.y()));
    }

    // Where the compositor put the window: the pointer is moved over the middle of the
    // desktop, which every placement of this window covers, and the window says where it is.
    QPoint windowOrigin() {
        const QPoint probe(512 + nudge_, 400);
        nudge_ = 1 - nudge_; // every probe a real motion
        watch_.seen.reset();
        pointerTo(probe);
        EXPECT_TRUE(waitUntil([&] { return watch_.seen.has_value(); }))
            << "the window was never told of the pointer";
        return probe - watch_.seen.value_or(QPoint());
    }

    // Moves the pointer over `local` of `widget` and clicks there, through the compositor.
    void clickAt(QWidget* widget, QPoint local) {
        const QPoint target = origin_ + widget->mapTo(&window(), local);
        pointerTo(target);
        QTest::qWait(100);
        pointer("down");
        QTest::qWait(100);
        pointer("up");
        QTest::qWait(200);
    }

    QString protocolLog() const {
        QFile file(gWeston->log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool logged(const QString& pattern) const {
        return protocolLog().contains(QRegularExpression(pattern));
    }

    // What the compositor shows on its whole desktop now.
    static QImage desktopShot() {
        QDir folder(gWeston->folder);
        for (const QString& old : folder.entryList({QStringLiteral("*.png")}))
            folder.remove(old);
        QProcess shooter;
        shooter.setWorkingDirectory(folder.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        shooter.waitForFinished(5000);
        const QStringList shots = folder.entryList({QStringLiteral("*.png")});
        return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
    }
    // Pixels of the window's pale green panels inside rect.
    static int panelPixels(const QImage& shot, const QRect& rect) {
        EXPECT_FALSE(shot.isNull()) << "weston gave no screenshot";
        int count = 0;
        const QRect inside = rect & shot.rect();
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                count += shot.pixel(x, y) == qRgb(192, 220, 192);
        return count;
    }

    PointerWatch watch_;
    QPoint origin_;
    int nudge_ = 0;
};

TEST_F(WaylandTest, draggingTheCaptionLetsTheCompositorMoveTheWindow) {
    TFrmMain& w = startShown();
    origin_ = windowOrigin();
    // The middle of the caption's text, clear of the icon and the buttons.
    const QPoint grip =
        origin_ + findAs<TMSOfficeCaption>(w, "TitleBar")
                      ->mapTo(&w, findAs<TMSOfficeCaption>(w, "TitleBar")->rect().center());
    pointerTo(grip);
    QTest::qWait(100);
    pointer("down");
    QTest::qWait(100);
    const QPoint shift(-60, 45);
    for (int step = 1; step <= 3; ++step) {
        pointerTo(grip + shift * step / 3);
        QTest::qWait(60);
    }
    pointer("up");
    QTest::qWait(200);

    EXPECT_TRUE(logged(QStringLiteral("xdg_toplevel@\\d+\\.move\\(wl_seat@\\d+, \\d+\\)")))
        << "the window never asked the compositor to move it";
    EXPECT_EQ(windowOrigin(), origin_ + shift) << "the window did not follow the pointer";
    EXPECT_TRUE(w.isVisible());
}

TEST_F(WaylandTest, theRollerRollsTheWindowUpToItsCaptionAndDownAgain) {
    TFrmMain& w = startShown();
    origin_ = windowOrigin();
    const QSize full = w.size();
    // Below the caption bar down to the window's bottom edge, on the desktop.
    const QRect body(
        origin_ + QPoint(0, findAs<TMSOfficeCaption>(w, "TitleBar")->geometry().bottom() + 8),
        QSize(full.width(),
              full.height() - findAs<TMSOfficeCaption>(w, "TitleBar")->geometry().bottom() - 8));
    EXPECT_GT(panelPixels(desktopShot(), body), 1000) << "the window's body is not on screen";

    QWidget* roller = findAs<TWinRoller>(w, "WinRoller")->button();
    clearCues();
    clickAt(roller, roller->rect().center());
    ASSERT_TRUE(waitUntil([&] { return findAs<TWinRoller>(w, "WinRoller")->Roller(); }))
        << "the click did not roll";
    QTest::qWait(300);
    EXPECT_EQ(panelPixels(desktopShot(), body), 0) << "rolled up, the body still shows";

    clickAt(roller, roller->rect().center());
    ASSERT_TRUE(waitUntil([&] { return !findAs<TWinRoller>(w, "WinRoller")->Roller(); }))
        << "the click did not unroll";
    EXPECT_EQ(w.size(), full);
    QTest::qWait(300);
    EXPECT_GT(panelPixels(desktopShot(), body), 1000) << "rolled down, the body is missing";
    EXPECT_EQ(cues(), QStringList({QStringLiteral("MyClose"), QStringLiteral("MyOpen")}));
}

TEST_F(WaylandTest, restingThePointerOnAButtonShowsItsBalloon) {
    TFrmMain& w = startShown();
    // Balloons wake only over the active window; the compositor activates it a moment after
    // showing it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w, 5000)) << "the compositor never activated it";
    origin_ = windowOrigin();
    const QPoint help =
        origin_ + findAs<TColorButton>(w, "B_Help")
                      ->mapTo(&w, findAs<TColorButton>(w, "B_Help")->rect().center());
    // A hand comes to rest in more than one motion: the first one over a new widget may only
    // enter it, and the balloon's timer starts on a move within it.
    pointerTo(help);
    QTest::qWait(100);
    pointerTo(help + QPoint(1, 0));
    const auto shown = [&] {
        TBalloonHintWindow* balloon = findAs<TBalloonHint>(w, "BalloonHint1")->hintWindow();
        return balloon && balloon->isVisible() && balloon->windowHandle() &&
               balloon->windowHandle()->isExposed();
    };
    ASSERT_TRUE(waitUntil(shown, 4000)) << "no balloon on the compositor";
    EXPECT_EQ(findAs<TBalloonHint>(w, "BalloonHint1")->hintControl(),
              findAs<TColorButton>(w, "B_Help"));
}

TEST_F(WaylandTest, theProgramItselfOpensAFontThereAndClosesThroughItsShutdown) {
    // Where the close button is, from a window built the same way.
    QPoint close;
    QRect strip;
    {
        TFrmMain& w = start();
        close = captionButtonRects(w.width(), formStyleOf(&w),
                                   findAs<TMSOfficeCaption>(w, "TitleBar")->metrics())
                    .close.center();
        strip = QRect(findAs<QLabel>(w, "LB_All256Chars")->mapTo(&w, QPoint()),
                      findAs<QLabel>(w, "LB_All256Chars")->size());
        discardWindow();
    }
    const QString font =
        copySystemFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
                       QStringLiteral("opened.ttf"));
    const qsizetype before = protocolLog().size();
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(QUILLMARK_PATH), {font});
    ASSERT_TRUE(program.waitForStarted());

    // The program's own connection: the client that gave the window its title.
    QString client;
    const QRegularExpression titled(
        QStringLiteral("client (0x[0-9a-f]+) rq xdg_toplevel@\\d+\\.set_title\\(\"Quillmark "));
    ASSERT_TRUE(waitUntil(
        [&] {
            QRegularExpressionMatchIterator it = titled.globalMatch(protocolLog().mid(before));
            while (it.hasNext())
                client = it.next().captured(1);
            return !client.isEmpty();
        },
        10000))
        << "the program's window never reached the compositor";
    // Where the window lies, the compositor says when the pointer enters it.
    const QPoint probe(512, 400);
    pointerTo(probe);
    const QRegularExpression entered(QStringLiteral("client %1 ev wl_pointer@\\d+\\.enter\\(\\d+, "
                                                    "wl_surface@\\d+, ([0-9.]+), ([0-9.]+)\\)")
                                         .arg(client));
    QRegularExpressionMatch where;
    ASSERT_TRUE(waitUntil([&] {
        where = entered.match(protocolLog().mid(before));
        return where.hasMatch();
    })) << "the pointer never entered the program's window\n"
        << [&] {
               const QStringList lines = protocolLog().split(QLatin1Char('\n')).filter(client);
               return lines.mid(std::max<qsizetype>(0, lines.size() - 30))
                   .join(QLatin1Char('\n'))
                   .toStdString();
           }();
    const QPoint origin =
        probe - QPoint(qRound(where.captured(1).toDouble()), qRound(where.captured(2).toDouble()));

    // Opened from the command line, the font's characters fill the strip.
    const auto blackPixels = [&] {
        const QImage shot = desktopShot();
        int count = 0;
        const QRect area = strip.translated(origin) & shot.rect();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += qGray(shot.pixel(x, y)) < 40;
        return count;
    };
    EXPECT_TRUE(waitUntil([&] { return blackPixels() > 500; }, 5000))
        << "the font named on the command line is not drawn";

    pointerTo(origin + close);
    QTest::qWait(100);
    pointer("down");
    QTest::qWait(100);
    pointer("up");
    ASSERT_TRUE(program.waitForFinished(10000)) << "the program did not close";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    // Its shutdown saved the settings.
    EXPECT_TRUE(settingExists(QStringLiteral("SoundOn")));
    EXPECT_TRUE(settingExists(QStringLiteral("Show Help")));
}

} // namespace
} // namespace qmtest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS(); // ctest's listing needs no compositor
    const QString program = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (program.isEmpty()) {
        std::printf("skipped: weston is not installed\n");
        return 77;
    }
    Weston weston;
    gWeston = &weston;
    if (!weston.start(program)) {
        std::fprintf(stderr, "weston did not start; its log is %s\n", qPrintable(weston.log));
        return 1;
    }
    setenv("WAYLAND_DISPLAY", weston.socket.toLatin1().constData(), 1);
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    int status = 0;
    {
        Application app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    return status;
}
