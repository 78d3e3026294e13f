// The controller link's speed on a pseudo-terminal standing in for the box: how long from cmdout
// until the five bytes can be read on the box's side, and how many frames cmdout sends a second
// with the command log hidden and shown.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
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
