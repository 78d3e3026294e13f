// The command frame a key code should put on the line, built independently of the code under
// test.
#pragma once

#include <string>

namespace zq8test {

inline std::string CommandFrame(int code) {
    const int byte = code & 0xFF;
    return {char(0x02), char(0xBA), char(byte), char(0x00), char((0x02 + 0xBA + byte) & 0xFF)};
}

}  // namespace zq8test
