// The one menu bar of the application and of the main window: File, Edit and Options.
#pragma once

#include <memory>

#include "framework/menu.h"

class MenuBar1 : public fw::MenuBar {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The single instance, built on the first call.
    static std::shared_ptr<MenuBar1> MenuBar1_();
    // Releases the single instance at shut-down.
    static void ReleaseImplicitInstance();
    static bool HasImplicitInstance() { return _implicitInstance != nullptr; }

    void Constructor();
    void Untitled0();
    void Untitled1();
    void Untitled2();

private:
    static std::shared_ptr<MenuBar1> _implicitInstance;
};
