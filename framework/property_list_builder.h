// Writes design-time property lists: each entry is the name, one blank and the value, numbers
// most significant byte first, texts as a 32-bit length and their bytes.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/object.h"

namespace fw {

// Appends entries in call order; a list is usually built once into a static constant:
//   static const String list = PropertyListBuilder().Integer("Width", 260).Build();
// Names are taken as given: they must hold no blank, or no reader could find the value.
class PropertyListBuilder {
public:
    PropertyListBuilder& Boolean(std::string_view name, bool value);
    PropertyListBuilder& Integer(std::string_view name, std::int32_t value);
    PropertyListBuilder& Colour(std::string_view name, Color value);
    PropertyListBuilder& Text(std::string_view name, std::string_view value);

    const String& Build() const { return bytes_; }

private:
    void Name(std::string_view name);
    void Word(std::uint32_t value);

    String bytes_;
};

}  // namespace fw
