// Starts a program on the X display and reports, from outside the program,
// how long it took from the start of the process to the first frame painted
// into its top-level window, and its peak memory up to then.
//
//   first_frame [--verbose] PROGRAM [ARGUMENT...]
//
// Prints one line: "first_frame_ms=<ms> peak_rss_kb=<kB>". Exit code 1 when
// no frame came within 30 s.
//
// How the frame is seen: the X server's Damage extension reports every
// rectangle drawn on the screen (tracked on the root window, which includes
// every window drawn into it). The program's frame is the moment the drawing
// inside its newly mapped top-level window has covered at least half of it;
// mapping alone draws nothing, as Qt's windows have no background of their
// own. The program itself is not touched: no hook, no preload, no variable.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long PeakRssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

struct Rect {
    int x, y, w, h;
};

long Overlap(const Rect& a, const Rect& b)
{
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    return x1 > x0 && y1 > y0 ? static_cast<long>(x1 - x0) * (y1 - y0) : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    bool verbose = false;
    if (argc > 1 && std::strcmp(argv[1], "--verbose") == 0) {
        verbose = true;
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: first_frame [--verbose] PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first_frame: no X display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "first_frame: the X server has no Damage extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XDamageCreate(display, root, XDamageReportRawRectangles);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }

    Window window = 0;
    Rect area{};
    long painted = 0;
    double frameMs = -1;
    while (frameMs < 0 && MsSince(start) < 30000) {
        if (XPending(display) == 0) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 50);
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "first_frame: the program ended before its first frame\n");
                return 1;
            }
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && window == 0 && !event.xmap.override_redirect) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes) != 0 && attributes.width > 1) {
                window = event.xmap.window;
                area = {attributes.x, attributes.y, attributes.width, attributes.height};
                if (verbose) std::fprintf(stderr, "%8.2f ms mapped %dx%d+%d+%d\n", MsSince(start), area.w, area.h, area.x, area.y);
            }
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            const Rect drawn{damage.area.x, damage.area.y, damage.area.width, damage.area.height};
            if (verbose) std::fprintf(stderr, "%8.2f ms drawn %dx%d+%d+%d\n", MsSince(start), drawn.w, drawn.h, drawn.x, drawn.y);
            if (window != 0) {
                painted += Overlap(drawn, area);
                if (2 * painted >= static_cast<long>(area.w) * area.h) frameMs = MsSince(start);
            }
        }
    }
    if (frameMs < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "first_frame: no frame within 30 s\n");
        return 1;
    }
    // Start-up is over once the first frame is up; the peak so far includes
    // it, read once the program has settled.
    usleep(300 * 1000);
    const long peak = PeakRssKb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("first_frame_ms=%.2f peak_rss_kb=%ld\n", frameMs, peak);
    return 0;
}
