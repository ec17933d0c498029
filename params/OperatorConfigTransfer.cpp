#include "params/OperatorConfigTransfer.h"

#include "device/common/DbgOutput.h"

namespace {
constexpr std::uint16_t kCmdSetParameter = 7;
constexpr std::uint16_t kCmdGetParameter = 8;
constexpr std::uint32_t kParamTimeoutMs = 2000;
constexpr int kReadBytesPerParam = 4;
constexpr int kWriteBytesPerParam = 6;
constexpr const char* kReadName = "ReadSetting_RadarOperatorConfig";
constexpr const char* kWriteName = "WriteSetting_RadarOperatorConfig";
} // namespace

int ReadSetting_RadarOperatorConfig(RadarDeviceHandle handle, RadarOperatorConfig* config) {
    if (VORA_Interface_RadarDevice_IsConnected(handle) == 0)
        return kTransferNotConnected;
    const auto& ids = RadarParamIds();
    // Gathered here first, so a failed chunk leaves the record untouched.
    std::array<std::uint32_t, kRadarParamCount> values{};
    const auto chunks = PlanRadarParamChunks(
        VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(handle), kReadBytesPerParam);
    bool ok = config != nullptr && !chunks.empty();
    for (const RadarParamChunk& chunk : chunks) {
        if (!ok)
            break;
        ok = VORA_Interface_RadarDevice_Protocol_GetParameter(
                 handle, kCmdGetParameter, static_cast<std::uint32_t>(chunk.count),
                 ids.data() + chunk.start, values.data() + chunk.start, kParamTimeoutMs) != 0;
    }
    if (!ok) {
        DbgOutputA(2, "%s, result: Failed.\r\n", kReadName);
        return kTransferFailed;
    }
    ApplyRadarParamValues(values, *config);
    DbgOutputA(2, "%s, result: Success\r\n", kReadName);
    return kTransferOk;
}

int WriteSetting_RadarOperatorConfig(RadarDeviceHandle handle, const RadarOperatorConfig* config) {
    if (VORA_Interface_RadarDevice_IsConnected(handle) == 0)
        return kTransferNotConnected;
    const auto& ids = RadarParamIds();
    const auto chunks = PlanRadarParamChunks(
        VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(handle), kWriteBytesPerParam);
    bool ok = config != nullptr && !chunks.empty();
    if (ok) {
        const auto values = RadarParamValues(*config);
        for (const RadarParamChunk& chunk : chunks) {
            ok = VORA_Interface_RadarDevice_Protocol_SetParameter(
                     handle, kCmdSetParameter, static_cast<std::uint32_t>(chunk.count),
                     ids.data() + chunk.start, values.data() + chunk.start, kParamTimeoutMs) != 0;
            if (!ok)
                break;
        }
    }
    DbgOutputA(2, "%s, result: %s\r\n", kWriteName, ok ? "Success" : "Failed");
    return ok ? kTransferOk : kTransferFailed;
}

int RunReadSensorConfig(RadarDeviceHandle handle, RadarOperatorConfig* config) {
    (void)VORA_Interface_RadarDevice_StartCmdMode(handle, 2, 150);
    const int result = ReadSetting_RadarOperatorConfig(handle, config);
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
    return result;
}

int RunWriteSensorConfig(RadarDeviceHandle handle, const RadarOperatorConfig* config) {
    (void)VORA_Interface_RadarDevice_StartCmdMode(handle, 2, 150);
    const int result = WriteSetting_RadarOperatorConfig(handle, config);
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
    return result;
}

SensorCommandMessage SensorCommandMessageFor(bool write, int result) {
    switch (result) {
    case kTransferOk:
        return {10002, write ? 10152 : 10150, false};
    case kTransferNotConnected:
        return {10000, 10103, true};
    default:
        return {10000, write ? 10153 : 10151, true};
    }
}
