#include "panel/startup.h"

#include "framework/exceptions.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "panel/app.h"
#include "panel/menubar1.h"
#include "panel/zq8.h"

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
}

}  // namespace entry
