// A pseudo-terminal pair standing in for the controller box: the program opens the slave side
// as its serial port, the test reads what arrived from the master side.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace zq8test {

class PseudoTerminal {
public:
    PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // The device path the program opens, "/dev/pts/N".
    const std::string& SlavePath() const { return slavePath_; }
    // The test's own descriptor on the slave side, held for the pair's whole life like a device
    // node that stays put; the line settings in force can be read through it.
    int SlaveFd() const { return slave_; }

    // Reads from the master side until n bytes have arrived or the timeout has passed, and gives
    // what arrived.
    std::string ReadExactly(std::size_t n, std::chrono::milliseconds timeout);
    // The number of bytes waiting on the master side.
    std::size_t Available() const;
    // Sends bytes the other way, as a box that talks back would; returns once they can be read
    // on the slave side.
    void WriteFromBox(const std::string& bytes);
    // The number of bytes from the box not yet taken on the slave side.
    std::size_t WaitingForTheProgram() const;

    // Hangs the line up, as when an adapter is unplugged: writes on the slave side then fail.
    void CloseMaster();
    // Drops both sides and makes a new pair; SlavePath may change.
    void Reopen();

private:
    void OpenPair();
    void ClosePair();

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Lists the given device paths in ZQ8_SERIAL_PORTS, colon-separated, until destroyed; the
// variable is unset again afterwards. Empty paths give empty entries ({"", "a"} is ":a").
class ListedSerialPorts {
public:
    explicit ListedSerialPorts(const std::vector<std::string>& paths);
    ListedSerialPorts(const ListedSerialPorts&) = delete;
    ListedSerialPorts& operator=(const ListedSerialPorts&) = delete;
    ~ListedSerialPorts();
};

}  // namespace zq8test
