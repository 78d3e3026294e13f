// Measures programs from outside, through the X server, as a user meets them.
//
//   xprobe start SETTLE_MS [--port BYTES] PROGRAM [ARGS...]
//     Starts PROGRAM and waits for the X server to map its top-level window (the panel maps its
//     main window only once its Open has run). Prints "startup_us=N pss_kb=N private_kb=N
//     anonymous_kb=N maxrss_kb=N": the time from just before the fork to the MapNotify; the
//     child's proportional, private and anonymous memory, read from /proc/PID/smaps_rollup at the
//     map; and its peak resident memory, read when it is ended SETTLE_MS after the map.
//     With --port, a pseudo-terminal is made first, stored as the panel's port in
//     $XDG_CONFIG_HOME/zq8/zq8.ini and listed in ZQ8_SERIAL_PORTS; BYTES bytes must have arrived
//     on it by the map (the frame the panel's Open sends once the port is open).
//
//   xprobe click CLICKS CODE [--samples FILE] -- LABEL X Y CONTENT_HEIGHT OPENING_BYTES PROGRAM
//                [ARGS...] [-- LABEL ...]
//     Starts every PROGRAM, each with a pseudo-terminal of its own: the word @PTY@ among its
//     ARGS becomes the device path, and the first program's is also stored as the panel's port
//     and listed in ZQ8_SERIAL_PORTS. Once each window is mapped and its OPENING_BYTES have
//     arrived, it clicks CLICKS times at (X, Y) of each window's content area (below the menu
//     bar, whose height is the window's height less CONTENT_HEIGHT) through XTest, and times each
//     click until the five bytes of the command frame for key code CODE are readable on the
//     master side. The programs take turns in blocks of clicks, each brought to the front before
//     its block. After every click a long-lived bash writes the same five bytes with printf into
//     a pseudo-terminal of its own, timed the same way from the moment its command line is handed
//     to it: the floor. Prints the median and 99th percentile of each, in microseconds, as
//     LABEL_median_us, LABEL_p99_us, ..., printf_median_us and printf_p99_us; with --samples,
//     also every time measured, one "LABEL MICROSECONDS" a line, appended to FILE.
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Clicks on one program before the other takes its turn.
constexpr int kClicksPerTurn = 25;

// The programs started, ended when the probe fails so that none is left on the display.
std::vector<pid_t> started;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "xprobe: %s\n", message.c_str());
    for (pid_t pid : started) {
        ::kill(pid, SIGTERM);
    }
    std::exit(1);
}

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        Fail("cannot fork");
    }
    if (pid == 0) {
        ::execvp(argv[0], argv.data());
        std::fprintf(stderr, "xprobe: cannot run %s: %s\n", argv[0], std::strerror(errno));
        ::_exit(127);
    }
    started.push_back(pid);
    return pid;
}

// A pseudo-terminal: the slave side is the device a program opens, the master side is read here.
struct Terminal {
    int master = -1;
    std::string slavePath;
};

Terminal MakeTerminal() {
    Terminal terminal;
    int slave = -1;
    std::array<char, 256> name{};
    if (::openpty(&terminal.master, &slave, name.data(), nullptr, nullptr) != 0) {
        Fail("openpty failed");
    }
    ::fcntl(terminal.master, F_SETFD, FD_CLOEXEC);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    // The slave stays open so that the pair outlives a program closing its side.
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    terminal.slavePath = name.data();
    return terminal;
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

// The panel's settings file naming the port, and the port listed where the panel looks for it.
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
    ::setenv("ZQ8_SERIAL_PORTS", path.c_str(), 1);
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

// A window that vanished between its event and a request about it is no error here.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// Waits until a top-level window that belongs to pid is mapped, and gives that window. Under a
// window manager the window is reparented into a frame, which is mapped once the window inside
// it is: the frame's MapNotify is the moment it shows. Without one, the window itself is mapped
// on the root. Both are seen through the root's substructure, selected before the fork, so the
// map cannot be missed.
Window WaitForMap(Display* display, pid_t pid, std::chrono::seconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    const int fd = ConnectionNumber(display);
    const Window root = DefaultRootWindow(display);
    std::map<Window, Window> framed;  // frame -> the program's window inside it
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ReparentNotify && event.xreparent.parent != root &&
                WindowPid(display, event.xreparent.window) == pid) {
                framed[event.xreparent.parent] = event.xreparent.window;
                continue;
            }
            if (event.type != MapNotify || event.xmap.event != root ||
                event.xmap.override_redirect) {
                continue;
            }
            if (const auto frame = framed.find(event.xmap.window); frame != framed.end()) {
                return frame->second;
            }
            if (WindowPid(display, event.xmap.window) == pid) {
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
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    return display;
}

// Memory of a process, in KiB. Each shared page counts in PSS divided by the number of processes
// mapping it, and not at all in the private figure, so both move with what else runs (another Qt
// program makes the library pages shared; a child forked and not yet exec'd shares the heap).
// The anonymous pages (heap, stacks, written library data) are the program's own whatever runs.
struct Memory {
    long pssKb = -1;
    long privateKb = -1;
    long anonymousKb = -1;
};

Memory MemoryOf(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    Memory memory;
    long privateClean = 0;
    long privateDirty = 0;
    std::string key;
    long value = 0;
    std::string unit;
    while (rollup >> key) {
        if (key == "Pss:" && rollup >> value >> unit) {
            memory.pssKb = value;
        } else if (key == "Private_Clean:" && rollup >> value >> unit) {
            privateClean = value;
        } else if (key == "Private_Dirty:" && rollup >> value >> unit) {
            privateDirty = value;
        } else if (key == "Anonymous:" && rollup >> value >> unit) {
            memory.anonymousKb = value;
        } else {
            rollup.ignore(1 << 10, '\n');
        }
    }
    if (memory.pssKb >= 0) {
        memory.privateKb = privateClean + privateDirty;
    }
    return memory;
}

int Start(int argc, char** argv) {
    if (argc < 4) {
        Fail("usage: xprobe start SETTLE_MS [--port BYTES] PROGRAM [ARGS...]");
    }
    const int settleMs = std::atoi(argv[2]);
    int next = 3;
    std::optional<Terminal> port;
    std::size_t openingBytes = 0;
    if (std::string(argv[next]) == "--port" && argc > next + 2) {
        openingBytes = std::size_t(std::atoi(argv[next + 1]));
        next += 2;
        port = MakeTerminal();
        StorePort(port->slavePath);
    }
    const std::vector<std::string> program(argv + next, argv + argc);

    Display* display = OpenDisplay();
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(program);
    WaitForMap(display, pid, std::chrono::seconds(30));
    const double startup = MicrosSince(start);
    const Memory memory = MemoryOf(pid);
    if (port) {
        const std::string opened =
            ReadBytes(port->master, openingBytes, std::chrono::milliseconds(2000));
        if (opened.size() != openingBytes) {
            Fail("the program did not open the stored port (got " + Hex(opened) + ")");
        }
    }
    Sleep(settleMs);
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    std::printf("startup_us=%.0f pss_kb=%ld private_kb=%ld anonymous_kb=%ld maxrss_kb=%ld\n",
                startup, memory.pssKb, memory.privateKb, memory.anonymousKb, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
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

// One program clicked by the probe, with its own pseudo-terminal.
struct Target {
    std::string label;
    int x = 0;
    int y = 0;
    int contentHeight = 0;
    std::size_t openingBytes = 0;
    std::vector<std::string> program;
    Terminal terminal;
    pid_t pid = -1;
    Window window = 0;
    int rootX = 0;
    int rootY = 0;
    std::vector<double> micros;
};

std::vector<Target> ParseTargets(int first, int argc, char** argv) {
    std::vector<Target> targets;
    for (int i = first; i < argc;) {
        if (std::string(argv[i]) != "--" || argc - i < 7) {
            Fail("each program is given as -- LABEL X Y CONTENT_HEIGHT OPENING_BYTES PROGRAM");
        }
        Target target;
        target.label = argv[i + 1];
        target.x = std::atoi(argv[i + 2]);
        target.y = std::atoi(argv[i + 3]);
        target.contentHeight = std::atoi(argv[i + 4]);
        target.openingBytes = std::size_t(std::atoi(argv[i + 5]));
        for (i += 6; i < argc && std::string(argv[i]) != "--"; ++i) {
            target.program.emplace_back(argv[i]);
        }
        targets.push_back(std::move(target));
    }
    if (targets.empty()) {
        Fail("no program to click");
    }
    return targets;
}

// Starts the target's program and waits until its window is mapped and its port open.
void Launch(Display* display, Target& target, bool storesPort) {
    target.terminal = MakeTerminal();
    if (storesPort) {
        StorePort(target.terminal.slavePath);
    }
    for (std::string& arg : target.program) {
        if (arg == "@PTY@") {
            arg = target.terminal.slavePath;
        }
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    target.pid = Spawn(target.program);
    target.window = WaitForMap(display, target.pid, std::chrono::seconds(30));
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    const std::string opened =
        ReadBytes(target.terminal.master, target.openingBytes, std::chrono::seconds(10));
    if (opened.size() != target.openingBytes) {
        Fail(target.label + " did not open its port (got " + Hex(opened) + ")");
    }
}

// Raises the target's window, gives it the focus through the window manager as a pager would,
// and rests the pointer on the point to click; all settled before any click is timed.
void BringToFront(Display* display, Target& target) {
    const Window root = DefaultRootWindow(display);
    XEvent activate{};
    activate.xclient.type = ClientMessage;
    activate.xclient.window = target.window;
    activate.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    activate.xclient.format = 32;
    activate.xclient.data.l[0] = 2;  // from a pager: honoured at once
    activate.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &activate);
    XRaiseWindow(display, target.window);
    XSync(display, False);
    Sleep(200);

    Window child = 0;
    Window windowRoot = 0;
    int wx = 0;
    int wy = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(display, target.window, &windowRoot, &wx, &wy, &width, &height, &border, &depth);
    const int menuBar = int(height) - target.contentHeight;
    XTranslateCoordinates(display, target.window, root, target.x, menuBar + target.y, &target.rootX,
                          &target.rootY, &child);
    XTestFakeMotionEvent(display, -1, target.rootX, target.rootY, CurrentTime);
    XSync(display, False);
    Sleep(200);
}

// A bash already running, handed one printf command line per write.
struct Shell {
    pid_t pid = -1;
    int input = -1;
    std::string command;
};

Shell StartShell(const std::string& frame, const std::string& path) {
    int toShell[2];
    if (::pipe(toShell) != 0) {
        Fail("cannot make a pipe");
    }
    Shell shell;
    shell.pid = ::fork();
    started.push_back(shell.pid);
    if (shell.pid == 0) {
        ::dup2(toShell[0], 0);
        ::close(toShell[0]);
        ::close(toShell[1]);
        ::execlp("bash", "bash", "--norc", "--noprofile", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toShell[0]);
    shell.input = toShell[1];
    std::string escaped;
    for (unsigned char byte : frame) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "\\x%02x", byte);
        escaped += digits;
    }
    shell.command = "printf '" + escaped + "' > " + path + "\n";
    return shell;
}

int Click(int argc, char** argv) {
    if (argc < 5) {
        Fail(
            "usage: xprobe click CLICKS CODE [--samples FILE] -- LABEL X Y CONTENT_HEIGHT "
            "OPENING_BYTES PROGRAM [ARGS...]");
    }
    const int clicks = std::atoi(argv[2]);
    const int code = int(std::strtol(argv[3], nullptr, 0)) & 0xFF;
    const std::string frame{char(0x02), char(0xBA), char(code), char(0x00),
                            char((0x02 + 0xBA + code) & 0xFF)};
    int first = 4;
    std::string samplesPath;
    if (argc > first + 1 && std::string(argv[first]) == "--samples") {
        samplesPath = argv[first + 1];
        first += 2;
    }
    std::vector<Target> targets = ParseTargets(first, argc, argv);

    Display* display = OpenDisplay();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        Launch(display, targets[i], i == 0);
    }
    const Terminal shellTerminal = MakeTerminal();
    Shell shell = StartShell(frame, shellTerminal.slavePath);
    std::vector<double> printfMicros;

    for (int done = 0; done < clicks; done += kClicksPerTurn) {
        for (Target& target : targets) {
            BringToFront(display, target);
            for (int i = done; i < std::min(clicks, done + kClicksPerTurn); ++i) {
                Clock::time_point start = Clock::now();
                XTestFakeButtonEvent(display, 1, True, CurrentTime);
                XTestFakeButtonEvent(display, 1, False, CurrentTime);
                XFlush(display);
                std::string arrived =
                    ReadBytes(target.terminal.master, frame.size(), std::chrono::seconds(2));
                target.micros.push_back(MicrosSince(start));
                if (arrived != frame) {
                    Fail("a click on " + target.label + " sent " + Hex(arrived) + "instead of " +
                         Hex(frame));
                }
                Sleep(5);

                start = Clock::now();
                if (::write(shell.input, shell.command.data(), shell.command.size()) !=
                    ssize_t(shell.command.size())) {
                    Fail("the shell stopped reading");
                }
                arrived = ReadBytes(shellTerminal.master, frame.size(), std::chrono::seconds(2));
                printfMicros.push_back(MicrosSince(start));
                if (arrived != frame) {
                    Fail("printf sent " + Hex(arrived) + "instead of " + Hex(frame));
                }
                Sleep(5);
            }
        }
    }
    ::close(shell.input);
    ::waitpid(shell.pid, nullptr, 0);
    for (Target& target : targets) {
        ::kill(target.pid, SIGTERM);
        ::waitpid(target.pid, nullptr, 0);
    }
    XCloseDisplay(display);

    if (!samplesPath.empty()) {
        std::ofstream samples(samplesPath, std::ios::app);
        for (const Target& target : targets) {
            for (double micros : target.micros) {
                samples << target.label << ' ' << micros << '\n';
            }
        }
        for (double micros : printfMicros) {
            samples << "printf " << micros << '\n';
        }
    }
    for (const Target& target : targets) {
        const Spread spread = SpreadOf(target.micros);
        std::printf("%s_median_us=%.1f %s_p99_us=%.1f ", target.label.c_str(), spread.median,
                    target.label.c_str(), spread.p99);
    }
    const Spread shellWrite = SpreadOf(printfMicros);
    std::printf("printf_median_us=%.1f printf_p99_us=%.1f\n", shellWrite.median, shellWrite.p99);
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
