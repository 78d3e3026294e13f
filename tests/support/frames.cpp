#include "tests/support/frames.h"

#include <cstdio>
#include <sstream>

namespace zq8test {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes += char(value);
    }
    return bytes;
}

std::string Bytes(const std::string& hex) {
    std::string bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair) {
        bytes.push_back(static_cast<char>(std::stoi(pair, nullptr, 16)));
    }
    return bytes;
}

std::string HexBytes(const std::string& bytes) {
    std::string text = HexRow(bytes);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

std::string HexRow(const std::string& bytes) {
    std::string row;
    for (unsigned char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        row += digits;
    }
    return row;
}

}  // namespace zq8test
