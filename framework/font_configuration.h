// Framework-internal: the font configuration loaded beside other start-up work.
#pragma once

#include <thread>

namespace fw {

// Loads the system's font configuration (parsing its files and mapping its caches, a few
// milliseconds that any window with text pays) on a thread of its own from construction until
// destruction, which waits for it. Qt reads the loaded configuration when it first needs a font,
// so that use must come after the destruction. The thread touches no Qt object.
class FontConfigurationLoader {
public:
    FontConfigurationLoader();
    FontConfigurationLoader(const FontConfigurationLoader&) = delete;
    FontConfigurationLoader& operator=(const FontConfigurationLoader&) = delete;
    ~FontConfigurationLoader();

private:
    std::thread loader_;
};

}  // namespace fw
