// Painting a full-HD plot: the steady paint (waves over the cached background) and a
// full one with every layer rebuilt, as after a resize.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <vector>

#include "device/common/Conversion.h"
#include "wave/WaveWnd.h"

namespace {

// The energy plot of the live page at full HD: three 16-point waves, plus one wave
// of the range plot's 571 points.
void Configure(CWaveWnd& wnd) {
    wnd.resize(1920, 1080);
    wnd.SetWindowBkColor(0x2A323C);
    wnd.SetWaveCount(4);
    wnd.SetWaveColor(0, 0x00FF00);
    wnd.SetWaveColor(1, 0x0000FF);
    wnd.SetWaveColor(2, 0x00FFFF);
    wnd.SetWaveColor(3, 0xFFFF00);
    wnd.SetPlotBkColor(0x000000);
    wnd.SetWaveLineWidth(5);
    wnd.ShowGrid(false);
    wnd.SetDataTypeDouble();
    wnd.SetYRange(0, 100);
    wnd.SetPointCount(571);
    wnd.SetFrameAligned(false);
    wnd.SetText(0, QStringLiteral("FP VS RG"), 15, 0xFFFFFFFF, 1, 0);
    wnd.SetText(1, QStringLiteral("Fraction Power (dB)"), 10, 0xFFFFFFFF, 0, 0);
    wnd.SetText(2, QStringLiteral("0.7 m/Range Gate"), 10, 0xFFFFFFFF, 2, 2);
    wnd.ShowAxis(AXIS_LEFT, true, 50);
    wnd.ShowAxis(AXIS_BOTTOM, true, 24);
    wnd.SetXAxisFontSize(8);
    wnd.SetYAxisFontSize(8);
    wnd.GetAxis(AXIS_TOP).tickCount = 7;
    wnd.GetAxis(AXIS_BOTTOM).tickCount = 7;
    wnd.show();
    wnd.Initialize();

    // Waves 0..2 hold 16 points each: a 16-sample window at zoom 571 / 16 would be
    // odd, so they get their own buffers sized to 16 as the live page's plot does.
    for (int i = 0; i < 3; ++i) {
        CWaveBuffer& b = wnd.GetWaveBuffer(i);
        b.SetPointsPerFrame(16);
        b.SetFrameCount(1);
        std::vector<double> v(16);
        for (int g = 0; g < 16; ++g)
            v[g] = 30.0 + 20.0 * std::sin(g * 0.7 + i);
        b.Append(v.data(), 16);
    }
    std::vector<double> range(571);
    for (int k = 0; k < 571; ++k)
        range[k] = 50.0 + 40.0 * std::sin(k * 0.05);
    wnd.AddWaveData(3, range.data(), 571);
    QApplication::processEvents();
}

} // namespace

static void BM_Repaint_1920x1080_Waves(benchmark::State& state) {
    CWaveWnd wnd;
    Configure(wnd);
    for (auto _ : state)
        wnd.repaint();
}
BENCHMARK(BM_Repaint_1920x1080_Waves)->Unit(benchmark::kMillisecond);

static void BM_Repaint_1920x1080_AllLayers(benchmark::State& state) {
    CWaveWnd wnd;
    Configure(wnd);
    for (auto _ : state) {
        wnd.RedrawPlotBackground();
        for (int side = 0; side < 4; ++side)
            wnd.RedrawAxis(side);
        wnd.repaint();
    }
}
BENCHMARK(BM_Repaint_1920x1080_AllLayers)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

static void BM_RenderCanvasOnly(benchmark::State& state) {
    CWaveWnd wnd;
    Configure(wnd);
    for (auto _ : state)
        benchmark::DoNotOptimize(wnd.RenderCanvas().constBits());
}
BENCHMARK(BM_RenderCanvasOnly)->Unit(benchmark::kMillisecond);
