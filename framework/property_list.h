// Applies a design-time property list to a window or a control.
#pragma once

#include <string_view>

#include "framework/object.h"

namespace fw {

// Sets, in list order, each property the list names, found ignoring letter case among the
// properties of the object's class and its bases, and decoded by that property's type.
// A list that cannot be read to its end (a name the class lacks, a missing blank, a value cut
// short), or no object at all, raises PropertyListException naming the class, the entry and its
// byte offset. The whole list is read before the first property is set, so a list that raises
// leaves the object as it was.
void SetProperties(Object* object, std::string_view list);

}  // namespace fw
