#include "panel/startup.h"

#include "framework/exceptions.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "panel/app.h"
#include "panel/menubar1.h"
#include "panel/zq8.h"
#include "settings/config.h"

namespace entry {

std::int32_t main() {
    fw::RuntimeInit();
    initialize();
    Main();
    finalize();
    return fw::RuntimeExit();
}

void initialize() {
    // The framework's own classes come first, then the system's, in this order.
    for (const fw::ClassInfo* info :
         {&fw::Object::Class(), &fw::Application::Class(), &fw::Window::Class(),
          &fw::MenuItem::Class(), &fw::MenuBar::Class(), &fw::QuitMenuItem::Class(),
          &fw::Control::Class(), &fw::RectControl::Class(), &App::Class(), &zq8::Class(),
          &MenuBar1::Class()}) {
        fw::RegisterClass(*info);
    }
    // The settings store's module state: no file name yet, an empty table, nothing found.
    config::filename.reset();
    config::parray.fill(fw::String());
    config::cfound = false;
}

void Main() {
    try {
        fw::RunFrameworkInitialization(&Startup);
        fw::RuntimeRun();
    } catch (...) {
        fw::UnhandledException(std::current_exception());
    }
}

void Startup() {
    fw::RuntimeInitExternalClasses();
    fw::InitPluginEntrypoints();
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void InitFileTypes() {}

void NewAppInstance() {
    auto app = std::make_shared<App>();
    fw::Require(app.get(), "App").SetMenuBar(MenuBar1::MenuBar1_());
    fw::RuntimeRegisterAppObject(app);
}

void ApplicationAddMenuHandlers() {}

void MakeDefaultView() {
    zq8::zq8_();
}

void finalize() {
    fw::ReleaseAllWindows();
    MenuBar1::ReleaseImplicitInstance();
    config::filename.reset();
    config::parray.fill(fw::String());
}

}  // namespace entry
