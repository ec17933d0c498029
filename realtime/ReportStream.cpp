#include "realtime/ReportStream.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "device/common/DbgOutput.h"

namespace {

// Every 16-bit gate value's dB, computed once: a report then costs 16 look-ups
// instead of 16 logarithms, which keeps the decoder far ahead of any link.
const std::vector<double>& DbTable() {
    static const std::vector<double> table = [] {
        std::vector<double> t(65536);
        for (std::uint32_t raw = 0; raw < t.size(); ++raw)
            t[raw] = EnergyToDb(raw);
        return t;
    }();
    return table;
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool IsTag(const std::uint8_t* p, const std::uint8_t (&tag)[4]) {
    return std::memcmp(p, tag, 4) == 0;
}

} // namespace

double EnergyToDb(std::uint32_t raw) {
    if (raw < 2)
        return 0.0;
    return 10.0 * std::log10(static_cast<double>(raw));
}

ReportRecord DecodeReportPayload(const std::uint8_t* payload) {
    const std::vector<double>& db = DbTable();
    ReportRecord record;
    record.state = payload[0];
    record.range = ReadU16(payload + 1);
    for (std::size_t i = 0; i < ReportFrame::kGateCount; ++i)
        record.energy[i] = db[ReadU16(payload + 3 + 2 * i)];
    return record;
}

std::size_t ReportStreamDecoder::Feed(const std::uint8_t* bytes, std::size_t count,
                                      const std::atomic<int>& stop, const RecordHandler& onRecord) {
    if (bytes != nullptr && count > 0)
        accumulator_.AppendBuffer(bytes, count);
    // A frame still short of its end: scanning would stop where it stands.
    if (accumulator_.GetAvailSize() < needed_)
        return 0;
    return ScanReportFrames(stop, onRecord);
}

std::size_t ReportStreamDecoder::ScanReportFrames(const std::atomic<int>& stop,
                                                  const RecordHandler& onRecord) {
    const std::uint8_t* const b = accumulator_.GetBuffer();
    const std::size_t a = accumulator_.GetAvailSize();
    std::size_t p = 0;
    std::size_t records = 0;
    std::size_t needed = ReportFrame::kOverhead; // relative to where scanning stops

    while (stop.load(std::memory_order_relaxed) == 0 && p + ReportFrame::kOverhead <= a) {
        if (!IsTag(b + p, ReportFrame::kHeaderTag)) {
            // No header can start before the next first tag byte; jump there
            // (the same positions a byte-by-byte search would accept).
            const std::size_t searchEnd = a - ReportFrame::kOverhead + 1;
            const void* next =
                std::memchr(b + p + 1, ReportFrame::kHeaderTag[0], searchEnd - (p + 1));
            p = next != nullptr
                    ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - b)
                    : searchEnd;
            continue;
        }
        const std::size_t length = ReadU16(b + p + ReportFrame::kLengthOffset);
        if (p + length + ReportFrame::kOverhead > a) {
            needed = length + ReportFrame::kOverhead;
            break; // incomplete: retried when more bytes arrive
        }
        const std::uint8_t* const payload = b + p + ReportFrame::kPayloadOffset;
        if (IsTag(payload + length, ReportFrame::kTailTag)) {
            if (length == ReportFrame::kReportPayloadLength) {
                const ReportRecord record = DecodeReportPayload(payload);
                ++records;
                if (onRecord)
                    onRecord(record);
            }
            p += length + ReportFrame::kOverhead;
        } else {
            DbgOutputA(2, "Tailer TAG Invalid!\r\n");
            // Resume where the tail was expected, not one byte after the false header.
            p += length + ReportFrame::kPayloadOffset;
        }
    }

    // Keep the unscanned rest; nothing to move when nothing was consumed, so a
    // long incomplete frame fed byte by byte costs no copying.
    if (p > 0)
        accumulator_.SetBuffer(b + p, a - p);
    needed_ = needed;
    return records;
}
