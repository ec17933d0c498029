#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numeric>
#include <thread>
#include <vector>

#include "wave/WaveBuffer.h"

namespace {

std::vector<double> Ramp(int from, int count) {
    std::vector<double> v(static_cast<std::size_t>(count));
    std::iota(v.begin(), v.end(), static_cast<double>(from));
    return v;
}

// A double buffer of p points per frame holding n + 1 frames.
void Size(CWaveBuffer& buf, int p, int n) {
    buf.SetSampleType(WAVE_SAMPLE_DOUBLE);
    buf.SetPointsPerFrame(p);
    buf.SetFrameCount(n);
}

void Append(CWaveBuffer& buf, const std::vector<double>& v) {
    buf.Append(v.data(), static_cast<int>(v.size()));
}

} // namespace

TEST(WaveBuffer, AlignedModeMovesWholeFramesAndKeepsTheRestPending) {
    CWaveBuffer buf;
    Size(buf, 4, 2); // 3 frames of 4
    buf.SetFrameAligned(true);
    Append(buf, Ramp(1, 10)); // 2.5 frames
    EXPECT_EQ(buf.framesReceived, 2u);
    EXPECT_EQ(buf.GetPendingCount(), 2);
    EXPECT_EQ(buf.GetHistory(), (std::vector<double>{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));

    Append(buf, Ramp(11, 2)); // the missing half frame completes it
    EXPECT_EQ(buf.framesReceived, 3u);
    EXPECT_EQ(buf.GetPendingCount(), 0);
    EXPECT_EQ(buf.GetHistory(), Ramp(1, 12));
}

TEST(WaveBuffer, FreeModeScrollsSampleBySampleAndKeepsOnlyTheNewestTail) {
    CWaveBuffer buf;
    Size(buf, 4, 1); // 2 frames of 4
    Append(buf, Ramp(1, 3));
    Append(buf, Ramp(4, 2));
    EXPECT_EQ(buf.GetHistory(), (std::vector<double>{0, 0, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(buf.framesReceived, 1u); // 5 samples: one whole frame, one left over

    Append(buf, Ramp(100, 20)); // more than the whole history holds
    EXPECT_EQ(buf.GetHistory(), Ramp(112, 8));
    EXPECT_EQ(buf.framesReceived, 6u); // (1 + 20) / 4 more
    EXPECT_EQ(buf.GetPendingCount(), 0);

    buf.Clear();
    EXPECT_EQ(buf.GetHistory(), std::vector<double>(8, 0.0));
    EXPECT_EQ(buf.framesReceived, 6u); // the owner zeroes it, not Clear
}

TEST(WaveBuffer, NothingIsHeldOrCountedBeforeTheBufferIsSized) {
    CWaveBuffer buf;
    const std::vector<double> v = Ramp(1, 8);
    buf.Append(v.data(), 8);
    EXPECT_FALSE(buf.HasHistory());
    EXPECT_EQ(buf.framesReceived, 0u);
    std::vector<WavePoint> pts;
    double lo = 1, hi = 1;
    buf.BuildPolyline({0, 0, 100, 100}, 0, 10, 0, 1.0, pts, &lo, &hi);
    EXPECT_TRUE(pts.empty());
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 0.0);
    int sample = -1;
    EXPECT_FALSE(buf.GetValueAtPixel({0, 0, 100, 100}, 0, 10, 0, 1.0, 5, &sample, nullptr, nullptr,
                                     nullptr));
}

TEST(WaveBuffer, SizedHistoryCostsNoMemoryUntilTheFirstAppend) {
    CWaveBuffer buf;
    Size(buf, 360000, 1);
    EXPECT_TRUE(buf.HasHistory());
    EXPECT_EQ(buf.GetAllocatedBytes(), 0u);
    // It still reads as zeros.
    std::vector<WavePoint> pts;
    double lo = 1, hi = 1;
    buf.BuildPolyline({0, 0, 1920, 100}, -10, 10, 0, 1.0, pts, &lo, &hi);
    EXPECT_EQ(pts.size(), 1920u);
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 0.0);
    EXPECT_EQ(pts[0].y, 50);
    const double one = 1.0;
    buf.Append(&one, 1);
    EXPECT_GE(buf.GetAllocatedBytes(), 2u * 360000u * sizeof(double));
}

TEST(WaveBuffer, ResizeRules) {
    CWaveBuffer buf;
    Size(buf, 4, 1);
    Append(buf, Ramp(1, 8));
    buf.SetFrameCount(1); // already 2 frames: untouched
    EXPECT_EQ(buf.GetHistory(), Ramp(1, 8));
    buf.SetFrameCount(2); // grows: the start is kept, the rest is zero
    EXPECT_EQ(buf.GetFrameCount(), 3);
    EXPECT_EQ(buf.GetHistory(), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0}));
    buf.SetFrameCount(0); // shrinks: the first frame is kept
    EXPECT_EQ(buf.GetHistory(), (std::vector<double>{1, 2, 3, 4}));

    buf.SetSampleType(WAVE_SAMPLE_DOUBLE); // same byte size: untouched
    EXPECT_EQ(buf.GetHistory(), (std::vector<double>{1, 2, 3, 4}));
    buf.SetSampleType(WAVE_SAMPLE_INT32); // new byte size: zeroed
    EXPECT_EQ(buf.GetHistory(), std::vector<double>(4, 0.0));

    buf.SetFrameAligned(true);
    const std::int32_t two[2] = {7, 8};
    buf.Append(two, 2);
    EXPECT_EQ(buf.GetPendingCount(), 2);
    buf.SetPointsPerFrame(8); // new size drops the pending samples too
    EXPECT_EQ(buf.GetPendingCount(), 0);
    EXPECT_EQ(buf.GetHistory(), std::vector<double>(8, 0.0));
}

TEST(WaveBuffer, ReadsEachSampleTypeAsItsOwnElementSize) {
    CWaveBuffer i16, i32, other;
    for (CWaveBuffer* b : {&i16, &i32, &other})
        b->SetPointsPerFrame(2), b->SetFrameCount(0);
    i16.SetSampleType(WAVE_SAMPLE_INT16);
    i32.SetSampleType(WAVE_SAMPLE_INT32);
    other.SetSampleType(static_cast<WaveSampleType>(7)); // unknown codes use 2-byte elements
    const std::int16_t a[2] = {-32768, 32767};
    const std::int32_t b[2] = {-100000, 100000};
    i16.Append(a, 2);
    i32.Append(b, 2);
    other.Append(a, 2);
    EXPECT_EQ(i16.GetHistory(), (std::vector<double>{-32768, 32767}));
    EXPECT_EQ(i32.GetHistory(), (std::vector<double>{-100000, 100000}));
    EXPECT_EQ(other.GetHistory(), (std::vector<double>{-32768, 32767}));
}

TEST(WaveBuffer, PolylineWithFewerSamplesThanPixelsSpacesPointsEvenly) {
    CWaveBuffer buf;
    Size(buf, 16, 1);
    Append(buf, std::vector<double>(16, 100.0)); // older frame, only for panning
    Append(buf, Ramp(0, 16));                    // newest frame, shown at offset 0
    const WaveRect plot{10, 20, 311, 120};       // 301 x 100
    std::vector<WavePoint> pts;
    double lo = 0, hi = 0;
    buf.BuildPolyline(plot, 0, 15, 0, 1.0, pts, &lo, &hi);
    ASSERT_EQ(pts.size(), 16u);
    for (int j = 0; j < 16; ++j) {
        EXPECT_EQ(pts[j].x, 10 + 20 * j) << j;
        // round(h - h * v / 15) clamped to 0..h-1
        const int y = std::min(99, static_cast<int>(std::lround(100.0 - 100.0 * j / 15.0)));
        EXPECT_EQ(pts[j].y, 20 + y) << j;
    }
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 15.0);

    // Panned by 4 samples: the last 4 of the older frame come first.
    pts.clear();
    buf.BuildPolyline(plot, 0, 15, 4, 1.0, pts, &lo, &hi);
    ASSERT_EQ(pts.size(), 16u);
    EXPECT_EQ(hi, 100.0);
    EXPECT_EQ(lo, 0.0);
    int sample = -1, type = -1;
    double value = -1, y = -1;
    ASSERT_TRUE(buf.GetValueAtPixel(plot, 0, 15, 4, 1.0, 100, &sample, &type, &value, &y));
    EXPECT_EQ(value, 1.0); // x 100 -> j 5 -> newest frame's sample 1
    EXPECT_EQ(sample, 5);
    EXPECT_EQ(type, WAVE_SAMPLE_DOUBLE);
    EXPECT_EQ(y, std::lround(100.0 - 100.0 / 15.0));
}

TEST(WaveBuffer, PolylineWithMoreSamplesThanPixelsTakesOnePointPerColumn) {
    CWaveBuffer buf;
    Size(buf, 64, 1);
    Append(buf, Ramp(0, 64));
    Append(buf, Ramp(1000, 64));
    std::vector<WavePoint> pts;
    double lo = 0, hi = 0;
    buf.BuildPolyline({0, 0, 33, 50}, 0, 2000, 0, 1.0, pts, &lo, &hi);
    ASSERT_EQ(pts.size(), 33u);
    for (int x = 0; x < 33; ++x)
        EXPECT_EQ(pts[x].x, x);
    // Samples are skipped: column 1 shows sample round(63 / 32) = 2.
    double value = 0;
    ASSERT_TRUE(
        buf.GetValueAtPixel({0, 0, 33, 50}, 0, 2000, 0, 1.0, 1, nullptr, nullptr, &value, nullptr));
    EXPECT_EQ(value, 1002.0);
    EXPECT_EQ(lo, 1000.0);
    EXPECT_EQ(hi, 1063.0);
}

TEST(WaveBuffer, ZoomedOutPolylineSpansMoreFrames) {
    CWaveBuffer buf;
    Size(buf, 16, 2); // zoom 0.5 needs ceil(1 / 0.5) + 1 frames
    Append(buf, Ramp(0, 48));
    std::vector<WavePoint> pts;
    double lo = 0, hi = 0;
    buf.BuildPolyline({0, 0, 311, 100}, 0, 100, 0, 0.5, pts, &lo, &hi);
    EXPECT_EQ(pts.size(), 32u); // trunc(16 / 0.5) samples: t = 310 / 31 = 10
    EXPECT_EQ(pts.back().x, 310);
    EXPECT_EQ(lo, 16.0);
    EXPECT_EQ(hi, 47.0);
}

TEST(WaveBuffer, ValuesBeyondTheRangeDrawAtTheEdgeRows) {
    CWaveBuffer buf;
    Size(buf, 4, 1);
    Append(buf, {0, 0, 0, 0, 50, -50, 10, NAN});
    std::vector<WavePoint> pts;
    double lo = 0, hi = 0;
    const WaveRect plot{0, 10, 4, 110};
    buf.BuildPolyline(plot, 0, 10, 0, 1.0, pts, &lo, &hi);
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_EQ(pts[0].y, 10);      // above the maximum: top row
    EXPECT_EQ(pts[1].y, 10 + 99); // below the minimum: bottom row
    EXPECT_EQ(pts[2].y, 10);      // exactly the maximum
    EXPECT_EQ(pts[3].y, 10 + 99); // not a number: kept inside the plot
    EXPECT_EQ(hi, 50.0);
    EXPECT_EQ(lo, -50.0);
}

TEST(WaveBuffer, HostileArgumentsStayInsideTheHistory) {
    CWaveBuffer buf;
    Size(buf, 8, 1);
    Append(buf, Ramp(1, 16));
    struct Case {
        WaveRect plot;
        double yMin, yMax;
        int offset;
        double zoom;
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, 0, 10, 0, 1.0},      // one pixel
        {{0, 0, 50, 50}, 5, 5, 0, 1.0},     // empty Y range
        {{0, 0, 50, 50}, 0, 10, 999, 1.0},  // offset past the frame
        {{0, 0, 50, 50}, 0, 10, -7, 1.0},   // negative offset
        {{0, 0, 50, 50}, 0, 10, 0, 0.0},    // no zoom
        {{0, 0, 50, 50}, 0, 10, 0, 0.01},   // zoomed out beyond the history
        {{0, 0, 50, 50}, 0, 10, 0, 1000.0}, // zoomed in beyond one sample
        {{0, 0, 0, 0}, 0, 10, 0, 1.0},      // empty plot
    };
    for (const Case& c : cases) {
        std::vector<WavePoint> pts;
        double lo = 0, hi = 0;
        buf.BuildPolyline(c.plot, c.yMin, c.yMax, c.offset, c.zoom, pts, &lo, &hi);
        for (const WavePoint& pt : pts) {
            EXPECT_TRUE(c.plot.Contains(pt.x, pt.y));
        }
        for (int x = -1; x <= c.plot.Width(); ++x) {
            double v = 0;
            if (buf.GetValueAtPixel(c.plot, c.yMin, c.yMax, c.offset, c.zoom, x, nullptr, nullptr,
                                    &v, nullptr)) {
                EXPECT_GE(v, 1.0);
                EXPECT_LE(v, 16.0);
            }
        }
    }
}

TEST(WaveBuffer, AppendsFromAWorkerWhileTheWindowDraws) {
    CWaveBuffer buf;
    Size(buf, 64, 1);
    buf.SetFrameAligned(true);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const std::vector<double> v = Ramp(0, 40);
        for (int i = 0; i < 2000; ++i)
            buf.Append(v.data(), 40);
        done = true;
    });
    std::vector<WavePoint> pts;
    while (!done) {
        pts.clear();
        double lo = 0, hi = 0;
        buf.BuildPolyline({0, 0, 200, 100}, 0, 64, 0, 1.0, pts, &lo, &hi);
        ASSERT_EQ(pts.size(), 64u);
    }
    writer.join();
    EXPECT_EQ(buf.framesReceived, 2000u * 40u / 64u);
}
