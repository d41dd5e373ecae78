// A weston module that gives the headless compositor, which has no input devices, one seat with
// a pointer driven from a FIFO. A test writes lines into the FIFO named by QM_WESTON_POINTER:
//   motion X Y     the pointer moves to X, Y on the desktop
//   down / up      the left button is pressed / released
// and the compositor hands them to its clients as it would a mouse's.
//
// It is built against no weston headers (Debian ships none): the few entry points it calls
// are declared here with the signatures of weston 10.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

extern "C" {
struct weston_compositor;
struct weston_seat;
struct wl_display;
struct wl_event_loop;
struct wl_event_source;

void weston_seat_init(weston_seat* seat, weston_compositor* compositor, const char* name);
void weston_seat_init_pointer(weston_seat* seat);
void notify_motion_absolute(weston_seat* seat, const timespec* time, double x, double y);
void notify_button(weston_seat* seat, const timespec* time, int32_t button, int state);
void notify_pointer_frame(weston_seat* seat);
wl_event_loop* wl_display_get_event_loop(wl_display* display);
wl_event_source* wl_event_loop_add_fd(wl_event_loop* loop, int fd, uint32_t mask,
                                      int (*func)(int fd, uint32_t mask, void* data), void* data);

int wet_module_init(weston_compositor* compositor, int* argc, char* argv[]);
}

namespace {

constexpr uint32_t kReadable = 0x01;   // WL_EVENT_READABLE
constexpr int32_t kLeftButton = 0x110; // BTN_LEFT
constexpr int kPressed = 1;            // WL_POINTER_BUTTON_STATE_PRESSED

struct Pointer {
    weston_seat* seat = nullptr;
    char pending[512] = {};
    size_t used = 0;
};

void obey(Pointer& pointer, const char* line) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    double x = 0;
    double y = 0;
    if (std::sscanf(line, "motion %lf %lf", &x, &y) == 2)
        notify_motion_absolute(pointer.seat, &now, x, y);
    else if (std::strcmp(line, "down") == 0)
        notify_button(pointer.seat, &now, kLeftButton, kPressed);
    else if (std::strcmp(line, "up") == 0)
        notify_button(pointer.seat, &now, kLeftButton, 0);
    else
        return;
    notify_pointer_frame(pointer.seat);
}

int onReadable(int fd, uint32_t, void* data) {
    auto& pointer = *static_cast<Pointer*>(data);
    const ssize_t got =
        read(fd, pointer.pending + pointer.used, sizeof(pointer.pending) - 1 - pointer.used);
    if (got <= 0)
        return 0;
    pointer.used += size_t(got);
    pointer.pending[pointer.used] = '\0';
    char* start = pointer.pending;
    while (char* end = std::strchr(start, '\n')) {
        *end = '\0';
        obey(pointer, start);
        start = end + 1;
    }
    pointer.used = size_t(pointer.pending + pointer.used - start);
    std::memmove(pointer.pending, start, pointer.used);
    if (pointer.used == sizeof(pointer.pending) - 1)
        pointer.used = 0; // a line that long is no command
    return 0;
}

} // namespace

int wet_module_init(weston_compositor* compositor, int*, char*[]) {
    const char* fifo = std::getenv("QM_WESTON_POINTER");
    if (!fifo)
        return -1;
    // Opened for writing too, so the FIFO never reads as ended between two writers.
    const int fd = open(fifo, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    auto* pointer = new Pointer;
    // weston_seat is the caller's to allocate; its size varies between releases.
    pointer->seat = static_cast<weston_seat*>(std::calloc(1, 1 << 16));
    weston_seat_init(pointer->seat, compositor, "default");
    weston_seat_init_pointer(pointer->seat);
    // struct weston_compositor starts with a wl_signal (two pointers), then the wl_display.
    wl_display* display =
        *reinterpret_cast<wl_display**>(reinterpret_cast<char*>(compositor) + 2 * sizeof(void*));
    return wl_event_loop_add_fd(wl_display_get_event_loop(display), fd, kReadable, onReadable,
                                pointer)
               ? 0
               : -1;
}
