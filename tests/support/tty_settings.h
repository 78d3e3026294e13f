// The line settings in force on a terminal, as the kernel holds them.
#pragma once

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
};

// Throws std::runtime_error when fd is not a terminal.
TtySettings ReadTtySettings(int fd);

}  // namespace zq8test
