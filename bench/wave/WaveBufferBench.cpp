// Polyline of a long capture frame: the cost must follow the plot's pixels.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "wave/PolylineRaster.h"
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

// The strokes of a full-HD live plot: three 16-point waves and one of 571 points,
// 5 pixels wide, anti-aliased.
static void BM_PolylineRaster_FullHdPlot(benchmark::State& state) {
    const WaveRect plot{50, 0, 1920, 1056};
    std::vector<std::uint32_t> pixels(1920 * 1080, 0xFF000000u);
    std::vector<std::vector<RasterPoint>> waves;
    for (int i = 0; i < 3; ++i) {
        std::vector<RasterPoint> w;
        for (int g = 0; g < 16; ++g)
            w.push_back({50 + g * 124.6f, 528 - 211 * std::sin(g * 0.7f + i)});
        waves.push_back(w);
    }
    std::vector<RasterPoint> range;
    for (int k = 0; k < 571; ++k)
        range.push_back({50 + k * 3.27f, 528 - 422 * std::sin(k * 0.05f)});
    waves.push_back(range);
    CPolylineRaster raster;
    for (auto _ : state) {
        for (const auto& w : waves)
            raster.Draw(pixels.data(), 1920, plot, w.data(), static_cast<int>(w.size()), 5.0f,
                        0x00FF00);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_PolylineRaster_FullHdPlot)->Unit(benchmark::kMicrosecond);
