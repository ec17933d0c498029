#pragma once
// Small helpers shared by the device tests.

#include <chrono>
#include <cstdint>
#include <vector>

#include "device/radar/CommandFrame.h"
#include "device/radar/VORA_DataProcess.h"
#include "support/DeviceHandle.h"

namespace devtest {

using Clock = std::chrono::steady_clock;

using Handle = testsupport::DeviceHandle;

inline long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The bootloader's acknowledgement shape: exactly 6 bytes, status then a 32-bit value.
inline std::uint16_t ValueCheck(eRADAR_PROTOCOL_VERSION, const std::uint8_t* ack,
                                std::uint32_t length, void* user) {
    if (length != 6)
        return RADAR_ACK_WRONG_LENGTH;
    *static_cast<std::uint32_t*>(user) = radar::ReadU32(ack + 2);
    return radar::ReadU16(ack);
}

// Sends a bootloader command; returns the result and fills `value`.
inline std::uint16_t Boot(RadarDeviceHandle h, std::uint16_t command,
                          const std::vector<std::uint8_t>& payload, std::uint32_t& value,
                          std::uint32_t timeoutMs = 500) {
    return VORA_Interface_RadarDevice_Protocol_SendCommand(
        h, command, payload.empty() ? nullptr : payload.data(),
        static_cast<std::uint32_t>(payload.size()), &ValueCheck, &value, timeoutMs);
}

} // namespace devtest
