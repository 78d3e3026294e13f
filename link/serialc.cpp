#include "link/serialc.h"

const fw::ClassInfo& zq8::Serialc_::Class() {
    static const fw::ClassInfo info{"zq8.Serialc", &fw::Serial::Class(), {}};
    return info;
}
