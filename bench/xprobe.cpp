// Measures a program from outside, through the X server, as a user meets it.
//
//   xprobe start SETTLE_MS PROGRAM [ARGS...]
//     Starts PROGRAM and waits for the X server to map its top-level window (the panel maps its
//     main window only once its Open has run). Prints "startup_us=N maxrss_kb=N": the time from
//     just before the fork to the MapNotify, and the child's peak resident memory, read when it
//     is ended SETTLE_MS after the map.
//
//   xprobe click CLICKS X Y CONTENT_HEIGHT CODE PROGRAM
//     Makes a pseudo-terminal, stores it as the panel's port in $XDG_CONFIG_HOME/zq8/zq8.ini,
//     lists it in ZQ8_SERIAL_PORTS and starts PROGRAM. Once the window is mapped and the port's
//     first frame has arrived, it clicks CLICKS times at (X, Y) of the content area (below the
//     menu bar, whose height is the window's height less CONTENT_HEIGHT) through XTest, and
//     times each click until the five bytes of the command frame for key code CODE are readable
//     on the master side. Between the clicks a long-lived bash writes the same five bytes with
//     printf into the same pseudo-terminal, timed the same way from the moment its command line
//     is handed to it. Prints the median and 99th percentile of both, in microseconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "xprobe: %s\n", message.c_str());
    std::exit(1);
}

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

pid_t Spawn(char** argv) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        Fail("cannot fork");
    }
    if (pid == 0) {
        ::execvp(argv[0], argv);
        std::fprintf(stderr, "xprobe: cannot run %s: %s\n", argv[0], std::strerror(errno));
        ::_exit(127);
    }
    return pid;
}

std::optional<long> WindowPid(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && format == 32 && count == 1) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pid;
}

// Waits for the MapNotify of a top-level window that belongs to pid. The root's substructure
// was selected before the fork, so the map cannot be missed.
Window WaitForMap(Display* display, pid_t pid, std::chrono::seconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                WindowPid(display, event.xmap.window) == pid) {
                return event.xmap.window;
            }
        }
        pollfd ready{fd, POLLIN, 0};
        ::poll(&ready, 1, 50);
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            Fail("the program ended before it showed a window");
        }
    }
    Fail("no window was shown");
}

Display* OpenDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        Fail("cannot open the X display");
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    return display;
}

int Start(int argc, char** argv) {
    if (argc < 4) {
        Fail("usage: xprobe start SETTLE_MS PROGRAM [ARGS...]");
    }
    const int settleMs = std::atoi(argv[2]);
    Display* display = OpenDisplay();
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(argv + 3);
    WaitForMap(display, pid, std::chrono::seconds(30));
    const double startup = MicrosSince(start);
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    std::printf("startup_us=%.0f maxrss_kb=%ld\n", startup, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}

// The master side of a pseudo-terminal, read until n bytes arrived or the limit passed.
std::string ReadBytes(int master, std::size_t n, std::chrono::milliseconds limit) {
    std::string arrived;
    const Clock::time_point deadline = Clock::now() + limit;
    std::array<char, 256> buffer{};
    while (arrived.size() < n && Clock::now() < deadline) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0) {
            continue;
        }
        const ssize_t got =
            ::read(master, buffer.data(), std::min(buffer.size(), n - arrived.size()));
        if (got > 0) {
            arrived.append(buffer.data(), std::size_t(got));
        }
    }
    return arrived;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    return text;
}

void StorePort(const std::string& path) {
    const char* home = std::getenv("XDG_CONFIG_HOME");
    if (home == nullptr || *home == '\0') {
        Fail("XDG_CONFIG_HOME must name a scratch folder");
    }
    const std::filesystem::path folder = std::filesystem::path(home) / "zq8";
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / "zq8.ini", std::ios::binary | std::ios::trunc);
    file << "controlport\n" << path << "\n";
    for (int line = 2; line < 256; ++line) {
        file << "\n";
    }
}

struct Spread {
    double median = 0;
    double p99 = 0;
};

Spread SpreadOf(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double fraction) {
        return micros[std::min(micros.size() - 1, std::size_t(fraction * double(micros.size())))];
    };
    return {at(0.5), at(0.99)};
}

int Click(int argc, char** argv) {
    if (argc < 8) {
        Fail("usage: xprobe click CLICKS X Y CONTENT_HEIGHT CODE PROGRAM");
    }
    const int clicks = std::atoi(argv[2]);
    const int x = std::atoi(argv[3]);
    const int y = std::atoi(argv[4]);
    const int contentHeight = std::atoi(argv[5]);
    const int code = int(std::strtol(argv[6], nullptr, 0)) & 0xFF;
    const std::string frame{char(0x02), char(0xBA), char(code), char(0x00),
                            char((0x02 + 0xBA + code) & 0xFF)};

    int master = -1;
    int slave = -1;
    std::array<char, 256> name{};
    if (::openpty(&master, &slave, name.data(), nullptr, nullptr) != 0) {
        Fail("openpty failed");
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    const std::string slavePath = name.data();
    StorePort(slavePath);
    ::setenv("ZQ8_SERIAL_PORTS", slavePath.c_str(), 1);

    Display* display = OpenDisplay();
    char* program[] = {argv[7], nullptr};
    const pid_t pid = Spawn(program);
    const Window window = WaitForMap(display, pid, std::chrono::seconds(30));
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    // The frame the panel sends when its Open applies the protocol: the port is open.
    const std::string opened = ReadBytes(master, 6, std::chrono::seconds(10));
    if (opened.size() != 6) {
        Fail("the panel did not open the port (got " + Hex(opened) + ")");
    }

    Window root = 0;
    int wx = 0;
    int wy = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(display, window, &root, &wx, &wy, &width, &height, &border, &depth);
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    const int menuBar = int(height) - contentHeight;
    XTranslateCoordinates(display, window, root, x, menuBar + y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    int toShell[2];
    if (::pipe(toShell) != 0) {
        Fail("cannot make a pipe");
    }
    const pid_t shell = ::fork();
    if (shell == 0) {
        ::dup2(toShell[0], 0);
        ::close(toShell[0]);
        ::close(toShell[1]);
        ::execlp("bash", "bash", "--norc", "--noprofile", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toShell[0]);
    char escaped[64];
    std::snprintf(escaped, sizeof escaped, "\\x%02x\\x%02x\\x%02x\\x%02x\\x%02x",
                  std::uint8_t(frame[0]), std::uint8_t(frame[1]), std::uint8_t(frame[2]),
                  std::uint8_t(frame[3]), std::uint8_t(frame[4]));
    const std::string command = "printf '" + std::string(escaped) + "' > " + slavePath + "\n";

    std::vector<double> clickMicros;
    std::vector<double> printfMicros;
    for (int i = 0; i < clicks; ++i) {
        Clock::time_point start = Clock::now();
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        std::string arrived = ReadBytes(master, frame.size(), std::chrono::seconds(2));
        clickMicros.push_back(MicrosSince(start));
        if (arrived != frame) {
            Fail("a click sent " + Hex(arrived) + "instead of " + Hex(frame));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

        start = Clock::now();
        if (::write(toShell[1], command.data(), command.size()) != ssize_t(command.size())) {
            Fail("the shell stopped reading");
        }
        arrived = ReadBytes(master, frame.size(), std::chrono::seconds(2));
        printfMicros.push_back(MicrosSince(start));
        if (arrived != frame) {
            Fail("printf sent " + Hex(arrived) + "instead of " + Hex(frame));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(toShell[1]);
    ::waitpid(shell, nullptr, 0);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    XCloseDisplay(display);

    const Spread click = SpreadOf(clickMicros);
    const Spread shellWrite = SpreadOf(printfMicros);
    std::printf("click_median_us=%.1f click_p99_us=%.1f printf_median_us=%.1f printf_p99_us=%.1f\n",
                click.median, click.p99, shellWrite.median, shellWrite.p99);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "start") {
        return Start(argc, argv);
    }
    if (mode == "click") {
        return Click(argc, argv);
    }
    Fail("usage: xprobe start|click ...");
}
