// Reads design-time property lists. The list carries no types: each entry can be decoded, and
// stepped over, only once the caller has said what type its name has. The reader touches
// nothing but the bytes it is given, so any byte string is safe to hand it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "framework/object.h"

namespace fw {

struct PropertyListEntry {
    std::string_view name;  // as written in the list, letter case included
    PropertyValue value;
    std::size_t offset;  // of the entry's first byte
};

enum class PropertyListFault {
    MissingBlank,  // the list ends inside a name
    UnknownName,   // the type lookup knows no property of that name
    ShortValue,    // the list ends inside a value
};

struct PropertyListError {
    PropertyListFault fault;
    std::string_view name;  // the entry's name, or for MissingBlank the bytes left in the list
    std::size_t offset;     // of the entry's first byte
};

// The declared type of a property, or nothing when the object has no property of that name.
using PropertyTypeLookup = std::function<std::optional<PropertyType>(std::string_view name)>;
using PropertyEntryHandler = std::function<void(PropertyListEntry entry)>;

// Reads the list from its first byte to its last. For each entry, in list order, findType is
// asked for the name's type and then, once the value is decoded, onEntry is handed the entry.
// Stops at the first entry it cannot read and returns why; the entries before it have been
// handed over already. A list read to its end returns nothing.
std::optional<PropertyListError> ReadPropertyList(std::string_view list,
                                                  const PropertyTypeLookup& findType,
                                                  const PropertyEntryHandler& onEntry);

// One line for a message: what went wrong, with the entry's name and byte offset.
std::string DescribePropertyListError(const PropertyListError& error);

}  // namespace fw
