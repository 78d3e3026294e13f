#include "framework/termination_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <csignal>
#include <memory>

#include "framework/no_destructor.h"
#include "framework/runtime.h"

namespace fw {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, the only thing the handler touches.
volatile std::sig_atomic_t writeEnd = -1;

extern "C" void OnTerminationSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal that has not been taken up yet: nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = saved;
}

struct SignalRoute {
    bool routed = false;
    int readEnd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void()> quit;
    std::array<struct sigaction, kSignals.size()> previous{};
    std::array<bool, kSignals.size()> caught{};
};

SignalRoute& Route() {
    static NoDestructor<SignalRoute> route;
    return *route;
}

void TakeUpSignals() {
    SignalRoute& route = Route();
    unsigned char bytes[16];
    while (::read(route.readEnd, bytes, sizeof bytes) > 0) {
    }
    Dispatch(route.quit);
}

}  // namespace

void RouteTerminationSignals(std::function<void()> quit) {
    SignalRoute& route = Route();
    if (route.routed) {
        return;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their default: the process ends as it did before
    }
    route.routed = true;
    route.readEnd = ends[0];
    writeEnd = ends[1];
    route.quit = std::move(quit);
    route.notifier = std::make_unique<QSocketNotifier>(route.readEnd, QSocketNotifier::Read);
    QObject::connect(route.notifier.get(), &QSocketNotifier::activated, route.notifier.get(),
                     [] { TakeUpSignals(); });

    struct sigaction action {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction& previous = route.previous[i];
        route.caught[i] = ::sigaction(kSignals[i], nullptr, &previous) == 0 &&
                          previous.sa_handler != SIG_IGN &&
                          ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

void RestoreTerminationSignals() {
    SignalRoute& route = Route();
    if (!route.routed) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (route.caught[i]) {
            ::sigaction(kSignals[i], &route.previous[i], nullptr);
            route.caught[i] = false;
        }
    }
    route.notifier.reset();
    ::close(route.readEnd);
    ::close(writeEnd);
    writeEnd = -1;
    route.readEnd = -1;
    route.quit = nullptr;
    route.routed = false;
}

}  // namespace fw
