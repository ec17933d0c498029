#pragma once
// One serial port on termios2: 8N1, raw, any baud rate (BOTHER), exclusive,
// poll-based time-outs. Works the same for real ports and pseudo-terminals.

#include <cstddef>
#include <cstdint>
#include <string>

namespace radar {

enum class SerialOpenError {
    None = 0,
    NotFound,   // no such device
    Permission, // EACCES/EPERM: typically not in the dialout group
    Busy,       // another program holds the port
    NotSerial,  // exists but is not a terminal
    BadBaud,    // rate not positive or refused by the driver
    Other,
};

class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort() { Close(); }
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens and configures `path`. On failure `reason` holds the OS reason in
    // words (e.g. "Permission denied"), and nothing stays open.
    SerialOpenError Open(const std::string& path, int baudRate, std::string& reason);
    void Close();
    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
    // True once the device went away (hang-up, I/O error); the port stays
    // "open" until Close so that the owner decides when to release it.
    [[nodiscard]] bool Vanished() const { return vanished_; }

    // Waits up to timeoutMs for bytes. Returns the count read (> 0), 0 on
    // time-out, -1 when the device is gone or unusable.
    int Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs);
    // Writes everything or fails (false) within timeoutMs.
    bool Write(const std::uint8_t* data, std::size_t size, int timeoutMs);
    // Discards received, unread bytes.
    void FlushInput();

private:
    int fd_ = -1;
    bool vanished_ = false;
};

// Maps an errno of open() to the error class.
[[nodiscard]] SerialOpenError ClassifyOpenErrno(int error);

} // namespace radar
