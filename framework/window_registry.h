// Framework-internal: the implicit instances, one live window per registered class name, from
// before the window's Open until its Close has run; and the closed windows, kept until the event
// that closed them has unwound, as a widget must not be destroyed inside its own event handler.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "framework/window.h"

namespace fw {

using ImplicitWindowMap = std::map<String, std::shared_ptr<Window>, std::less<>>;

const ImplicitWindowMap& ImplicitWindows();
// Registers the window under its class's name, in place of any window registered there.
void RegisterImplicitWindow(std::shared_ptr<Window> window);
// A window that closed: no longer its class's implicit instance, kept until the windows are
// released.
void RetireImplicitWindow(const std::shared_ptr<Window>& window);

}  // namespace fw
