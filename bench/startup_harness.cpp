// Starts a program in the X server named by DISPLAY and measures, from the spawn:
//   map_us    its first top-level window mapped (MapNotify on the root window),
//   paint_us  the first damage to that window, that is its first frame put on the screen,
// then lets it idle and reads its peak and current resident memory before ending it.
// Every program is measured the same way from outside; it needs no option or hook of its own.
//   bench_startup [--idle-ms N] -- PROGRAM [ARGS...]
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

long long NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

// A window may be gone before we get to it; that is no reason to stop.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

long StatusKb(pid_t pid, const char* field)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(file, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char* argv[])
{
    int idleMs = 1500;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--idle-ms") == 0 && first + 1 < argc)
            idleMs = std::atoi(argv[++first]);
        else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--idle-ms N] -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_startup: cannot open display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "bench_startup: the X server has no DAMAGE extension\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const long long start = NowUs();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[first], nullptr, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "bench_startup: cannot start %s\n", argv[first]);
        return 1;
    }

    std::set<Window> watched;
    Window mappedWindow = 0;
    long long mapUs = -1, paintUs = -1;
    const long long deadline = start + 60 * 1000000LL;
    const int fd = ConnectionNumber(display);
    while (paintUs < 0 && NowUs() < deadline) {
        if (!XPending(display)) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 100);
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "bench_startup: %s ended before it painted\n", argv[first]);
                return 1;
            }
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const long long now = NowUs();
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            !event.xcreatewindow.override_redirect) {
            // Watched from its creation, before it can be mapped and painted.
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
            XFlush(display);
            watched.insert(event.xcreatewindow.window);
        } else if (event.type == MapNotify && watched.count(event.xmap.window) && !mappedWindow) {
            mappedWindow = event.xmap.window;
            mapUs = now - start;
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
            if (mappedWindow && damage->drawable == mappedWindow)
                paintUs = now - start;
        }
    }
    if (paintUs < 0) {
        std::fprintf(stderr, "bench_startup: no window painted within 60 s\n");
        Stop(pid);
        return 1;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, mappedWindow, &attributes);

    usleep(useconds_t(idleMs) * 1000);
    const long hwm = StatusKb(pid, "VmHWM"), rss = StatusKb(pid, "VmRSS");
    Stop(pid);
    XCloseDisplay(display);
    std::printf("startup map_us=%lld paint_us=%lld vmhwm_kb=%ld vmrss_kb=%ld width=%d height=%d\n", mapUs, paintUs,
                hwm, rss, attributes.width, attributes.height);
    return 0;
}
