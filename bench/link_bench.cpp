// The controller link's speed on a pseudo-terminal standing in for the box: how long from cmdout
// until the five bytes can be read on the box's side, and how many frames cmdout sends a second
// with the command log hidden and shown, against bare writes of the same bytes; and what one more
// row costs, in time and memory, in a log of 1,000 to 100,000 rows.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/listbox.h"
#include "framework/runtime.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "settings/config.h"
#include "tests/link/controller_window.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/temp_config.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kLogHidden = 474;
constexpr std::int32_t kLogShown = 584;
// Rows kept before the log is emptied, outside the timing, so memory stays bounded.
constexpr std::int64_t kRowsBeforeClearing = 100000;

// The box on a pseudo-terminal, listed as the last port, and the main window with that port open.
struct Rig {
    zq8test::PseudoTerminal box;
    zq8test::ListedSerialPorts listed{{box.SlavePath()}};
    std::shared_ptr<zq8> window;

    explicit Rig(std::int32_t height) {
        config::initconfig("zq8.ini");
        window = zq8test::MainWindowWithLinkControls();
        window->SetHeight(height);
        window->opencontrollerport(fw::System::SerialPortCount() - 1);
    }
    ~Rig() {
        window.reset();
        fw::ReleaseAllWindows();
    }

    void Drain() {
        if (const std::size_t waiting = box.Available(); waiting > 0) {
            box.ReadExactly(waiting, std::chrono::milliseconds(100));
        }
    }
};

double Percentile(std::vector<double>& sorted, double fraction) {
    const std::size_t at =
        std::min(sorted.size() - 1, std::size_t(fraction * double(sorted.size())));
    return sorted[at];
}

void BM_CmdoutToBytesReadable(benchmark::State& state) {
    Rig rig(std::int32_t(state.range(0)));
    std::vector<double> micros;
    micros.reserve(std::size_t(state.max_iterations));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        rig.window->cmdout(0x0C);
        const std::string arrived = rig.box.ReadExactly(5, std::chrono::seconds(1));
        const Clock::time_point end = Clock::now();
        if (arrived.size() != 5) {
            state.SkipWithError("the frame did not reach the box");
            break;
        }
        const std::chrono::duration<double> elapsed = end - start;
        state.SetIterationTime(elapsed.count());
        micros.push_back(elapsed.count() * 1e6);
    }
    if (micros.empty()) {
        return;
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = Percentile(micros, 0.5);
    state.counters["p99_us"] = Percentile(micros, 0.99);
    state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_CmdoutToBytesReadable)
    ->ArgName("height")
    ->Arg(kLogHidden)
    ->Arg(kLogShown)
    ->UseManualTime()
    ->Iterations(50000)
    ->Unit(benchmark::kMicrosecond);

void BM_CmdoutThroughput(benchmark::State& state) {
    Rig rig(std::int32_t(state.range(0)));
    fw::Listbox& log = zq8test::CommandLog(*rig.window);
    std::int64_t frames = 0;
    for (auto _ : state) {
        rig.window->cmdout(std::int8_t(frames));
        ++frames;
        // A few hundred frames at a time keep the pty's buffer from filling.
        if (frames % 256 == 0) {
            rig.Drain();
        }
        if (log.ListCount() >= kRowsBeforeClearing) {
            state.PauseTiming();
            log.DeleteAllRows();
            state.ResumeTiming();
        }
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CmdoutThroughput)
    ->ArgName("height")
    ->Arg(kLogHidden)
    ->Arg(kLogShown)
    ->Unit(benchmark::kNanosecond);

// The floor for cmdout's throughput: the same five bytes written with write(2) on a descriptor of
// the same pseudo-terminal, opened as the serial control opens its port.
void BM_BareWriteThroughput(benchmark::State& state) {
    zq8test::PseudoTerminal box;
    const int fd = ::open(box.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // Raw, as the serial control sets its line: no output processing in the terminal layer.
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    const char frame[] = {0x02, char(0xBA), 0x0C, 0x00, char(0xC8)};
    std::int64_t frames = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(::write(fd, frame, sizeof frame));
        ++frames;
        if (frames % 256 == 0) {
            box.ReadExactly(box.Available(), std::chrono::milliseconds(100));
        }
    }
    ::close(fd);
    state.counters["frames_per_s"] =
        benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareWriteThroughput)->Unit(benchmark::kNanosecond);

// Longer than the framework keeps a listing (250 ms) to serve the several calls of one lookup.
constexpr std::chrono::milliseconds kListingKept{400};

// One full listing of the machine's serial ports, as the port dialog takes it when it opens.
// Before each, outside the timing, the probe waits out the time a listing is kept and lets the
// event loop run, as between two openings of the dialog, so that none is served from a kept one.
void BM_ListSerialPorts(benchmark::State& state) {
    std::int32_t ports = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(kListingKept);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        ports = fw::System::SerialPortCount();
        benchmark::DoNotOptimize(ports);
    }
    state.counters["ports"] = ports;
}
BENCHMARK(BM_ListSerialPorts)->Iterations(5)->Unit(benchmark::kMillisecond);

// Fills the log to `rows` rows outside the timing; each row is one frame sent.
void FillLog(Rig& rig, fw::Listbox& log, std::int64_t rows) {
    log.DeleteAllRows();
    while (log.ListCount() < rows) {
        rig.window->cmdout(0x0C);
        if (log.ListCount() % 256 == 0) {
            rig.Drain();
        }
    }
    rig.Drain();
    QCoreApplication::processEvents();
}

// The cost of one more row in a log that already holds `rows`: one frame sent and the event
// pass after it (the list's layout and painting), as after a click. The log grows by at most a
// tenth during a batch and is then filled back to `rows`, outside the timing.
void BM_OneMoreRow(benchmark::State& state) {
    Rig rig(kLogShown);
    fw::Listbox& log = zq8test::CommandLog(*rig.window);
    const std::int64_t rows = state.range(0);
    const std::int64_t batch = std::max<std::int64_t>(100, rows / 10);
    FillLog(rig, log, rows);
    for (auto _ : state) {
        rig.window->cmdout(0x0C);
        QCoreApplication::processEvents();
        if (log.ListCount() % 256 == 0) {
            rig.Drain();
        }
        if (log.ListCount() >= rows + batch) {
            state.PauseTiming();
            FillLog(rig, log, rows);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_OneMoreRow)
    ->ArgName("rows")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

// The heap the log holds per row at `rows` rows: what malloc hands out, measured before the
// first row and after the last one.
void BM_MemoryPerRow(benchmark::State& state) {
    Rig rig(kLogShown);
    fw::Listbox& log = zq8test::CommandLog(*rig.window);
    const std::int64_t rows = state.range(0);
    double bytesPerRow = 0;
    for (auto _ : state) {
        log.DeleteAllRows();
        QCoreApplication::processEvents();
        ::malloc_trim(0);
        const std::size_t before = ::mallinfo2().uordblks;
        FillLog(rig, log, rows);
        const std::size_t after = ::mallinfo2().uordblks;
        bytesPerRow = (double(after) - double(before)) / double(rows);
    }
    state.counters["bytes_per_row"] = bytesPerRow;
}
BENCHMARK(BM_MemoryPerRow)
    ->ArgName("rows")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The open port is stored under "controlport": keep that out of the user's own settings.
    const std::filesystem::path settingsHome = zq8test::UseFreshConfigHome();
    fw::RuntimeInit();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const int status = fw::RuntimeExit();
    std::filesystem::remove_all(settingsHome);
    return status;
}
