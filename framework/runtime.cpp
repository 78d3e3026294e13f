#include "framework/runtime.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "framework/deferred_icon_style.h"
#include "framework/exceptions.h"
#include "framework/font_configuration.h"
#include "framework/settings_lock.h"
#include "framework/window.h"

namespace fw {

namespace {

struct RuntimeState {
    std::unique_ptr<QApplication> app;
    int users = 0;
    int exitCode = 0;
    bool failed = false;
    int loopDepth = 0;
    std::shared_ptr<Application> appObject;
};

RuntimeState& State() {
    static RuntimeState state;
    return state;
}

// Qt aborts when it finds no display; say what to do instead and end with status 2.
void RequireDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0')) {
        std::fputs("no display: set DISPLAY, or run under xvfb-run\n", stderr);
        std::exit(2);
    }
}

}  // namespace

const ClassInfo& Application::Class() {
    static const ClassInfo info{"Application", &Object::Class(), {}};
    return info;
}

void RuntimeInit() {
    RuntimeState& state = State();
    if (state.users++ > 0) {
        return;
    }
    RequireDisplay();
    static int argc = 1;
    static char name[] = "zq8";
    static char* argv[] = {name, nullptr};
    {
        // The font configuration loads while QApplication connects to the display.
        const FontConfigurationLoader fonts;
        state.app = std::make_unique<QApplication>(argc, argv);
    }
    UseDeferredExtensionIcon();
    QApplication::setApplicationName("zq8");
    // Windows end the run through their Close event and Quit, not by being the last one shown.
    QApplication::setQuitOnLastWindowClosed(false);
}

std::int32_t RuntimeExit() {
    UnlockSettingsFolder();
    RuntimeState& state = State();
    const std::int32_t code = state.failed ? 1 : state.exitCode;
    if (--state.users <= 0) {
        state.users = 0;
        state.appObject.reset();
        state.app.reset();
    }
    // A later run in the same process (the tests) starts afresh.
    state.exitCode = 0;
    state.failed = false;
    return code;
}

void RuntimeInitExternalClasses() {}
void InitPluginEntrypoints() {}

void RunFrameworkInitialization(void (*startup)()) {
    // A second panel on the same settings ends before it reads or writes any of them.
    if (!LockSettingsFolder()) {
        State().failed = true;
        return;
    }
    startup();
}

void RuntimeRun() {
    RuntimeState& state = State();
    if (state.failed) {
        return;
    }
    ++state.loopDepth;
    QApplication::exec();
    --state.loopDepth;
}

void Quit(std::int32_t code) {
    State().exitCode = code;
    QCoreApplication::exit(code);
}

bool EventLoopRunning() {
    return State().loopDepth > 0;
}

void RuntimeRegisterAppObject(std::shared_ptr<Application> app) {
    State().appObject = std::move(app);
}

std::shared_ptr<Application> RegisteredApp() {
    return State().appObject;
}

void UnhandledException(std::exception_ptr exception) {
    std::string line;
    try {
        std::rethrow_exception(exception);
    } catch (const RuntimeException& e) {
        line = std::string(e.ClassName()) + ": " + e.what();
    } catch (const std::exception& e) {
        line = std::string("RuntimeException: ") + e.what();
    } catch (...) {
        line = "RuntimeException: unknown exception";
    }
    std::fprintf(stderr, "zq8: unhandled %s\n", line.c_str());
    std::fflush(stderr);
    RuntimeState& state = State();
    state.failed = true;
    // Leaves every running event loop, the modal ones included.
    QCoreApplication::exit(1);
}

void Dispatch(const std::function<void()>& work) noexcept {
    try {
        work();
    } catch (...) {
        UnhandledException(std::current_exception());
    }
}

}  // namespace fw
