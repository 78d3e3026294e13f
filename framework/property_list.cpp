#include "framework/property_list.h"

#include <string>
#include <utility>
#include <vector>

#include "framework/exceptions.h"
#include "framework/property_list_reader.h"

namespace fw {

void SetProperties(Object* object, std::string_view list) {
    if (object == nullptr) {
        throw PropertyListException("a design-time property list was applied to no object");
    }
    const ClassInfo& info = object->GetClassInfo();

    struct Pending {
        const PropertyDecl* property;
        PropertyValue value;
    };
    std::vector<Pending> pending;
    // The reader asks for an entry's type just before it hands the entry over, so the property
    // found by the last lookup is the one the next entry sets.
    const PropertyDecl* found = nullptr;
    std::optional<PropertyListError> error = ReadPropertyList(
        list,
        [&](std::string_view name) -> std::optional<PropertyType> {
            found = info.FindProperty(name);
            if (found == nullptr) {
                return std::nullopt;
            }
            return found->type;
        },
        [&](PropertyListEntry entry) {
            pending.push_back({found, std::move(entry.value)});
        });
    if (error) {
        throw PropertyListException(std::string(info.name) + ": " +
                                    DescribePropertyListError(*error));
    }
    for (const Pending& entry : pending) {
        entry.property->set(*object, entry.value);
    }
}

}  // namespace fw
