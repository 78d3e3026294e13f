// One settings store: config::putconfig rewrites all 256 lines into a new file, syncs it and
// renames it over "zq8.ini". Against it, the floor any atomic rewrite of the same bytes pays:
// one write of the whole text, fsync, rename and a sync of the folder, in bare system calls.
// And the load at start, config::initconfig, of a file as the store writes it and of a file of
// 10 GiB without a line end (sparse, taking no disk space), which is read only up to the most
// its 256 lines can take.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "framework/text.h"
#include "settings/config.h"
#include "tests/support/temp_config.h"

namespace {

void BM_Putconfig(benchmark::State& state) {
    config::initconfig("zq8.ini");
    config::putconfig("controlport", fw::StringToVariant("/dev/ttyUSB0"));
    std::int32_t value = 0;
    for (auto _ : state) {
        config::putconfig("zq8lang", fw::Int32ToVariant(value & 1));
        ++value;
    }
}
BENCHMARK(BM_Putconfig)->Unit(benchmark::kMicrosecond);

void WriteWhole(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            throw std::runtime_error("write failed");
        }
        written += std::size_t(put);
    }
}

void BM_BareAtomicRewrite(benchmark::State& state) {
    const std::filesystem::path folder = zq8test::SettingsFolder();
    std::filesystem::create_directories(folder);
    const std::string target = (folder / "bare.ini").string();
    const std::string pending = (folder / ".bare.ini.new").string();
    std::string text = "controlport\n/dev/ttyUSB0\nzq8lang\n0\n";
    text.append(256 - 4, '\n');
    for (auto _ : state) {
        const int fd = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        WriteWhole(fd, text);
        ::fsync(fd);
        ::close(fd);
        ::rename(pending.c_str(), target.c_str());
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(dir);
        ::close(dir);
    }
}
BENCHMARK(BM_BareAtomicRewrite)->Unit(benchmark::kMicrosecond);

void WriteSettings(const std::string& bytes, std::uintmax_t size) {
    const std::filesystem::path file = zq8test::SettingsFolder() / "zq8.ini";
    std::filesystem::create_directories(file.parent_path());
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    WriteWhole(fd, bytes);
    ::close(fd);
    std::filesystem::resize_file(file, size);
}

void BM_LoadStoredFile(benchmark::State& state) {
    std::string text = "zq8lang\n1\ncontrolport\n/dev/ttyUSB0\n";
    text.append(256 - 4, '\n');
    WriteSettings(text, text.size());
    for (auto _ : state) {
        config::initconfig("zq8.ini");
    }
}
BENCHMARK(BM_LoadStoredFile)->Unit(benchmark::kMicrosecond);

void BM_LoadTenGigabytesWithoutALineEnd(benchmark::State& state) {
    WriteSettings("", std::uintmax_t{10} << 30);
    // Each load says once that it stopped reading.
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(quiet, STDERR_FILENO);
    for (auto _ : state) {
        config::initconfig("zq8.ini");
    }
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(quiet);
    ::close(saved);
    std::filesystem::remove(zq8test::SettingsFolder() / "zq8.ini");
}
BENCHMARK(BM_LoadTenGigabytesWithoutALineEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The folder lies where the settings would, on the same file system as the user's own.
    const std::filesystem::path settingsHome = zq8test::UseFreshConfigHome();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(settingsHome);
    return 0;
}
