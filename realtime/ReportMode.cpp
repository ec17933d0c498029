#include "realtime/ReportMode.h"

namespace {
constexpr int kCmdModeProtocol = RADAR_PROTOCOL_VERSION_2;
constexpr int kCmdModeTimeoutMs = 150;

// Leaves report mode however the run ends.
class ReportModeGuard {
public:
    explicit ReportModeGuard(RadarDeviceHandle handle) : handle_(handle) {
        EnterReportMode(handle_);
    }
    ~ReportModeGuard() { LeaveReportMode(handle_); }
    ReportModeGuard(const ReportModeGuard&) = delete;
    ReportModeGuard& operator=(const ReportModeGuard&) = delete;

private:
    RadarDeviceHandle handle_;
};
} // namespace

void EnterReportMode(RadarDeviceHandle handle) {
    (void)VORA_Interface_RadarDevice_StartCmdMode(handle, kCmdModeProtocol, kCmdModeTimeoutMs);
    (void)VORA_Interface_RadarDevice_Protocol_SetABDMode(handle);
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
}

void LeaveReportMode(RadarDeviceHandle handle) {
    (void)VORA_Interface_RadarDevice_StartCmdMode(handle, kCmdModeProtocol, kCmdModeTimeoutMs);
    (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(handle);
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
}

std::uint32_t ReportChunkSize(RadarDeviceHandle handle) {
    const int size = VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(handle);
    return size > 0 ? static_cast<std::uint32_t>(size) : kDefaultReportChunkSize;
}

int CDeviceByteSource::ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) {
    const int n = VORA_Interface_RadarDevice_ReadData(handle_, buffer, capacity, timeoutMs_, 0);
    if (n >= 1)
        return n;
    return VORA_Interface_RadarDevice_IsConnected(handle_) != 0 ? 0 : -1;
}

ReportStreamEnd RunLiveReportStream(RadarDeviceHandle handle, const std::atomic<int>& stop,
                                    const ReportStreamHooks& hooks) {
    const ReportModeGuard reportMode(handle);
    CDeviceByteSource source(handle);
    return RunReportStream(source, ReportChunkSize(handle), stop, hooks);
}
