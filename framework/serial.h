// Serial ports: the machine's list of ports, and the Serial control that writes to one of them.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/control.h"
#include "framework/object.h"

namespace fw {

class SerialLine;

// One entry of the machine's list of serial ports.
class SerialPort : public Object {
public:
    // A port with an empty device path stands for an index that is not on the list: it never opens.
    SerialPort(String name, String devicePath);
    ~SerialPort() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // "ttyUSB0" for a port the system lists, the device path for one given in ZQ8_SERIAL_PORTS.
    const String& Name() const { return name_; }
    // The device node the port stands for (framework use only).
    const String& DevicePath() const { return devicePath_; }

private:
    String name_;
    String devicePath_;
};

namespace System {

// The machine's list: the ports the system lists, in order of their names, then each device path
// of ZQ8_SERIAL_PORTS (colon-separated; empty entries, and entries holding a line break, skipped)
// in the order given. Adapters come and go: the count takes the list afresh, and the ports by
// index are those of the list the last count took, so that an index handed out from a listing
// (a row of the port dialog, a port found by name) keeps meaning the port it meant then.
std::int32_t SerialPortCount();
// The port at that index of the list the last count took (of the list now, before any count). An
// index off the list gives a port that does not open, so that a wrong index ends in a failed
// Open rather than a crash.
std::shared_ptr<fw::SerialPort> SerialPort(std::int32_t index);

}  // namespace System

// A connection to one serial port, held for this program alone, and write-only as far as the
// program is concerned: what the device sends is discarded unread.
//
// Line settings are codes, taken when the port opens:
//   Baud    0..15: 300, 600, 1200, 1800, 2400, 3600, 4800, 7200, 9600, 14400, 19200, 28800,
//                  38400, 57600, 115200, 230400
//   Bits    0..3: 5..8 data bits
//   Parity  0 none, 1 odd, 2 even
//   Stop    0 one, 1 one and a half, 2 two stop bits
//   XON     XON/XOFF flow control;  CTS  RTS/CTS flow control;  DTR  DTR raised while open
// A code out of its range is kept as set but opens the line with that setting's default (9600
// baud, 8 data bits, no parity, one stop bit), which is also what a new control starts with.
// One and a half stop bits come out as two, the nearest a Linux terminal offers; a UART sends
// one and a half when asked for two at 5 data bits.
//
// Events: "Error", raised when the line of an open connection is lost (it hung up: unplugged,
// the other end of a virtual port gone; or a write failed). The connection is closed by then
// and one stderr line has named the port and the reason; a later Open tries the port afresh.
// A loss found while closing is only told on stderr: the owner is ending the connection anyway.
class Serial : public Control {
public:
    Serial();
    ~Serial() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    std::int32_t Baud() const { return baud_; }
    void SetBaud(std::int32_t code) { baud_ = code; }
    std::int32_t Bits() const { return bits_; }
    void SetBits(std::int32_t code) { bits_ = code; }
    std::int32_t Parity() const { return parity_; }
    void SetParity(std::int32_t code) { parity_ = code; }
    std::int32_t Stop() const { return stop_; }
    void SetStop(std::int32_t code) { stop_ = code; }
    bool XON() const { return xon_; }
    void SetXON(bool on) { xon_ = on; }
    bool CTS() const { return cts_; }
    void SetCTS(bool on) { cts_ = on; }
    bool DTR() const { return dtr_; }
    void SetDTR(bool on) { dtr_ = on; }

    // The port the next Open uses; a connection already open stays on its port until closed.
    void SetSerialPort(std::shared_ptr<fw::SerialPort> port) { port_ = std::move(port); }
    std::shared_ptr<fw::SerialPort> SerialPort() const { return port_; }

    // Opens the port held, closing any connection first. True when it opened; otherwise one line
    // on stderr names the port and the system's reason ("in use by another program" for a port
    // another program holds, which is then left as it was), or says that the port is no longer
    // on the machine's list ("zq8: the port ttyUSB1 is not there").
    bool Open();
    // Lets the frames still pending go out, for about a second at most, puts back the terminal
    // settings the port had before it opened, then closes. Frames that could not go are dropped
    // and counted in one stderr line; no frame is cut short on the line. Harmless when nothing
    // is open.
    void Close();
    // Sends the bytes, one frame, after those written before, without waiting for the line. A
    // frame the line has not begun to take within about a second (a virtual port whose other
    // side stopped reading) is dropped rather than sent late, with one stderr line for each
    // stall; a frame begun goes out whole. With no port open, or once the line is lost, the
    // bytes are dropped.
    void Write(const String& bytes);
    // True from a successful Open until Close, or until the line was lost.
    bool IsOpen() const;

private:
    std::shared_ptr<fw::SerialPort> port_;
    std::int32_t baud_ = 8;
    std::int32_t bits_ = 3;
    std::int32_t parity_ = 0;
    std::int32_t stop_ = 0;
    bool xon_ = false;
    bool cts_ = false;
    bool dtr_ = false;
    // Set while Close runs, when a loss raises no event.
    bool closing_ = false;
    std::unique_ptr<SerialLine> line_;
};

}  // namespace fw
