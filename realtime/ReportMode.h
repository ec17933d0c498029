#pragma once
// Report mode of the module and its live byte stream.

#include <atomic>
#include <cstdint>

#include "device/radar/VORA_DataProcess.h"
#include "realtime/ReportStreamRun.h"

// Switches the module into report mode; the stream starts after this. Results
// are not examined: a module that does not switch simply sends no frames.
void EnterReportMode(RadarDeviceHandle handle);
// Back to the normal data-transfer mode that connecting leaves it in.
void LeaveReportMode(RadarDeviceHandle handle);

// The library's transfer size, asked once per run; kDefaultReportChunkSize when
// the library gives none.
[[nodiscard]] std::uint32_t ReportChunkSize(RadarDeviceHandle handle);

// The module's raw stream through the device library.
class CDeviceByteSource final : public IReportByteSource {
public:
    static constexpr std::uint32_t kReadTimeoutMs = 2000;

    explicit CDeviceByteSource(RadarDeviceHandle handle, std::uint32_t timeoutMs = kReadTimeoutMs)
        : handle_(handle), timeoutMs_(timeoutMs) {}
    // A read time-out is 0 (read again); a port that has gone away ends the stream.
    [[nodiscard]] int ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) override;

private:
    RadarDeviceHandle handle_;
    std::uint32_t timeoutMs_;
};

// A whole live run: report mode in, the read loop, report mode out (on every path).
ReportStreamEnd RunLiveReportStream(RadarDeviceHandle handle, const std::atomic<int>& stop,
                                    const ReportStreamHooks& hooks);
