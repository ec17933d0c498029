#include "params/RadarOperatorConfig.h"

#include <cmath>

double RadarRawToDb(std::uint32_t raw) {
    return raw >= 1 ? 10.0 * std::log10(static_cast<double>(raw)) : 0.0;
}

std::uint32_t RadarDbToRaw(double db) {
    if (!(db > 0.0)) // also NaN
        return 0;
    const double linear = std::round(std::pow(10.0, db / 10.0)); // halves away from zero
    if (!(linear < 4294967295.0))
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(linear);
}

const std::array<std::uint16_t, kRadarParamCount>& RadarParamIds() {
    static const std::array<std::uint16_t, kRadarParamCount> ids = [] {
        std::array<std::uint16_t, kRadarParamCount> a{};
        a[0] = 1;
        a[1] = 4;
        for (int gate = 0; gate < kRadarGateCount; ++gate) {
            a[2 + gate] = static_cast<std::uint16_t>(16 + gate);
            a[18 + gate] = static_cast<std::uint16_t>(32 + gate);
        }
        return a;
    }();
    return ids;
}

std::array<std::uint32_t, kRadarParamCount> RadarParamValues(const RadarOperatorConfig& config) {
    std::array<std::uint32_t, kRadarParamCount> v{};
    v[0] = config.GateMax;
    v[1] = config.ObjectDisappearDelayTime;
    for (int gate = 0; gate < kRadarGateCount; ++gate) {
        v[2 + gate] = RadarDbToRaw(config.TriggerThreshold[gate]);
        v[18 + gate] = RadarDbToRaw(config.HoldThreshold[gate]);
    }
    return v;
}

void ApplyRadarParamValues(const std::array<std::uint32_t, kRadarParamCount>& values,
                           RadarOperatorConfig& config) {
    config.GateMax = values[0];
    config.ObjectDisappearDelayTime = values[1];
    for (int gate = 0; gate < kRadarGateCount; ++gate) {
        config.TriggerThreshold[gate] = RadarRawToDb(values[2 + gate]);
        config.HoldThreshold[gate] = RadarRawToDb(values[18 + gate]);
    }
}

std::vector<RadarParamChunk> PlanRadarParamChunks(int transferSize, int bytesPerParam,
                                                  std::size_t total) {
    std::vector<RadarParamChunk> chunks;
    if (bytesPerParam <= 0 || transferSize - 12 < bytesPerParam)
        return chunks;
    const auto n = static_cast<std::size_t>((transferSize - 12) / bytesPerParam);
    std::size_t start = 0;
    for (std::size_t i = 0; i < total / n; ++i, start += n)
        chunks.push_back({start, n});
    if (total % n != 0)
        chunks.push_back({start, total % n});
    return chunks;
}
