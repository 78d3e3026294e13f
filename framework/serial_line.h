// The I/O behind a Serial control: one terminal device opened for writing, and the bytes it
// could not take yet.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "framework/serial_line_settings.h"

class QSocketNotifier;

namespace fw {

// Plain POSIX I/O on a non-blocking descriptor rather than QSerialPort, for three reasons:
// - QSerialPort::close() throws away what its buffer still holds and puts the previous line
//   settings back at once, which on a real UART changes the rate under the bytes still being
//   sent; frames written just before a close must still reach the box intact;
// - a failed QSerialPort::open() tells "Unknown error" instead of the system's reason, and
//   the reason is what the user needs (a missing dialout membership, a busy device);
// - write(2) puts a frame in the kernel at once, without depending on the event loop.
class SerialLine {
public:
    SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;
    ~SerialLine();

    // Must be closed. On failure stays closed and gives the system's reason.
    bool Open(const std::string& devicePath, const LineSettings& settings, std::string& reason);
    bool IsOpen() const { return fd_ >= 0; }
    // Queued behind anything still pending, then written as far as the device takes it now; the
    // event loop writes the rest as the line drains. A device that fails drops the connection.
    void Write(std::string_view bytes);
    // Waits up to drainLimit for pending bytes to go out, discards whatever is left, closes.
    void Close(std::chrono::milliseconds drainLimit);

private:
    // How much the device took without blocking; nothing once it has failed.
    std::optional<std::size_t> WriteNow(std::string_view bytes);
    void SendPending();
    void WatchForRoom(bool watch);
    bool WaitForTransmitter(std::chrono::steady_clock::time_point deadline);
    // Closes without draining.
    void Drop();

    int fd_ = -1;
    std::string pending_;
    std::unique_ptr<QSocketNotifier> roomNotifier_;
};

}  // namespace fw
