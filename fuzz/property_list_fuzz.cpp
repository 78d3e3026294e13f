// Any bytes as a design-time property list, read against each class that takes one: the reader
// never reads outside the bytes, and a list it cannot read to the end says so.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/listbox.h"
#include "framework/property_list_reader.h"
#include "framework/window.h"

namespace {

void ReadAgainst(const fw::ClassInfo& info, std::string_view list) {
    std::size_t last = 0;
    const auto error = fw::ReadPropertyList(
        list,
        [&info](std::string_view name) -> std::optional<fw::PropertyType> {
            const fw::PropertyDecl* property = info.FindProperty(name);
            return property ? std::optional(property->type) : std::nullopt;
        },
        [&](fw::PropertyListEntry entry) {
            if (entry.offset < last || entry.offset >= list.size()) {
                std::abort();
            }
            last = entry.offset;
        });
    if (error && error->offset > list.size()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view list(reinterpret_cast<const char*>(data), size);
    for (const fw::ClassInfo* info : {&fw::Window::Class(), &fw::Listbox::Class()}) {
        ReadAgainst(*info, list);
    }
    return 0;
}
