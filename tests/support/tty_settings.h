// The line settings in force on a terminal, as the kernel holds them.
#pragma once

#include <array>
#include <cstdint>

namespace zq8test {

struct TtySettings {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    // In bits per second, also for rates without a B constant.
    std::uint32_t outputBaud = 0;
    std::uint32_t inputBaud = 0;
    std::uint8_t lineDiscipline = 0;
    std::array<std::uint8_t, 19> controlChars{};

    friend bool operator==(const TtySettings&, const TtySettings&) = default;
};

// Throws std::runtime_error when fd is not a terminal.
TtySettings ReadTtySettings(int fd);
// Puts the settings in force; throws std::runtime_error when they cannot be.
void WriteTtySettings(int fd, const TtySettings& settings);

// Whether the terminal refuses further opens (TIOCEXCL); throws when fd is not a terminal.
bool IsExclusive(int fd);

}  // namespace zq8test
