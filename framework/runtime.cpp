#include "framework/runtime.h"

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>

#include "framework/deferred_icon_style.h"
#include "framework/display_messages.h"
#include "framework/exceptions.h"
#include "framework/font_configuration.h"
#include "framework/no_destructor.h"
#include "framework/settings_lock.h"
#include "framework/termination_signals.h"
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
    static NoDestructor<RuntimeState> state;
    return *state;
}

// A termination signal quits as the Quit item does: the window that shows the application's
// menu bar closes, so that its Close event ends the run.
void QuitAsTheQuitItemDoes() {
    const std::shared_ptr<Application>& app = State().appObject;
    if (auto window = WindowShowingMenuBar(app ? app->MenuBar() : nullptr)) {
        window->Close();
    } else {
        Quit(0);
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
    // Under a file size limit a write past it fails with EFBIG, as on a full disk, and is
    // handled as any failed write (a store, a cache of the toolkit's) instead of ending the run.
    std::signal(SIGXFSZ, SIG_IGN);
    RequireDisplay();
    static int argc = 1;
    static char name[] = "zq8";
    static char* argv[] = {name, nullptr};
    HoldQtMessagesWhileStarting();
    {
        // The font configuration loads while QApplication connects to the display.
        const FontConfigurationLoader fonts;
        state.app = std::make_unique<QApplication>(argc, argv);
    }
    ReleaseQtMessages();
    UseDeferredExtensionIcon();
    QApplication::setApplicationName("zq8");
    // Windows end the run through their Close event and Quit, not by being the last one shown.
    QApplication::setQuitOnLastWindowClosed(false);
}

std::int32_t RuntimeExit() {
    UnlockSettingsFolder();
    RuntimeState& state = State();
    RestoreTerminationSignals();
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
    // A signal during start-up waits until the event loop runs.
    RouteTerminationSignals(&QuitAsTheQuitItemDoes);
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
