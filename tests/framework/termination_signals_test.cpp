#include "framework/termination_signals.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <string>

#include "framework/runtime.h"
#include "tests/support/child_process.h"

namespace {

// A signal that comes while the program starts, before its event loop runs (a panel killed as it
// opens its port, or reads its settings), must not kill it outright: it waits in the route and
// ends the run once the loop runs. The run is a child of its own, so that a signal the route
// missed kills the child and not the test.
TEST(TerminationSignals, ASignalDuringStartUpWaitsForTheEventLoopAndEndsTheRun) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        zq8test::ChildProcess run([signal](int) {
            std::signal(signal, SIG_DFL);
            constexpr int kNotEnded = 3;
            // A bound, should the signal be lost: the run would end with this status.
            QTimer::singleShot(10000, [] { fw::Quit(kNotEnded); });
            static int raised;
            raised = signal;
            fw::RunFrameworkInitialization([] { std::raise(raised); });
            fw::RuntimeRun();
            return fw::RuntimeExit();
        });
        EXPECT_EQ(run.Wait(), 0) << "-1: the signal killed the starting program";
    }
}

}  // namespace
