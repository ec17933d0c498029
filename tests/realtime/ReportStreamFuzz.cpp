// libFuzzer target for the report decoder: any bytes, cut into pieces chosen by
// the input itself, must decode without faults and give the same reports as
// the unbroken stream.
#include <cstdlib>
#include <vector>

#include "realtime/ReportStream.h"

namespace {
std::vector<ReportRecord> Decode(const std::uint8_t* data, std::size_t size, std::size_t step) {
    ReportStreamDecoder decoder;
    const std::atomic<int> stop{0};
    std::vector<ReportRecord> out;
    for (std::size_t at = 0; at < size; at += step) {
        const std::size_t n = size - at < step ? size - at : step;
        decoder.Feed(data + at, n, stop, [&](const ReportRecord& r) { out.push_back(r); });
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t step = 1 + data[0] % 64;
    const auto whole = Decode(data + 1, size - 1, size);
    if (Decode(data + 1, size - 1, step) != whole)
        std::abort();
    return 0;
}
