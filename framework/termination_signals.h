// Framework-internal: SIGTERM, SIGINT and SIGHUP end the run through the event loop instead of
// killing the process outright. The handler only writes the signal's number into a pipe; the
// event loop reads it there and does the work.
#pragma once

#include <functional>

namespace fw {

// From now on each of the three signals runs `quit` from the event loop. A signal the process
// was started with ignored (nohup, a background job) stays ignored.
void RouteTerminationSignals(std::function<void()> quit);
// The signals' former handling comes back, and signals still waiting are dropped.
void RestoreTerminationSignals();

}  // namespace fw
