#include "device/radar/SerialPort.h"

// termios2 lives in the kernel headers; <termios.h> must stay out of this file
// because both define struct termios.
#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace radar {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool Configure(int fd, int baudRate, std::string& reason) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    tio.c_iflag = IGNBRK;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | CS8 | CREAD | CLOCAL;
    tio.c_ispeed = static_cast<speed_t>(baudRate);
    tio.c_ospeed = static_cast<speed_t>(baudRate);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (ioctl(fd, TCSETS2, &tio) != 0) {
        reason = std::string("the driver refuses the port settings: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

SerialOpenError ClassifyOpenErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return SerialOpenError::NotFound;
    case EACCES:
    case EPERM:
        return SerialOpenError::Permission;
    case EBUSY:
    case EWOULDBLOCK:
        return SerialOpenError::Busy;
    case ENOTTY:
        return SerialOpenError::NotSerial;
    default:
        return SerialOpenError::Other;
    }
}

SerialOpenError CSerialPort::Open(const std::string& path, int baudRate, std::string& reason) {
    Close();
    if (baudRate <= 0) {
        reason = "baud rate " + std::to_string(baudRate) + " is not valid";
        return SerialOpenError::BadBaud;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        reason = std::strerror(error);
        return ClassifyOpenErrno(error);
    }
    auto fail = [&](SerialOpenError code) {
        ::close(fd);
        return code;
    };
    if (!isatty(fd)) {
        reason = "not a serial device";
        return fail(SerialOpenError::NotSerial);
    }
    // The advisory lock also keeps out a second opener running as root, whom
    // TIOCEXCL does not stop.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason = "the port is in use by another program";
        return fail(SerialOpenError::Busy);
    }
    (void)ioctl(fd, TIOCEXCL);
    if (!Configure(fd, baudRate, reason)) {
        (void)ioctl(fd, TIOCNXCL);
        return fail(SerialOpenError::BadBaud);
    }
    // Raise DTR and RTS for adapters that power the module from them; a
    // pseudo-terminal refuses these ioctls (ENOTTY), which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)ioctl(fd, TIOCMBIS, &lines);
    (void)ioctl(fd, TCFLSH, TCIOFLUSH);
    fd_ = fd;
    vanished_ = false;
    reason.clear();
    return SerialOpenError::None;
}

void CSerialPort::Close() {
    if (fd_ < 0)
        return;
    // TIOCEXCL outlives this descriptor when someone else keeps the device
    // open (a simulator holding its own end); clear it for the next opener.
    (void)ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    vanished_ = false;
}

int CSerialPort::Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    if (fd_ < 0 || vanished_)
        return -1;
    if (capacity == 0)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, RemainingMs(deadline));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            vanished_ = true;
            return -1;
        }
        if (ready == 0)
            return 0;
        if ((pfd.revents & POLLIN) == 0) {
            // Hang-up or error without data: the device is gone.
            vanished_ = true;
            return -1;
        }
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n > 0)
            return static_cast<int>(n);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (RemainingMs(deadline) == 0)
                return 0;
            continue;
        }
        // Readable yet 0 bytes (end of file) or an I/O error: unplugged.
        vanished_ = true;
        return -1;
    }
}

bool CSerialPort::Write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
    if (fd_ < 0 || vanished_)
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            vanished_ = errno == EIO || errno == ENXIO || errno == ENODEV;
            return false;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, RemainingMs(deadline));
        if (ready == 0)
            return false;
        if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            vanished_ = true;
            return false;
        }
    }
    return true;
}

void CSerialPort::FlushInput() {
    if (fd_ >= 0)
        (void)ioctl(fd_, TCFLSH, TCIFLUSH);
}

} // namespace radar
