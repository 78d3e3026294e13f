// Putting line settings in force on an open terminal device, and taking them back off.
#pragma once

#include <array>
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

// A terminal's whole settings as they were before the port opened, to be put back at its close
// as another program may rely on them.
struct SavedTerminal {
    TerminalFlags flags;
    std::uint8_t lineDiscipline = 0;
    std::array<std::uint8_t, 19> controlChars{};
};

// The modem lines to change when the port opens, as TIOCM_ bits; a line in neither is left as
// the kernel set it.
struct ModemLineChanges {
    std::uint32_t raise = 0;
    std::uint32_t lower = 0;
};

// The flags for raw bytes both ways and the given settings, starting from those the terminal
// had; flags the settings do not decide are kept.
TerminalFlags EncodeLineSettings(const TerminalFlags& current, const LineSettings& settings);

// DTR follows the settings. RTS is the kernel's: it drives it itself under RTS/CTS flow control.
ModemLineChanges ModemLinesAtOpen(const LineSettings& settings);

// Puts the settings in force and changes the modem lines; `previous` receives what was in force
// before. Gives 0, or the errno of the step that failed, with nothing changed. A device without
// modem lines (a pseudo-terminal) keeps its settings and only skips the modem lines.
int ApplyLineSettings(int fd, const LineSettings& settings, SavedTerminal& previous);

// Puts back what ApplyLineSettings saved. Gives 0 or errno.
int RestoreTerminal(int fd, const SavedTerminal& previous);

}  // namespace fw
