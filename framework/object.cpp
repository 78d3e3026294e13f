#include "framework/object.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace fw {

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::map<std::string, const ClassInfo*, std::less<>>& Registry() {
    static std::map<std::string, const ClassInfo*, std::less<>> registry;
    return registry;
}

}  // namespace

std::string_view TypeCode(PropertyType type) {
    switch (type) {
        case PropertyType::Boolean:
            return "b";
        case PropertyType::Integer:
            return "i4";
        case PropertyType::Color:
            return "c";
        case PropertyType::Text:
            return "s";
    }
    return "?";
}

const PropertyDecl* ClassInfo::FindProperty(std::string_view propertyName) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->parent) {
        for (const PropertyDecl& property : info->properties) {
            if (EqualIgnoringCase(property.name, propertyName)) {
                return &property;
            }
        }
    }
    return nullptr;
}

bool ClassInfo::IsA(const ClassInfo& other) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->parent) {
        if (info == &other) {
            return true;
        }
    }
    return false;
}

Object::~Object() = default;

const ClassInfo& Object::Class() {
    static const ClassInfo info{"Object", nullptr, {}};
    return info;
}

void RegisterClass(const ClassInfo& info) {
    Registry()[std::string(info.name)] = &info;
}

const ClassInfo* FindClass(std::string_view name) {
    auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

}  // namespace fw
