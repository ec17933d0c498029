// Polyline of a long capture frame: the cost must follow the plot's pixels.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "wave/WaveBuffer.h"

static void BM_BuildPolyline_360000Samples_1920px(benchmark::State& state) {
    constexpr int kPoints = 360000;
    CWaveBuffer buf;
    buf.SetSampleType(WAVE_SAMPLE_DOUBLE);
    buf.SetPointsPerFrame(kPoints);
    buf.SetFrameCount(1);
    std::vector<double> frame(kPoints);
    for (int i = 0; i < kPoints; ++i)
        frame[i] = 50.0 + 40.0 * std::sin(i * 0.001);
    buf.Append(frame.data(), kPoints);
    buf.Append(frame.data(), kPoints);

    const WaveRect plot{50, 0, 1970, 1000};
    std::vector<WavePoint> points;
    points.reserve(plot.Width());
    for (auto _ : state) {
        points.clear();
        double lo = 0, hi = 0;
        buf.BuildPolyline(plot, 0.0, 100.0, 0, 1.0, points, &lo, &hi);
        benchmark::DoNotOptimize(points.data());
        benchmark::DoNotOptimize(hi);
    }
    state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(BM_BuildPolyline_360000Samples_1920px)->Unit(benchmark::kMicrosecond);

static void BM_Append_OneReport(benchmark::State& state) {
    CWaveBuffer buf;
    buf.SetSampleType(WAVE_SAMPLE_DOUBLE);
    buf.SetPointsPerFrame(571);
    buf.SetFrameCount(1);
    const double sample = 2.35;
    for (auto _ : state)
        buf.Append(&sample, 1);
}
BENCHMARK(BM_Append_OneReport);
