// The road from process entry to exit: framework start, class records and module state, the
// start-up callback and the event loop inside one catch-all, then release and shut-down.
#pragma once

#include <cstdint>

namespace entry {

// The whole life of the process; returns the exit status.
std::int32_t main();
void initialize();
void Main();
void Startup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
void finalize();

}  // namespace entry
