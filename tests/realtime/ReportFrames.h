#pragma once
// Builders for report streams in tests and benchmarks.

#include <array>
#include <cstdint>
#include <vector>

#include "realtime/ReportStream.h"

namespace testframes {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// A frame with any payload; `tail` false writes a wrong tail tag.
inline Bytes Frame(const Bytes& payload, bool tail = true) {
    Bytes f(std::begin(ReportFrame::kHeaderTag), std::end(ReportFrame::kHeaderTag));
    PutU16(f, static_cast<std::uint32_t>(payload.size()));
    Append(f, payload);
    if (tail)
        f.insert(f.end(), std::begin(ReportFrame::kTailTag), std::end(ReportFrame::kTailTag));
    else
        f.insert(f.end(), {0xF8, 0xF7, 0xF6, 0x00});
    return f;
}

inline Bytes ReportPayload(std::uint8_t state, std::uint16_t range,
                           const std::array<std::uint16_t, 16>& gates) {
    Bytes p{state};
    PutU16(p, range);
    for (const std::uint16_t g : gates)
        PutU16(p, g);
    return p;
}

inline Bytes Report(std::uint8_t state, std::uint16_t range, std::uint16_t gateBase = 100) {
    std::array<std::uint16_t, 16> gates{};
    for (std::size_t i = 0; i < gates.size(); ++i)
        gates[i] = static_cast<std::uint16_t>(gateBase + 37 * i);
    return Frame(ReportPayload(state, range, gates));
}

} // namespace testframes
