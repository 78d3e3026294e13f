#include "framework/property_list_reader.h"

#include <cstdint>

namespace fw {

namespace {

class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Position() const { return position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }
    bool Has(std::size_t count) const { return bytes_.size() - position_ >= count; }

    std::uint8_t Byte() { return std::uint8_t(bytes_[position_++]); }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = (value << 8) | Byte();
        }
        return value;
    }
    std::string_view Take(std::size_t count) {
        std::string_view taken = bytes_.substr(position_, count);
        position_ += count;
        return taken;
    }
    // The bytes up to the next blank, or nothing when no blank follows.
    std::optional<std::string_view> TakeUntilBlank() {
        std::size_t blank = bytes_.find(' ', position_);
        if (blank == std::string_view::npos) {
            return std::nullopt;
        }
        return Take(blank - position_);
    }
    std::string_view Rest() const { return bytes_.substr(position_); }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

std::optional<PropertyValue> ReadValue(Cursor& cursor, PropertyType type) {
    switch (type) {
        case PropertyType::Boolean:
            if (!cursor.Has(1)) {
                return std::nullopt;
            }
            return PropertyValue(cursor.Byte() != 0);
        case PropertyType::Integer:
            if (!cursor.Has(4)) {
                return std::nullopt;
            }
            return PropertyValue(std::int32_t(cursor.Word()));
        case PropertyType::Color: {
            if (!cursor.Has(3)) {
                return std::nullopt;
            }
            Color colour;
            colour.red = cursor.Byte();
            colour.green = cursor.Byte();
            colour.blue = cursor.Byte();
            return PropertyValue(colour);
        }
        case PropertyType::Text: {
            if (!cursor.Has(4)) {
                return std::nullopt;
            }
            // The length is checked against what is left before anything is allocated, so a
            // corrupt length cannot ask for gigabytes.
            std::uint32_t length = cursor.Word();
            if (!cursor.Has(length)) {
                return std::nullopt;
            }
            return PropertyValue(String(cursor.Take(length)));
        }
    }
    return std::nullopt;
}

std::string Printable(std::string_view bytes) {
    constexpr std::size_t kShown = 64;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (char c : bytes.substr(0, kShown)) {
        auto byte = std::uint8_t(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
            text.push_back(c);
        } else {
            text += "\\x";
            text.push_back(kDigits[byte >> 4]);
            text.push_back(kDigits[byte & 0xF]);
        }
    }
    if (bytes.size() > kShown) {
        text += "...";
    }
    return text;
}

}  // namespace

std::optional<PropertyListError> ReadPropertyList(std::string_view list,
                                                  const PropertyTypeLookup& findType,
                                                  const PropertyEntryHandler& onEntry) {
    Cursor cursor(list);
    while (!cursor.AtEnd()) {
        const std::size_t offset = cursor.Position();
        std::optional<std::string_view> name = cursor.TakeUntilBlank();
        if (!name) {
            return PropertyListError{PropertyListFault::MissingBlank, cursor.Rest(), offset};
        }
        cursor.Take(1);
        std::optional<PropertyType> type = findType(*name);
        if (!type) {
            return PropertyListError{PropertyListFault::UnknownName, *name, offset};
        }
        std::optional<PropertyValue> value = ReadValue(cursor, *type);
        if (!value) {
            return PropertyListError{PropertyListFault::ShortValue, *name, offset};
        }
        onEntry(PropertyListEntry{*name, std::move(*value), offset});
    }
    return std::nullopt;
}

std::string DescribePropertyListError(const PropertyListError& error) {
    const std::string at = " at byte " + std::to_string(error.offset);
    const std::string name = "\"" + Printable(error.name) + "\"";
    switch (error.fault) {
        case PropertyListFault::MissingBlank:
            return "the entry" + at + " has no blank after its name " + name;
        case PropertyListFault::UnknownName:
            return "the entry " + name + at + " names no property of the class";
        case PropertyListFault::ShortValue:
            return "the value of the entry " + name + at + " is cut short by the end of the list";
    }
    return "the entry " + name + at + " cannot be read";
}

}  // namespace fw
