// The application object: holds the menu bar and nothing else.
#pragma once

#include "framework/runtime.h"

class App : public fw::Application {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }
};
