#include "framework/property_list_builder.h"

namespace fw {

void PropertyListBuilder::Name(std::string_view name) {
    bytes_.append(name);
    bytes_.push_back(' ');
}

void PropertyListBuilder::Word(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes_.push_back(char((value >> shift) & 0xFF));
    }
}

PropertyListBuilder& PropertyListBuilder::Boolean(std::string_view name, bool value) {
    Name(name);
    bytes_.push_back(value ? '\x01' : '\x00');
    return *this;
}

PropertyListBuilder& PropertyListBuilder::Integer(std::string_view name, std::int32_t value) {
    Name(name);
    Word(std::uint32_t(value));
    return *this;
}

PropertyListBuilder& PropertyListBuilder::Colour(std::string_view name, Color value) {
    Name(name);
    bytes_.push_back(char(value.red));
    bytes_.push_back(char(value.green));
    bytes_.push_back(char(value.blue));
    return *this;
}

PropertyListBuilder& PropertyListBuilder::Text(std::string_view name, std::string_view value) {
    Name(name);
    Word(std::uint32_t(value.size()));
    bytes_.append(value);
    return *this;
}

}  // namespace fw
