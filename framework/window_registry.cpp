#include "framework/window_registry.h"

#include <utility>
#include <vector>

#include "framework/no_destructor.h"

namespace fw {

namespace {

ImplicitWindowMap& Registered() {
    static NoDestructor<ImplicitWindowMap> windows;
    return *windows;
}

// Closed windows wait here until the event that closed them has unwound: a widget must not be
// destroyed inside its own event handler.
std::vector<std::shared_ptr<Window>>& ClosedWindows() {
    static NoDestructor<std::vector<std::shared_ptr<Window>>> windows;
    return *windows;
}

}  // namespace

const ImplicitWindowMap& ImplicitWindows() {
    return Registered();
}

void RegisterImplicitWindow(std::shared_ptr<Window> window) {
    String name(window->GetClassInfo().name);
    Registered()[std::move(name)] = std::move(window);
}

void RetireImplicitWindow(const std::shared_ptr<Window>& window) {
    auto& windows = Registered();
    if (auto found = windows.find(window->GetClassInfo().name);
        found != windows.end() && found->second == window) {
        windows.erase(found);
    }
    ClosedWindows().push_back(window);
}

std::shared_ptr<Window> GetImplicitWindow(std::string_view registeredName) {
    auto& windows = Registered();
    auto found = windows.find(registeredName);
    return found == windows.end() ? nullptr : found->second;
}

void ReleaseAllWindows() {
    Registered().clear();
    ClosedWindows().clear();
}

}  // namespace fw
