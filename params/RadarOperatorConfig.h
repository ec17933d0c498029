#pragma once
// The module's operator configuration: maximum range gate, absence-report
// delay and a trigger and a hold threshold (dB) per range gate, and how it
// travels as 34 numbered parameters with linear threshold values.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kRadarGateCount = 16;
constexpr std::size_t kRadarParamCount = 34;

struct RadarOperatorConfig {
    std::uint32_t GateMax = 15;
    std::uint32_t ObjectDisappearDelayTime = 10; // seconds
    double TriggerThreshold[kRadarGateCount] = {30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0,
                                                30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0};
    double HoldThreshold[kRadarGateCount] = {30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0,
                                             30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0, 30.0};
};

// Module value to dB: 10 x log10(raw) for raw >= 1; raw 0 gives 0.0 dB.
[[nodiscard]] double RadarRawToDb(std::uint32_t raw);
// dB to module value: 10^(dB / 10) rounded half away from zero for dB > 0,
// else 0. Values beyond the 32-bit range (a hand-edited file may hold 200 dB)
// saturate at 0xFFFFFFFF instead of wrapping.
[[nodiscard]] std::uint32_t RadarDbToRaw(double db);

// The parameter ids in transfer order: 1 (GateMax), 4 (delay), 16..31
// (trigger thresholds of gates 0..15), 32..47 (hold thresholds).
[[nodiscard]] const std::array<std::uint16_t, kRadarParamCount>& RadarParamIds();
// The record's values in transfer order, thresholds linear.
[[nodiscard]] std::array<std::uint32_t, kRadarParamCount>
RadarParamValues(const RadarOperatorConfig& config);
// Stores values in transfer order into the record, thresholds converted to dB.
void ApplyRadarParamValues(const std::array<std::uint32_t, kRadarParamCount>& values,
                           RadarOperatorConfig& config);

struct RadarParamChunk {
    std::size_t start = 0;
    std::size_t count = 0;
};
// Splits `total` parameters into transfers of `transferSize` bytes, each
// parameter taking `bytesPerParam` bytes after a 12-byte overhead: full chunks
// in position order, then the remainder. Empty when not even one parameter fits.
[[nodiscard]] std::vector<RadarParamChunk>
PlanRadarParamChunks(int transferSize, int bytesPerParam, std::size_t total = kRadarParamCount);
