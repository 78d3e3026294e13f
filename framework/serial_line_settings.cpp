#include "framework/serial_line_settings.h"

#include <array>

namespace fw {

namespace {

constexpr std::array<std::int32_t, 16> kBaudRates{300,   600,   1200,   1800,  2400,  3600,
                                                  4800,  7200,  9600,   14400, 19200, 28800,
                                                  38400, 57600, 115200, 230400};

template <class T, std::size_t N>
T Pick(const std::array<T, N>& table, std::int32_t code, T fallback) {
    return code >= 0 && std::size_t(code) < N ? table[std::size_t(code)] : fallback;
}

}  // namespace

LineSettings DecodeLineSettings(const LineCodes& codes) {
    const LineSettings defaults;
    LineSettings settings;
    settings.baudRate = Pick(kBaudRates, codes.baud, defaults.baudRate);
    settings.dataBits =
        Pick(std::array<std::int32_t, 4>{5, 6, 7, 8}, codes.bits, defaults.dataBits);
    settings.parity = Pick(std::array{ParityBit::None, ParityBit::Odd, ParityBit::Even},
                           codes.parity, defaults.parity);
    settings.stopBits = Pick(std::array{StopBits::One, StopBits::OneAndHalf, StopBits::Two},
                             codes.stop, defaults.stopBits);
    settings.xonXoff = codes.xon;
    settings.rtsCts = codes.cts;
    settings.dtr = codes.dtr;
    return settings;
}

}  // namespace fw
