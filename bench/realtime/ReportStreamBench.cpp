// Decoder throughput on a synthetic stream with garbage and bad tails, fed in
// chunks of several sizes: the bytes per second must not depend on the split.
#include <benchmark/benchmark.h>

#include <random>

#include "realtime/ReportFrames.h"
#include "realtime/ReportStream.h"

using namespace testframes;

namespace {

const Bytes& SyntheticStream() {
    static const Bytes stream = [] {
        std::mt19937 rng(7);
        Bytes s;
        s.reserve(8u << 20);
        while (s.size() < (8u << 20)) {
            const unsigned kind = rng() % 100;
            if (kind < 85) {
                std::array<std::uint16_t, 16> gates{};
                for (auto& g : gates)
                    g = static_cast<std::uint16_t>(rng());
                Append(s, Frame(ReportPayload(static_cast<std::uint8_t>(rng() % 2),
                                              static_cast<std::uint16_t>(rng() % 1200), gates)));
            } else if (kind < 93) {
                for (unsigned n = rng() % 32; n > 0; --n) // garbage, sometimes tag-like
                    s.push_back(static_cast<std::uint8_t>(rng() % 3 == 0 ? 0xF4 : rng()));
            } else if (kind < 97) {
                Append(s, Frame(Bytes(35, 0x5A), false)); // bad tail
            } else {
                Append(s, Frame(Bytes(rng() % 64, 0x33))); // not a report
            }
        }
        return s;
    }();
    return stream;
}

void BM_DecodeStream(benchmark::State& state) {
    const Bytes& s = SyntheticStream();
    const auto chunk = static_cast<std::size_t>(state.range(0));
    const std::atomic<int> stop{0};
    std::size_t records = 0;
    double sink = 0;
    // Built once, as the streaming run holds its handler.
    const ReportStreamDecoder::RecordHandler onRecord = [&](const ReportRecord& r) {
        ++records;
        sink += r.energy[3];
    };
    for (auto _ : state) {
        ReportStreamDecoder decoder;
        for (std::size_t at = 0; at < s.size(); at += chunk)
            decoder.Feed(s.data() + at, std::min(chunk, s.size() - at), stop, onRecord);
    }
    benchmark::DoNotOptimize(sink);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
    state.counters["reports/s"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}
// 1 byte at a time up to whole megabytes; 4096 is the library's transfer size.
BENCHMARK(BM_DecodeStream)
    ->Arg(1)
    ->Arg(7)
    ->Arg(64)
    ->Arg(4096)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
