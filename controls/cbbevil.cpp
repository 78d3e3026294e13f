#include "controls/cbbevil.h"

const fw::ClassInfo& cbbevil::Class() {
    static const fw::ClassInfo info{
        "cbbevil", &fw::BevelButton::Class(), {fw::Property("tag", &cbbevil::tag)}};
    return info;
}
