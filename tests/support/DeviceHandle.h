#pragma once
// A radar device handle that is closed and destroyed at scope end, for tests
// that talk to a (simulated) module.

#include "device/radar/VORA_DataProcess.h"

namespace testsupport {

class DeviceHandle {
public:
    DeviceHandle() = default;
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    ~DeviceHandle() {
        VORA_Interface_RadarDevice_Serial_Close(h);
        VORA_Interface_RadarDevice_Serial_Destroy(h);
    }
    operator RadarDeviceHandle() const { return h; }

    // Opens `port` as the tool connects: command mode, version and serial
    // number read, the library's usual time-out. The module stays in command mode.
    [[nodiscard]] bool Connect(int port, int baud = 115200) const {
        return VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, baud, 2, 1, 1, 1, 150) != 0;
    }

    RadarDeviceHandle h = VORA_Interface_RadarDevice_Serial_Create();
};

} // namespace testsupport
