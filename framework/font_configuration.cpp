#include "framework/font_configuration.h"

#include <fontconfig/fontconfig.h>

namespace fw {

// FcInit loads the configuration once per process and is safe to call from any thread; a later
// call, Qt's own among them, finds it loaded.
FontConfigurationLoader::FontConfigurationLoader() : loader_([] { FcInit(); }) {}

FontConfigurationLoader::~FontConfigurationLoader() {
    loader_.join();
}

}  // namespace fw
