#include "realtime/SensingGeneration.h"

#include <cmath>

#include "device/common/Conversion.h"

namespace {

std::uint16_t CoefficientToWire(double coefficient) {
    const double scaled = coefficient * 10.0;
    if (!(scaled > 0.0)) // also catches NaN
        return 0;
    if (scaled >= 65535.0)
        return 65535;
    return static_cast<std::uint16_t>(std::floor(scaled + 0.5));
}

} // namespace

std::array<std::uint8_t, 4> BuildThresholdGenerationPayload(double trigger, double hold) {
    const std::uint16_t t = CoefficientToWire(trigger);
    const std::uint16_t h = CoefficientToWire(hold);
    return {static_cast<std::uint8_t>(t & 0xFF), static_cast<std::uint8_t>(t >> 8),
            static_cast<std::uint8_t>(h & 0xFF), static_cast<std::uint8_t>(h >> 8)};
}

std::uint16_t ProgressCheck(eRADAR_PROTOCOL_VERSION /*version*/, const std::uint8_t* ack,
                            std::uint32_t length, void* user) {
    if (length != 4 || ack == nullptr)
        return RADAR_ACK_WRONG_LENGTH;
    const auto status = static_cast<std::uint16_t>(ack[0] | (ack[1] << 8));
    const auto progress = static_cast<std::uint16_t>(ack[2] | (ack[3] << 8));
    if (user != nullptr)
        *static_cast<std::uint32_t*>(user) = progress;
    return status;
}

bool RunSensingGeneration(RadarDeviceHandle handle, double trigger, double hold,
                          const std::function<void(int percent)>& onProgress,
                          const SensingGenerationOptions& options) {
    (void)VORA_Interface_RadarDevice_StartCmdMode(handle, RADAR_PROTOCOL_VERSION_2, 150);
    std::uint32_t progress = 0;
    const auto payload = BuildThresholdGenerationPayload(trigger, hold);
    const std::uint16_t started = VORA_Interface_RadarDevice_Protocol_SendCommand(
        handle, kCmdStartThresholdGeneration, payload.data(),
        static_cast<std::uint32_t>(payload.size()), CheckCmdAckData_RetCode, nullptr,
        kGenerationCommandTimeoutMs);
    if (started == RADAR_ACK_OK) {
        std::uint32_t lastProgress = 0;
        unsigned int stalledMs = 0;
        while (progress < 100) {
            HQ_Sleep(options.pollIntervalMs);
            if (VORA_Interface_RadarDevice_Protocol_SendCommand(
                    handle, kCmdGetGenerationProgress, nullptr, 0, ProgressCheck, &progress,
                    kGenerationCommandTimeoutMs) != RADAR_ACK_OK)
                break;
            if (onProgress)
                onProgress(static_cast<int>(progress));
            // A module that keeps answering without advancing would hold the
            // dialog (which cannot close meanwhile) for ever.
            if (progress > lastProgress) {
                lastProgress = progress;
                stalledMs = 0;
            } else {
                stalledMs += options.pollIntervalMs;
                if (options.stallLimitMs != 0 && stalledMs >= options.stallLimitMs)
                    break;
            }
        }
    }
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
    return progress >= 100;
}
