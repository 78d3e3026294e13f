#include "framework/text.h"

#include <cmath>
#include <limits>

namespace fw {

namespace {

struct CodePoint {
    std::uint32_t code;
    std::size_t length;
};

// Texts are raw bytes that may not be UTF-8 at all: a byte that starts no well-formed sequence
// (overlong, surrogate, cut short, past U+10FFFF) stands for itself, so every text still has a
// length and a first code.
CodePoint DecodeAt(const String& text, std::size_t at) {
    // A lead byte's high bits give the sequence's length; the smallest code of each length
    // tells an overlong form.
    struct Form {
        unsigned char mask;
        unsigned char bits;
        std::size_t length;
        std::uint32_t smallest;
    };
    static constexpr Form kForms[] = {
        {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};

    const auto lead = static_cast<unsigned char>(text[at]);
    const CodePoint stray{lead, 1};
    const Form* form = nullptr;
    for (const Form& candidate : kForms) {
        if ((lead & candidate.mask) == candidate.bits) {
            form = &candidate;
        }
    }
    if (form == nullptr) {
        return stray;
    }
    const std::size_t length = form->length;
    std::uint32_t code = lead & static_cast<unsigned char>(~form->mask);
    if (text.size() - at < length) {
        return stray;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return stray;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < form->smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return stray;
    }
    return {code, length};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

String ChrB(int value) {
    return String(1, static_cast<char>(static_cast<unsigned char>(value)));
}

std::int32_t Asc(const String& text) {
    return text.empty() ? 0 : static_cast<std::int32_t>(DecodeAt(text, 0).code);
}

std::int32_t Len(const String& text) {
    std::int32_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += DecodeAt(text, at).length) {
        ++count;
    }
    return count;
}

String Hex(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    String digits;
    do {
        digits.insert(digits.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

String Str(std::int64_t value) {
    return std::to_string(value);
}

double Val(const String& text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // A run of digits too long for a double ends at infinity, which ToInt32 saturates.
    double value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

std::int32_t ToInt32(double value) {
    using Limits = std::numeric_limits<std::int32_t>;
    if (std::isnan(value)) {
        return 0;
    }
    // Out-of-range conversion is undefined in C++, so the limits are taken before the cast.
    if (value >= static_cast<double>(Limits::max())) {
        return Limits::max();
    }
    if (value <= static_cast<double>(Limits::min())) {
        return Limits::min();
    }
    return static_cast<std::int32_t>(value);
}

String Variant::ToString() const {
    if (const auto* number = std::get_if<std::int32_t>(&value_)) {
        return Str(*number);
    }
    return std::get<String>(value_);
}

Variant StringToVariant(const String& text) {
    Variant boxed;
    boxed.value_ = text;
    return boxed;
}

Variant Int32ToVariant(std::int32_t value) {
    Variant boxed;
    boxed.value_ = value;
    return boxed;
}

}  // namespace fw
