// Putting line settings in force on an open terminal device.
#pragma once

#include <cstdint>

#include "framework/serial_line_settings.h"

namespace fw {

// The parts of a terminal's settings that the line settings decide, as plain numbers with the
// kernel's flag values.
struct TerminalFlags {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint32_t inputSpeed = 0;
    std::uint32_t outputSpeed = 0;
};

// The flags for raw bytes both ways and the given settings, starting from those the terminal
// had; flags the settings do not decide are kept.
TerminalFlags EncodeLineSettings(const TerminalFlags& current, const LineSettings& settings);

// Puts the settings in force and raises or lowers DTR. Gives 0, or the errno of the step that
// failed; a device without modem lines (a pseudo-terminal) keeps its settings and only skips DTR.
int ApplyLineSettings(int fd, const LineSettings& settings);

}  // namespace fw
