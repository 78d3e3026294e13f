// The line settings a serial port opens with, decoded from the Serial control's codes.
#pragma once

#include <cstdint>

namespace fw {

enum class ParityBit { None, Odd, Even };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    std::int32_t baudRate = 9600;
    std::int32_t dataBits = 8;
    ParityBit parity = ParityBit::None;
    StopBits stopBits = StopBits::One;
    bool xonXoff = false;
    bool rtsCts = false;
    bool dtr = false;
};

struct LineCodes {
    std::int32_t baud = 0;
    std::int32_t bits = 0;
    std::int32_t parity = 0;
    std::int32_t stop = 0;
    bool xon = false;
    bool cts = false;
    bool dtr = false;
};

// Each code out of its range gives that setting's default.
LineSettings DecodeLineSettings(const LineCodes& codes);

}  // namespace fw
