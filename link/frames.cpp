// The two frames the controller box understands: a key code, and a write to one of its EEPROM
// cells. Each goes out whole, in one write, and is then logged; the box never answers.
#include <cstdint>

#include "framework/serial.h"
#include "framework/text.h"
#include "link/named_controls.h"
#include "panel/zq8.h"

namespace {

// The sums are done in int and cut to a byte at each step: the box adds its bytes modulo 256,
// and an 8-bit signed sum would overflow for half the key codes.
std::uint8_t Wrapped(int sum) {
    return static_cast<std::uint8_t>(sum);
}

}  // namespace

void zq8::cmdout(std::int8_t cmd) {
    // 188 is what the leading byte 0x02 and the command byte 0xBA add to the checksum.
    const std::uint8_t checksum = Wrapped(cmd + 188);
    const fw::String frame =
        fw::ChrB(0x02) + fw::ChrB(0xBA) + fw::ChrB(cmd) + fw::ChrB(0x00) + fw::ChrB(checksum);
    // Written whether or not a port is open: with none the framework drops the bytes, and the
    // frame is still logged.
    zq8link::SerialcOn(*this).Write(frame);
    display(frame);
}

void zq8::write2eeprom(std::int8_t a, std::int8_t b, std::int8_t c) {
    // 180 is what the leading byte 0x03 and the command byte 0xB1 add to the checksum.
    const std::uint8_t checksum = Wrapped(Wrapped(Wrapped(a + c) + b) + 180);
    const fw::String frame = fw::ChrB(0x03) + fw::ChrB(0xB1) + fw::ChrB(a) + fw::ChrB(b) +
                             fw::ChrB(c) + fw::ChrB(checksum);
    zq8link::SerialcOn(*this).Write(frame);
    display(frame);
}
