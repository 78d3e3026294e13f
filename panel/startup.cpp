#include "panel/startup.h"

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/bevel_button.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/listbox.h"
#include "framework/picture.h"
#include "framework/popup_menu.h"
#include "framework/runtime.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "link/selectport.h"
#include "link/serialc.h"
#include "panel/app.h"
#include "panel/menubar1.h"
#include "panel/zq8.h"
#include "panel/zq8_colork.h"
#include "panel/zq8_zq8k.h"
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
    for (const fw::ClassInfo* info : {&fw::Object::Class(),    &fw::Application::Class(),
                                      &fw::Window::Class(),    &fw::MenuItem::Class(),
                                      &fw::MenuBar::Class(),   &fw::QuitMenuItem::Class(),
                                      &fw::Control::Class(),   &fw::RectControl::Class(),
                                      &fw::Graphics::Class(),  &fw::Picture::Class(),
                                      &fw::Canvas::Class(),    &fw::BevelButton::Class(),
                                      &fw::PopupMenu::Class(), &fw::Listbox::Class(),
                                      &fw::Serial::Class(),    &App::Class(),
                                      &zq8::Class(),           &zq8::ZQ8k_::Class(),
                                      &zq8::colork_::Class(),  &zq8::Serialc_::Class(),
                                      &MenuBar1::Class(),      &cbkey2::Class(),
                                      &selectport::Class(),    &cbbevil::Class()}) {
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
