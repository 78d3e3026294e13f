#include "framework/serial.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "framework/runtime.h"
#include "framework/serial_line.h"
#include "framework/serial_line_settings.h"
#include "framework/serial_port_private.h"

namespace fw {

namespace {

// Long enough for a few hundred frames at 38400 baud, short enough that quitting does not hang
// on a stuck line.
constexpr std::chrono::milliseconds kCloseDrainLimit{1000};

// One line, the only word the program says about a port that failed; the user reads the reason
// here (a missing dialout membership, a busy or vanished device).
void ReportOpenFailure(const String& what, const String& reason) {
    std::fprintf(stderr, "cannot open %s: %s\n", what.c_str(), reason.c_str());
    std::fflush(stderr);
}

// One line when a connection goes: frames written from now on reach nothing until the port is
// chosen again.
void ReportLoss(const String& devicePath, const String& reason) {
    std::fprintf(stderr, "zq8: lost %s: %s\n", devicePath.c_str(), reason.c_str());
    std::fflush(stderr);
}

}  // namespace

Serial::Serial()
    : line_(std::make_unique<SerialLine>([this](const String& devicePath, const String& reason) {
          ReportLoss(devicePath, reason);
          if (!closing_) {
              // Also reached from the event loop's watch on the line, where no handler of ours
              // is running to catch what the event's handler throws.
              Dispatch([this] { RaiseEvent("Error"); });
          }
      })) {}

Serial::~Serial() {
    Close();
}

const ClassInfo& Serial::Class() {
    static const ClassInfo info{"Serial",
                                &Control::Class(),
                                {
                                    Property("Baud", &Serial::SetBaud),
                                    Property("Bits", &Serial::SetBits),
                                    Property("Parity", &Serial::SetParity),
                                    Property("Stop", &Serial::SetStop),
                                    Property("XON", &Serial::SetXON),
                                    Property("CTS", &Serial::SetCTS),
                                    Property("DTR", &Serial::SetDTR),
                                }};
    return info;
}

bool Serial::Open() {
    Close();
    if (!port_) {
        ReportOpenFailure("serial port", "none chosen");
        return false;
    }
    if (port_->DevicePath().empty()) {
        ReportOpenFailure("serial port", "not on the machine's list of ports");
        return false;
    }
    // Taken from a list shown a while ago: the adapter may have been unplugged since.
    if (!IsStillListed(*port_)) {
        std::fprintf(stderr, "zq8: the port %s is not there\n", port_->Name().c_str());
        std::fflush(stderr);
        return false;
    }
    const LineSettings settings =
        DecodeLineSettings({baud_, bits_, parity_, stop_, xon_, cts_, dtr_});
    std::string reason;
    if (!line_->Open(port_->DevicePath(), settings, reason)) {
        ReportOpenFailure(port_->DevicePath(), reason);
        return false;
    }
    return true;
}

void Serial::Close() {
    closing_ = true;
    line_->Close(kCloseDrainLimit);
    closing_ = false;
}

void Serial::Write(const String& bytes) {
    line_->Write(bytes);
}

bool Serial::IsOpen() const {
    return line_->IsOpen();
}

}  // namespace fw
