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

std::vector<std::string> NumberedFrames(std::size_t count) {
    std::vector<std::string> frames;
    for (std::size_t i = 0; i < count; ++i) {
        const int low = int(i & 0xFF);
        const int high = int((i >> 8) & 0xFF);
        frames.push_back(Bytes({0x02, 0xBA, low, high, (0x02 + 0xBA + low + high) & 0xFF}));
    }
    return frames;
}

std::string Joined(const std::vector<std::string>& frames) {
    std::string all;
    for (const std::string& frame : frames) {
        all += frame;
    }
    return all;
}

}  // namespace zq8test
