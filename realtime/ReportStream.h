#pragma once
// The module's report stream: framed reports, their decoded form and the
// decoder that finds them in a byte stream however it arrives in pieces.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "device/common/BaseBuffer.h"

// One frame: header tag, 16-bit little-endian payload length L, payload, tail tag.
struct ReportFrame {
    static constexpr std::uint8_t kHeaderTag[4] = {0xF4, 0xF3, 0xF2, 0xF1}; // 0xF1F2F3F4
    static constexpr std::uint8_t kTailTag[4] = {0xF8, 0xF7, 0xF6, 0xF5};   // 0xF5F6F7F8
    static constexpr std::size_t kLengthOffset = 4;
    static constexpr std::size_t kPayloadOffset = 6;
    static constexpr std::size_t kOverhead = 10; // a frame occupies L + 10 bytes
    // Only frames of this payload length carry a report.
    static constexpr std::size_t kReportPayloadLength = 35;
    static constexpr std::size_t kGateCount = 16;
};

struct ReportRecord {
    std::uint8_t state = 0;  // 0 no target, 1 target present; others passed on unchanged
    std::uint16_t range = 0; // centimetres
    std::array<double, ReportFrame::kGateCount> energy{}; // dB per range gate, gate 0 first

    bool operator==(const ReportRecord&) const = default;
};

// 10 * log10(raw) for raw >= 2; exactly 0.0 for 0 and 1.
[[nodiscard]] double EnergyToDb(std::uint32_t raw);

// Decodes a 35-byte report payload.
[[nodiscard]] ReportRecord DecodeReportPayload(const std::uint8_t* payload);

// Decoding state of one streaming run. Not shared between threads.
class ReportStreamDecoder {
public:
    using RecordHandler = std::function<void(const ReportRecord&)>;

    // Appends `count` bytes, scans for frames and hands each report to `onRecord`
    // in stream order, on the calling thread. Scanning ends at once while `stop`
    // is nonzero; unscanned bytes stay for the next Feed. Returns the number of
    // reports handed out.
    std::size_t Feed(const std::uint8_t* bytes, std::size_t count, const std::atomic<int>& stop,
                     const RecordHandler& onRecord);

    // Bytes kept for the next Feed (an incomplete frame, or a tail too short to check).
    [[nodiscard]] std::size_t PendingBytes() const { return accumulator_.GetAvailSize(); }

private:
    std::size_t ScanReportFrames(const std::atomic<int>& stop, const RecordHandler& onRecord);

    CBaseBuffer accumulator_;
    // Bytes the accumulator must hold before a scan can get further than the last.
    std::size_t needed_ = ReportFrame::kOverhead;
};
