// Text and number services: one-byte strings, character codes, decimal and hexadecimal text,
// byte blocks and the Variant that boxes a text or an integer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "framework/object.h"

namespace fw {

// One byte: its argument modulo 256.
String ChrB(int value);
// The code of the first character of a text (the first byte; a UTF-8 sequence gives its code
// point); 0 for the empty text.
std::int32_t Asc(const String& text);
// The number of characters (UTF-8 code points; a stray byte counts as one).
std::int32_t Len(const String& text);
// Upper-case hexadecimal digits without leading zeros: Hex(10) is "A", Hex(0) is "0".
String Hex(std::uint32_t value);
// The decimal text of an integer.
String Str(std::int64_t value);
// Blanks skipped, an optional sign, decimal digits up to the first other character; 0 without any.
double Val(const String& text);
// A real to a 32-bit integer: truncated toward zero, saturated at the 32-bit limits, NaN gives 0.
std::int32_t ToInt32(double value);

// Text equality: byte for byte, case matters.
inline bool StringEquals(const String& a, const String& b) {
    return a == b;
}

// A block of bytes copied from a string.
class MemoryBlock {
public:
    explicit MemoryBlock(const String& bytes) : bytes_(bytes.begin(), bytes.end()) {}
    std::size_t Size() const { return bytes_.size(); }
    std::uint8_t Byte(std::size_t offset) const { return bytes_.at(offset); }

private:
    std::vector<std::uint8_t> bytes_;
};

// A boxed text or 32-bit integer.
class Variant {
public:
    Variant() = default;
    String ToString() const;  // a text unchanged, an integer as its decimal text

    friend Variant StringToVariant(const String& text);
    friend Variant Int32ToVariant(std::int32_t value);

private:
    std::variant<String, std::int32_t> value_;
};

Variant StringToVariant(const String& text);
Variant Int32ToVariant(std::int32_t value);

}  // namespace fw
