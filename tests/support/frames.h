// Frames and byte texts as the tests write them, built independently of the code under test:
// the command frame of a key code, bytes from their values or from hexadecimal text, and bytes
// written back as readable hexadecimal or as the command log's row.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace zq8test {

inline std::string CommandFrame(int code) {
    const int byte = code & 0xFF;
    return {char(0x02), char(0xBA), char(byte), char(0x00), char((0x02 + 0xBA + byte) & 0xFF)};
}

// The bytes of these values, each taken modulo 256.
std::string Bytes(std::initializer_list<int> values);
// The bytes of "02 BA 0C 00 C8".
std::string Bytes(const std::string& hex);
// Bytes written as "02 BA 0C 00 C8", for readable expectations and failure messages.
std::string HexBytes(const std::string& bytes);
// The command log's row for these bytes: two upper-case digits and a blank per byte.
std::string HexRow(const std::string& bytes);

// Command frames that differ by their position (its two low bytes in place of the key code and
// the zero byte), so that a lost, repeated, misplaced or cut one shows.
std::vector<std::string> NumberedFrames(std::size_t count);
std::string Joined(const std::vector<std::string>& frames);

}  // namespace zq8test
