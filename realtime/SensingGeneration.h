#pragma once
// The module's own threshold derivation: start it with two coefficients, poll its
// progress until 100 %, all inside command mode. The thresholds are read back by
// the caller with the ordinary operator configuration read.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "device/radar/VORA_DataProcess.h"

constexpr std::uint16_t kCmdStartThresholdGeneration = 9;
constexpr std::uint16_t kCmdGetGenerationProgress = 10;
constexpr std::uint32_t kGenerationCommandTimeoutMs = 2000;
constexpr unsigned int kGenerationPollIntervalMs = 500;
// A module that answers but stops advancing is given up after this long.
constexpr unsigned int kGenerationStallLimitMs = 60000;

// Each coefficient x 10, rounded half away from zero, as unsigned 16-bit
// little-endian: 4.0 and 1.5 give 28 00 0F 00. Values outside 0..6553.5 are
// limited to that range (not a number counts as 0).
[[nodiscard]] std::array<std::uint8_t, 4> BuildThresholdGenerationPayload(double trigger,
                                                                          double hold);

// Judges the progress answer: exactly 4 bytes (16-bit status, 16-bit percent).
// Stores the percent into *(std::uint32_t*)user (when given) and returns the
// status; any other length is RADAR_ACK_WRONG_LENGTH.
std::uint16_t ProgressCheck(eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack,
                            std::uint32_t length, void* user);

struct SensingGenerationOptions {
    unsigned int pollIntervalMs = kGenerationPollIntervalMs;
    unsigned int stallLimitMs = kGenerationStallLimitMs;
};

// The whole exchange: command mode in, start, poll every interval (each accepted
// answer reported through onProgress on the calling thread), command mode out.
// True when the progress reached 100 or more.
[[nodiscard]] bool RunSensingGeneration(RadarDeviceHandle handle, double trigger, double hold,
                                        const std::function<void(int percent)>& onProgress,
                                        const SensingGenerationOptions& options = {});
