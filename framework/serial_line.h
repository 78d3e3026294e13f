// The I/O behind a Serial control: one terminal device opened for writing, held for ourselves
// alone, and the bytes it could not take yet.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "framework/serial_line_settings.h"
#include "framework/serial_termios.h"

class QSocketNotifier;

namespace fw {

// Plain POSIX I/O on a non-blocking descriptor rather than QSerialPort, for three reasons:
// - QSerialPort::close() throws away what its buffer still holds and puts the previous line
//   settings back at once, which on a real UART changes the rate under the bytes still being
//   sent; frames written just before a close must still reach the box intact;
// - a failed QSerialPort::open() tells "Unknown error" instead of the system's reason, and
//   the reason is what the user needs (a missing dialout membership, a busy device);
// - write(2) puts a frame in the kernel at once, without depending on the event loop.
// The machine's list still comes from QSerialPortInfo.
class SerialLine {
public:
    // Told the device path and the reason when an open line is lost: it hung up (unplugged, the
    // other end of a virtual port gone) or a write failed. The line is closed by then.
    using LostHandler =
        std::function<void(const std::string& devicePath, const std::string& reason)>;

    explicit SerialLine(LostHandler lost);
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;
    ~SerialLine();

    // Must be closed. On failure stays closed, leaves the device as it was, and gives the
    // system's reason.
    bool Open(const std::string& devicePath, const LineSettings& settings, std::string& reason);
    bool IsOpen() const { return fd_ >= 0; }
    // Queued behind anything still pending, then written as far as the device takes it now; the
    // event loop writes the rest as the line drains. A device that fails loses the line.
    void Write(std::string_view bytes);
    // Waits up to drainLimit for pending bytes to go out, discards whatever is left, puts the
    // terminal's settings back as they were before the open, closes.
    void Close(std::chrono::milliseconds drainLimit);

private:
    // How much the device took without blocking; nothing once it has failed, with errno set.
    std::optional<std::size_t> WriteNow(std::string_view bytes);
    void SendPending();
    void WatchForRoom(bool watch);
    // The event loop's word that the line hung up, or that the box sent something.
    void CheckLine();
    bool HungUp() const;
    bool WaitForTransmitter(std::chrono::steady_clock::time_point deadline);
    // Closes without draining and tells the handler. The handler may open the line again, so
    // nothing may touch the line after this call.
    void Lose(const std::string& reason);
    // Closes without draining.
    void Drop();

    LostHandler lost_;
    int fd_ = -1;
    std::string devicePath_;
    SavedTerminal saved_;
    std::string pending_;
    // Made at the first open and kept, pointed at each new descriptor: a handler that reopens
    // the line may run inside their own signals, so they are never deleted under it.
    std::unique_ptr<QSocketNotifier> roomNotifier_;
    std::unique_ptr<QSocketNotifier> hangUpNotifier_;
};

}  // namespace fw
