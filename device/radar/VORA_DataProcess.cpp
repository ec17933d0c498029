#include "device/radar/VORA_DataProcess.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/common/BaseString.h"
#include "device/common/DbgOutput.h"
#include "device/common/SerialPortEnum.h"
#include "device/radar/CommandFrame.h"
#include "device/radar/SerialPort.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace radar;

constexpr int kDefaultCommandTimeoutMs = 150;
constexpr int kVanishedReadPauseMs = 50;
constexpr int kSupportedProtocol = RADAR_PROTOCOL_VERSION_2;

struct RadarDevice {
    std::mutex mutex; // one operation at a time; IsConnected does not take it
    std::atomic<bool> connected{false};
    CSerialPort port;
    std::string portName; // "ttyUSB0", for messages
    int baudRate = 0;
    int commandTimeoutMs = kDefaultCommandTimeoutMs;
    int writeBufferMaxSize = RADAR_DEFAULT_WRITE_BUFFER_MAX_SIZE;
    bool haveVersion = false;
    bool haveSerial = false;
    std::string version;
    std::string serial;
    std::string lastErrorText;
    int lastErrorCode = RADAR_OPEN_OK;
    CCommandFrameScanner scanner;
    std::vector<std::uint8_t> readChunk = std::vector<std::uint8_t>(512);
};

RadarDevice* Dev(RadarDeviceHandle handle) {
    return static_cast<RadarDevice*>(handle);
}

// Time for `bytes` to leave the wire at the port's rate, plus some slack.
int WireTimeMs(const RadarDevice& dev, std::size_t bytes) {
    const int baud = dev.baudRate > 0 ? dev.baudRate : 9600;
    return static_cast<int>(bytes * 10 * 1000 / static_cast<std::size_t>(baud)) + 20;
}

void MarkVanished(RadarDevice& dev) {
    if (!dev.port.IsOpen())
        return;
    dev.port.Close();
    dev.connected = false;
    dev.haveVersion = dev.haveSerial = false;
    dev.lastErrorText = dev.portName + ": the device went away (unplugged or its program ended)";
    DbgOutputA(2, "Serial port %s went away.\r\n", dev.portName.c_str());
}

struct Reply {
    std::vector<std::uint8_t> data; // status + reply data, as a check receives it
};

// Sends one command frame and waits for the acknowledgement that echoes it.
// Returns 0 with the reply filled, or one of the library's error codes.
std::uint16_t Transact(RadarDevice& dev, std::uint16_t command, const std::uint8_t* payload,
                       std::uint32_t length, int timeoutMs, Reply& reply) {
    if (!dev.port.IsOpen())
        return RADAR_ERR_NOT_CONNECTED;
    if ((payload == nullptr && length > 0) || (command & kAckBit) != 0)
        return RADAR_ERR_BAD_ARGUMENT;
    // Whatever arrived before this command (report frames, a late answer to an
    // earlier command) must not be taken for its acknowledgement.
    dev.port.FlushInput();
    dev.scanner.Clear();
    const auto frame = BuildCommandFrame(command, std::span<const std::uint8_t>(payload, length));
    if (!dev.port.Write(frame.data(), frame.size(), timeoutMs + WireTimeMs(dev, frame.size()))) {
        if (dev.port.Vanished()) {
            MarkVanished(dev);
            return RADAR_ERR_PORT_VANISHED;
        }
        return RADAR_ERR_WRITE_FAILED;
    }
    const std::uint16_t expected = static_cast<std::uint16_t>(command | kAckBit);
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        while (auto ack = dev.scanner.Next()) {
            if (ack->word == expected) {
                reply.data = std::move(ack->payload);
                return RADAR_ACK_OK;
            }
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return RADAR_ERR_TIMEOUT;
        const int n =
            dev.port.Read(dev.readChunk.data(), dev.readChunk.size(), static_cast<int>(left));
        if (n < 0) {
            MarkVanished(dev);
            return RADAR_ERR_PORT_VANISHED;
        }
        if (n > 0)
            dev.scanner.Append(dev.readChunk.data(), static_cast<std::size_t>(n));
    }
}

// A command whose acknowledgement carries only a status (or more that we ignore).
bool SimpleCommand(RadarDevice& dev, std::uint16_t command,
                   const std::vector<std::uint8_t>& payload, int timeoutMs) {
    Reply reply;
    if (Transact(dev, command, payload.data(), static_cast<std::uint32_t>(payload.size()),
                 timeoutMs, reply) != RADAR_ACK_OK)
        return false;
    return reply.data.size() >= 2 && ReadU16(reply.data.data()) == kStatusOk;
}

bool EnterCommandMode(RadarDevice& dev, int protocolVersion, int timeoutMs) {
    if (protocolVersion != kSupportedProtocol)
        return false;
    std::vector<std::uint8_t> payload;
    AppendU16(payload, static_cast<std::uint16_t>(protocolVersion));
    return SimpleCommand(dev, kCmdEnterCommandMode, payload, timeoutMs);
}

bool LeaveCommandMode(RadarDevice& dev) {
    return SimpleCommand(dev, kCmdLeaveCommandMode, {}, dev.commandTimeoutMs);
}

// Version and serial number replies: status, u16 text length, text.
bool QueryText(RadarDevice& dev, std::uint16_t command, std::string& text) {
    Reply reply;
    if (Transact(dev, command, nullptr, 0, dev.commandTimeoutMs, reply) != RADAR_ACK_OK)
        return false;
    const auto& d = reply.data;
    if (d.size() < 4 || ReadU16(d.data()) != kStatusOk)
        return false;
    const std::size_t length = ReadU16(d.data() + 2);
    if (d.size() != 4 + length)
        return false;
    text.assign(reinterpret_cast<const char*>(d.data() + 4), length);
    return true;
}

void SetOpenError(RadarDevice& dev, int code, const std::string& text) {
    dev.lastErrorCode = code;
    dev.lastErrorText = text;
    DbgOutputA(2, "Open serial port failed: %s\r\n", text.c_str());
}

} // namespace

RadarDeviceHandle VORA_Interface_RadarDevice_Serial_Create() {
    // The caller owns the handle until Serial_Destroy.
    return std::make_unique<RadarDevice>().release();
}

void VORA_Interface_RadarDevice_Serial_Destroy(RadarDeviceHandle handle) {
    // Owned by the caller between Create and Destroy; unique_ptr frees it here.
    std::unique_ptr<RadarDevice> dev(Dev(handle));
}

int VORA_Interface_RadarDevice_Serial_OpenByPortNum(RadarDeviceHandle handle, int portNum,
                                                    int baudRate, int protocolVersion,
                                                    int enterCommandMode, int readVersion,
                                                    int readSerialNumber, int commandTimeoutMs) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    dev->port.Close();
    dev->connected = false;
    dev->haveVersion = dev->haveSerial = false;
    dev->version.clear();
    dev->serial.clear();
    dev->lastErrorCode = RADAR_OPEN_OK;
    dev->lastErrorText.clear();
    dev->commandTimeoutMs = commandTimeoutMs > 0 ? commandTimeoutMs : kDefaultCommandTimeoutMs;

    if (protocolVersion != kSupportedProtocol) {
        SetOpenError(*dev, RADAR_OPEN_OTHER,
                     "protocol version " + std::to_string(protocolVersion) + " is not supported");
        return 0;
    }
    std::wstring wideName;
    const std::string path = ResolveSerialPortNum(portNum, &wideName);
    if (path.empty()) {
        SetOpenError(
            *dev, RADAR_OPEN_UNKNOWN_PORT,
            "port number " + std::to_string(portNum) +
                " is not present (unplugged, or the port list is out of date: refresh it)");
        return 0;
    }
    dev->portName = WideToUtf8(wideName);
    std::string reason;
    switch (dev->port.Open(path, baudRate, reason)) {
    case SerialOpenError::None:
        break;
    case SerialOpenError::Permission:
        SetOpenError(*dev, RADAR_OPEN_PERMISSION,
                     dev->portName + ": " + reason +
                         ". Add your user to the 'dialout' group (sudo usermod -aG dialout $USER) "
                         "and log in again.");
        return 0;
    case SerialOpenError::Busy:
        SetOpenError(*dev, RADAR_OPEN_BUSY,
                     dev->portName + ": " + reason +
                         " (Device or resource busy). Close the other program using it.");
        return 0;
    case SerialOpenError::NotFound:
        SetOpenError(*dev, RADAR_OPEN_UNKNOWN_PORT, dev->portName + ": " + reason);
        return 0;
    case SerialOpenError::BadBaud:
        SetOpenError(*dev, RADAR_OPEN_BAD_SETTINGS, dev->portName + ": " + reason);
        return 0;
    default:
        SetOpenError(*dev, RADAR_OPEN_OTHER, dev->portName + ": " + reason);
        return 0;
    }
    dev->baudRate = baudRate;
    dev->connected = true;

    if (enterCommandMode != 0 && !EnterCommandMode(*dev, protocolVersion, dev->commandTimeoutMs)) {
        dev->port.Close();
        dev->connected = false;
        SetOpenError(*dev, RADAR_OPEN_NO_ANSWER,
                     dev->portName + ": the module does not answer at " + std::to_string(baudRate) +
                         " baud (wrong port or baud rate, or the module is not powered)");
        return 0;
    }
    if (readVersion != 0 || readSerialNumber != 0) {
        const bool temporary =
            enterCommandMode == 0 && EnterCommandMode(*dev, protocolVersion, dev->commandTimeoutMs);
        if (readVersion != 0)
            dev->haveVersion = QueryText(*dev, kCmdReadVersion, dev->version);
        if (readSerialNumber != 0)
            dev->haveSerial = QueryText(*dev, kCmdReadSerialNumber, dev->serial);
        if (temporary)
            LeaveCommandMode(*dev);
    }
    if (!dev->port.IsOpen()) { // went away during the queries
        SetOpenError(*dev, RADAR_OPEN_OTHER, dev->lastErrorText);
        return 0;
    }
    DbgOutputA(2, "Opened serial port %s at %d baud.\r\n", dev->portName.c_str(), baudRate);
    return 1;
}

void VORA_Interface_RadarDevice_Serial_Close(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return;
    std::lock_guard lock(dev->mutex);
    dev->port.Close();
    dev->connected = false;
    dev->haveVersion = dev->haveSerial = false;
}

int VORA_Interface_RadarDevice_IsConnected(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    return dev != nullptr && dev->connected.load() ? 1 : 0;
}

const char* VORA_Interface_RadarDevice_GetLastErrorText(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return "";
    std::lock_guard lock(dev->mutex);
    return dev->lastErrorText.c_str();
}

int VORA_Interface_RadarDevice_GetLastErrorCode(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return RADAR_OPEN_OTHER;
    std::lock_guard lock(dev->mutex);
    return dev->lastErrorCode;
}

int VORA_Interface_RadarDevice_StartCmdMode(RadarDeviceHandle handle, int protocolVersion,
                                            int timeoutMs) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    return EnterCommandMode(*dev, protocolVersion,
                            timeoutMs > 0 ? timeoutMs : dev->commandTimeoutMs)
               ? 1
               : 0;
}

int VORA_Interface_RadarDevice_StopCmdMode(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    return LeaveCommandMode(*dev) ? 1 : 0;
}

int VORA_Interface_RadarDevice_Protocol_SetABDMode(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    return SimpleCommand(*dev, kCmdSetReportMode, {}, dev->commandTimeoutMs) ? 1 : 0;
}

int VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    return SimpleCommand(*dev, kCmdSetDataTransferMode, {}, dev->commandTimeoutMs) ? 1 : 0;
}

int VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(RadarDeviceHandle handle) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return RADAR_DEFAULT_WRITE_BUFFER_MAX_SIZE;
    std::lock_guard lock(dev->mutex);
    return dev->writeBufferMaxSize;
}

void VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(RadarDeviceHandle handle, int size) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return;
    std::lock_guard lock(dev->mutex);
    dev->writeBufferMaxSize = std::clamp(size, 16, 4096);
}

int VORA_Interface_RadarDevice_Protocol_GetParameter(RadarDeviceHandle handle,
                                                     std::uint16_t command, std::uint32_t count,
                                                     const std::uint16_t* ids,
                                                     std::uint32_t* values,
                                                     std::uint32_t timeoutMs) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr || count == 0 || ids == nullptr || values == nullptr ||
        count > kMaxFramePayload / 4)
        return 0;
    std::lock_guard lock(dev->mutex);
    std::vector<std::uint8_t> payload;
    payload.reserve(count * 2);
    for (std::uint32_t i = 0; i < count; ++i)
        AppendU16(payload, ids[i]);
    Reply reply;
    if (Transact(*dev, command, payload.data(), static_cast<std::uint32_t>(payload.size()),
                 static_cast<int>(timeoutMs), reply) != RADAR_ACK_OK)
        return 0;
    const auto& d = reply.data;
    if (d.size() != 2 + 4 * static_cast<std::size_t>(count) || ReadU16(d.data()) != kStatusOk)
        return 0;
    for (std::uint32_t i = 0; i < count; ++i)
        values[i] = ReadU32(d.data() + 2 + 4 * i);
    return 1;
}

int VORA_Interface_RadarDevice_Protocol_SetParameter(RadarDeviceHandle handle,
                                                     std::uint16_t command, std::uint32_t count,
                                                     const std::uint16_t* ids,
                                                     const std::uint32_t* values,
                                                     std::uint32_t timeoutMs) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr || count == 0 || ids == nullptr || values == nullptr ||
        count > kMaxFramePayload / 6)
        return 0;
    std::lock_guard lock(dev->mutex);
    std::vector<std::uint8_t> payload;
    payload.reserve(count * 6);
    for (std::uint32_t i = 0; i < count; ++i) {
        AppendU16(payload, ids[i]);
        AppendU32(payload, values[i]);
    }
    return SimpleCommand(*dev, command, payload, static_cast<int>(timeoutMs)) ? 1 : 0;
}

std::uint16_t VORA_Interface_RadarDevice_Protocol_SendCommand(
    RadarDeviceHandle handle, std::uint16_t command, const std::uint8_t* payload,
    std::uint32_t length, RadarAckCheckFunc check, void* user, std::uint32_t timeoutMs) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return RADAR_ERR_NOT_CONNECTED;
    if (length > kMaxFramePayload - 2)
        return RADAR_ERR_BAD_ARGUMENT;
    std::lock_guard lock(dev->mutex);
    Reply reply;
    const std::uint16_t result =
        Transact(*dev, command, payload, length, static_cast<int>(timeoutMs), reply);
    if (result != RADAR_ACK_OK)
        return result;
    if (check == nullptr)
        check = &CheckCmdAckData_RetCode;
    return check(RADAR_PROTOCOL_VERSION_2, reply.data.data(),
                 static_cast<std::uint32_t>(reply.data.size()), user);
}

int VORA_Interface_RadarDevice_Protocol_SendCommand_NoCheckAck(RadarDeviceHandle handle,
                                                               std::uint16_t command,
                                                               const std::uint8_t* payload,
                                                               std::uint32_t length) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr || (payload == nullptr && length > 0) || length > kMaxFramePayload - 2 ||
        (command & kAckBit) != 0)
        return 0;
    std::lock_guard lock(dev->mutex);
    if (!dev->port.IsOpen())
        return 0;
    const auto frame = BuildCommandFrame(command, std::span<const std::uint8_t>(payload, length));
    if (!dev->port.Write(frame.data(), frame.size(),
                         dev->commandTimeoutMs + WireTimeMs(*dev, frame.size()))) {
        if (dev->port.Vanished())
            MarkVanished(*dev);
        return 0;
    }
    return 1;
}

int VORA_Interface_RadarDevice_ReadData(RadarDeviceHandle handle, std::uint8_t* buffer,
                                        std::uint32_t capacity, std::uint32_t timeoutMs,
                                        int flags) {
    (void)flags;
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr || buffer == nullptr)
        return -1;
    {
        std::lock_guard lock(dev->mutex);
        if (dev->port.IsOpen()) {
            const int n = dev->port.Read(buffer, capacity, static_cast<int>(timeoutMs));
            if (n >= 0)
                return n;
            MarkVanished(*dev);
            return -1;
        }
    }
    // Closed or gone: a reader looping on us must not spin.
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min<std::uint32_t>(timeoutMs, kVanishedReadPauseMs)));
    return -1;
}

int VORA_Interface_RadarDevice_GetVersion(RadarDeviceHandle handle, CBaseStringA& version) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    if (!dev->haveVersion)
        dev->haveVersion = QueryText(*dev, kCmdReadVersion, dev->version);
    if (!dev->haveVersion)
        return 0;
    version.Set(dev->version.c_str(), dev->version.size());
    return 1;
}

int VORA_Interface_RadarDevice_GetSerialNumber(RadarDeviceHandle handle,
                                               CBaseStringA& serialNumber) {
    RadarDevice* dev = Dev(handle);
    if (dev == nullptr)
        return 0;
    std::lock_guard lock(dev->mutex);
    if (!dev->haveSerial)
        dev->haveSerial = QueryText(*dev, kCmdReadSerialNumber, dev->serial);
    if (!dev->haveSerial)
        return 0;
    serialNumber.Set(dev->serial.c_str(), dev->serial.size());
    return 1;
}

std::uint16_t CheckCmdAckData_RetCode(eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack,
                                      std::uint32_t length, void* user) {
    (void)version;
    (void)user;
    if (ack == nullptr || length < 2)
        return RADAR_ACK_WRONG_LENGTH;
    return ReadU16(ack);
}
