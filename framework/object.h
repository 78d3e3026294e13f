// The object model the system's classes sit on: class records with registered names, parents and
// property tables, and the base of every window, control and menu item.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fw {

// Texts are byte strings: what is read is kept byte for byte, and no encoding is ever applied.
using String = std::string;

// A 24-bit colour, red first.
struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Color&, const Color&) = default;
    // 0xRRGGBB
    std::uint32_t Value() const {
        return (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue;
    }
    static Color FromValue(std::uint32_t rrggbb) {
        return {std::uint8_t(rrggbb >> 16), std::uint8_t(rrggbb >> 8), std::uint8_t(rrggbb)};
    }
};

inline Color RGB(int red, int green, int blue) {
    return {std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue)};
}

// The four value types a design-time property list can carry, with their type codes.
enum class PropertyType { Boolean, Integer, Color, Text };  // "b", "i4", "c", "s"
std::string_view TypeCode(PropertyType type);

using PropertyValue = std::variant<bool, std::int32_t, Color, String>;

class Object;

struct PropertyDecl {
    std::string_view name;
    PropertyType type;
    std::function<void(Object&, const PropertyValue&)> set;
};

template <class T>
constexpr PropertyType PropertyTypeOf() {
    if constexpr (std::is_same_v<T, bool>) {
        return PropertyType::Boolean;
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
        return PropertyType::Integer;
    } else if constexpr (std::is_same_v<T, Color>) {
        return PropertyType::Color;
    } else {
        static_assert(std::is_same_v<T, String>, "lists carry Boolean, Integer, Color or Text");
        return PropertyType::Text;
    }
}

// A property reached through a setter of class C: the type comes from the setter's parameter.
template <class C, class T>
PropertyDecl Property(std::string_view name, void (C::*setter)(T)) {
    using V = std::remove_cvref_t<T>;
    return {name, PropertyTypeOf<V>(), [setter](Object& object, const PropertyValue& value) {
                (static_cast<C&>(object).*setter)(std::get<V>(value));
            }};
}

// A property that is a plain field of class C.
template <class C, class V>
PropertyDecl Property(std::string_view name, V C::*field) {
    return {name, PropertyTypeOf<V>(), [field](Object& object, const PropertyValue& value) {
                static_cast<C&>(object).*field = std::get<V>(value);
            }};
}

// The record of one class: its registered name, its parent and the properties it declares.
struct ClassInfo {
    std::string_view name;
    const ClassInfo* parent = nullptr;
    std::vector<PropertyDecl> properties;

    // The property of that name, ignoring letter case, declared by this class or a base.
    const PropertyDecl* FindProperty(std::string_view propertyName) const;
    bool IsA(const ClassInfo& other) const;
};

class Object : public std::enable_shared_from_this<Object> {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    static const ClassInfo& Class();
    virtual const ClassInfo& GetClassInfo() const { return Class(); }
};

// The class records, by registered name.
void RegisterClass(const ClassInfo& info);
const ClassInfo* FindClass(std::string_view name);

}  // namespace fw
