// The run: framework start and shut-down, the start-up callback, the one event loop, quitting,
// dispatching events with the unhandled-exception handling, and the application object.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "framework/object.h"

namespace fw {

class MenuBar;

class Application : public Object {
public:
    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    std::shared_ptr<fw::MenuBar> MenuBar() const { return menuBar_; }
    void SetMenuBar(std::shared_ptr<fw::MenuBar> bar) { menuBar_ = std::move(bar); }

private:
    std::shared_ptr<fw::MenuBar> menuBar_;
};

// Framework start. Without a display it prints one line and ends the process with status 2.
void RuntimeInit();
// Framework shut-down; gives the lock on the settings folder up and gives the exit status: the
// code given to Quit, or 1 after an unhandled exception or a refused start.
std::int32_t RuntimeExit();

void RuntimeInitExternalClasses();
void InitPluginEntrypoints();
// Takes the lock on the settings folder, then calls the start-up callback once, before any event
// is dispatched. While another panel holds the lock the callback never runs and the run ends
// with status 1. From the callback until RuntimeExit, SIGTERM, SIGINT and SIGHUP end the run from
// the event loop as the Quit item does.
void RunFrameworkInitialization(void (*startup)());
// The event loop: dispatches every event on this thread until Quit.
void RuntimeRun();
// Ends the event loop; the code becomes the exit status.
void Quit(std::int32_t code = 0);
// True while RuntimeRun is dispatching events.
bool EventLoopRunning();

void RuntimeRegisterAppObject(std::shared_ptr<Application> app);
std::shared_ptr<Application> RegisteredApp();

// The framework's handling of an exception nobody caught: one line on stderr naming its class
// and message, then the run ends with status 1.
void UnhandledException(std::exception_ptr exception);
// Runs one event's work; whatever it throws goes to UnhandledException and no further.
void Dispatch(const std::function<void()>& work) noexcept;

}  // namespace fw
