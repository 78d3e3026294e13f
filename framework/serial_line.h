// The I/O behind a Serial control: one terminal device opened for writing, held for ourselves
// alone, and the bytes it could not take yet.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/pending_frames.h"
#include "framework/serial_line_settings.h"
#include "framework/serial_termios.h"

class QSocketNotifier;
class QTimer;

namespace fw {

// How long a frame may wait for a line that takes nothing (a pseudo-terminal whose reader stopped,
// a socat bridge to a slow peer) before it is dropped. A line running at its rate takes a frame in
// milliseconds; a press that reaches the box later than this would surprise its user.
inline constexpr std::chrono::milliseconds kFrameStartLimit{1000};

// Plain POSIX I/O on a non-blocking descriptor rather than QSerialPort, for three reasons:
// - QSerialPort::close() throws away what its buffer still holds and puts the previous line
//   settings back at once, which on a real UART changes the rate under the bytes still being
//   sent; frames written just before a close must still reach the box intact;
// - a failed QSerialPort::open() tells "Unknown error" instead of the system's reason, and
//   the reason is what the user needs (a missing dialout membership, a busy device);
// - write(2) puts a frame in the kernel at once, without depending on the event loop.
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
    // system's reason: "in use by another program" for a port another program holds, by a lock
    // or by the terminal's exclusive flag alone (which root would pass).
    bool Open(const std::string& devicePath, const LineSettings& settings, std::string& reason);
    bool IsOpen() const { return fd_ >= 0; }
    // One frame, queued behind those still pending; the device is handed whole frames only, each
    // as soon as it has room. A frame the device has not begun to take within the start limit is
    // dropped, with one stderr line for each stall. A device that fails loses the line.
    void Write(std::string_view frame);
    // Lets the pending frames go out while each is within its start limit, for drainLimit at
    // most; drops the rest, counted in one stderr line; puts the terminal's settings back as
    // they were before the open, closes. No frame is cut: each the device took goes out whole.
    void Close(std::chrono::milliseconds drainLimit);
    // Frames written and not yet taken whole by the device.
    std::size_t FramesWaiting() const { return frames_.Count(); }

private:
    // Drops the frames that waited too long, hands the device what it has room for, and watches
    // for room and for the next frame's time.
    void SendPending();
    // Hands the device frame after frame while it has room for one whole. False once the line
    // is lost.
    bool SendWhatFits();
    void WatchForRoom(bool watch);
    void WatchForNextDeadline();
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
    PendingFrames frames_{kFrameStartLimit};
    // Set from the first frame dropped for a line that takes nothing until it takes a byte again:
    // one line on stderr tells each stall.
    bool stalled_ = false;
    // Made at the first open and kept, pointed at each new descriptor: a handler that reopens
    // the line may run inside their own signals, so they are never deleted under it.
    std::unique_ptr<QSocketNotifier> roomNotifier_;
    std::unique_ptr<QSocketNotifier> hangUpNotifier_;
    std::unique_ptr<QTimer> deadlineTimer_;
};

}  // namespace fw
