#include "panel/app.h"

const fw::ClassInfo& App::Class() {
    static const fw::ClassInfo info{"App", &fw::Application::Class(), {}};
    return info;
}
