#include "sim/SimulatedModulePort.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "device/common/SerialPortEnum.h"

namespace vestrel::sim {

namespace {

char gPrivateDir[PATH_MAX] = {};

void RemovePrivateDirectory() {
    if (gPrivateDir[0] != '\0')
        ::rmdir(gPrivateDir);
}

// One private publication directory per test process (see the header).
void UsePrivateDirectory() {
    static std::once_flag once;
    std::call_once(once, [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vestrel-sim-test-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr)
            return;
        std::strncpy(gPrivateDir, buffer.data(), sizeof(gPrivateDir) - 1);
        SetVirtualPortDirectory(gPrivateDir);
        std::atexit(RemovePrivateDirectory);
    });
}

} // namespace

CSimulatedModulePort::CSimulatedModulePort() : CSimulatedModulePort(Options{}) {}

CSimulatedModulePort::CSimulatedModulePort(Options options)
    : options_(std::move(options)), model_(std::make_unique<CModuleModel>(options_.module)) {
    if (options_.privateDirectory)
        UsePrivateDirectory();
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char slaveName[128] = {};
    if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0 ||
        ::ptsname_r(masterFd_, slaveName, sizeof(slaveName)) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        CloseDevice();
        vanished_ = false;
        return;
    }
    device_ = slaveName;
    // Raw on both ends, or the line discipline would echo and translate bytes.
    termios tio{};
    if (::tcgetattr(masterFd_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(masterFd_, TCSANOW, &tio);
    }
    slaveFd_ = ::open(slaveName, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slaveFd_ >= 0 && ::tcgetattr(slaveFd_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slaveFd_, TCSANOW, &tio);
    }
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    name_ = PublishVirtualPort(device_, options_.description);
    if (name_.empty())
        error_ = "cannot publish the port in " + GetVirtualPortDirectory();
    started_ = true;
    thread_ = std::thread([this] { Run(); });
}

CSimulatedModulePort::~CSimulatedModulePort() {
    stop_ = true;
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(wakeFd_, &one, sizeof(one));
    }
    if (thread_.joinable())
        thread_.join();
    CloseDevice();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

int CSimulatedModulePort::PortNumber() const {
    if (name_.empty() || vanished_)
        return 0;
    SerialPortList ports;
    EnumSerialPortNameW(ports);
    const std::wstring wide(name_.begin(), name_.end());
    for (const auto& port : ports)
        if (port.isVirtual && port.name == wide)
            return port.portNum;
    return 0;
}

void CSimulatedModulePort::VanishAfterBytes(std::size_t bytes) {
    vanishLimit_ = written_ + bytes;
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(wakeFd_, &one, sizeof(one));
    }
}

void CSimulatedModulePort::CloseDevice() {
    UnpublishVirtualPort(name_);
    if (slaveFd_ >= 0)
        ::close(slaveFd_);
    if (masterFd_ >= 0)
        ::close(masterFd_);
    slaveFd_ = masterFd_ = -1;
    vanished_ = true;
}

bool CSimulatedModulePort::WriteOut(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t limit = vanishLimit_;
    const std::uint64_t done = written_;
    const std::size_t allowed =
        done >= limit ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(size, limit - done));
    std::size_t sent = 0;
    while (sent < allowed) {
        const ssize_t n = ::write(masterFd_, data + sent, allowed - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody reads and the buffer is full: like a UART without a
            // listener, the rest is lost.
            break;
        }
    }
    written_ += sent;
    if (allowed < size || written_ >= limit) {
        CloseDevice();
        return false;
    }
    return true;
}

void CSimulatedModulePort::Run() {
    std::vector<ModuleOutput> pending;
    std::vector<std::uint8_t> buffer(4096);
    while (!stop_) {
        if (!vanished_ && written_ >= vanishLimit_)
            CloseDevice();
        if (vanished_) {
            pollfd wake{wakeFd_, POLLIN, 0};
            ::poll(&wake, 1, 200);
            std::uint64_t value = 0;
            (void)!::read(wakeFd_, &value, sizeof(value));
            continue;
        }
        auto now = SimClock::now();
        auto due = model_->NextTickDue(now);
        for (const auto& out : pending)
            due = std::min(due, out.due);
        // Wake at least every 100 ms so changed settings take effect.
        const auto waitMs = std::clamp<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1, 0, 100);
        pollfd fds[2] = {{masterFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(waitMs));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
            std::uint64_t value = 0;
            (void)!::read(wakeFd_, &value, sizeof(value));
        }
        now = SimClock::now();
        if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(masterFd_, buffer.data(), buffer.size());
            if (n > 0)
                model_->Receive(buffer.data(), static_cast<std::size_t>(n), now, pending);
        }
        model_->Tick(now, pending);
        // Everything due leaves in the order it was produced.
        std::vector<ModuleOutput> later;
        for (auto& out : pending) {
            if (vanished_ || out.due > now) {
                later.push_back(std::move(out));
                continue;
            }
            WriteOut(out.bytes.data(), out.bytes.size());
        }
        pending = std::move(later);
    }
}

} // namespace vestrel::sim
