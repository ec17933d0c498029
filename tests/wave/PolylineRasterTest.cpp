#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "wave/PolylineRaster.h"

namespace {

constexpr int kW = 64;
constexpr int kH = 32;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kGreen = 0xFF00FF00;

struct Canvas {
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(kW * kH, kBlack);
    std::uint32_t At(int x, int y) const { return px[y * kW + x]; }
    int Green(int x, int y) const { return static_cast<int>((At(x, y) >> 8) & 0xFF); }
};

void Draw(CPolylineRaster& r, Canvas& c, std::vector<RasterPoint> pts, float width,
          WaveRect clip = {0, 0, kW, kH}) {
    r.Draw(c.px.data(), kW, clip, pts.data(), static_cast<int>(pts.size()), width, kGreen);
}

} // namespace

TEST(PolylineRaster, WideLineCoversItsWidthWithRoundCaps) {
    CPolylineRaster r;
    Canvas c;
    Draw(r, c, {{10, 10}, {50, 10}}, 5);
    for (int y = 6; y <= 14; ++y) {
        const bool inside = y >= 8 && y <= 12;
        EXPECT_EQ(c.At(30, y), inside ? kGreen : kBlack) << y;
    }
    // Round cap: the end reaches 2 pixels beyond the point on the axis only.
    EXPECT_EQ(c.At(52, 10), kGreen);
    EXPECT_EQ(c.At(53, 10), kBlack);
    EXPECT_LT(c.Green(52, 12), 64); // corner: only a sliver of coverage
    EXPECT_EQ(c.At(53, 12), kBlack);
    EXPECT_EQ(c.At(8, 10), kGreen);
}

TEST(PolylineRaster, EdgesBetweenPixelsAreBlended) {
    CPolylineRaster r;
    Canvas c;
    Draw(r, c, {{10, 10.5f}, {50, 10.5f}}, 5); // edges halfway through rows 8 and 13
    EXPECT_NEAR(c.Green(30, 8), 128, 2);
    EXPECT_NEAR(c.Green(30, 13), 128, 2);
    EXPECT_EQ(c.At(30, 10), kGreen);
    EXPECT_EQ(c.At(30, 8) >> 24, 0xFFu); // stays opaque
}

TEST(PolylineRaster, OverlappingSegmentsNeverBlendTwice) {
    CPolylineRaster r;
    Canvas once, back;
    Draw(r, once, {{5, 5.3f}, {40, 20.7f}}, 3);
    Draw(r, back, {{5, 5.3f}, {40, 20.7f}, {5, 5.3f}, {40, 20.7f}}, 3);
    // Each pixel takes its strongest coverage once (up to float noise between directions);
    // blending twice would push partly covered pixels far towards full green.
    int partial = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            EXPECT_NEAR(back.Green(x, y), once.Green(x, y), 1) << x << "," << y;
            partial += once.Green(x, y) > 0 && once.Green(x, y) < 200;
        }
    EXPECT_GT(partial, 20);
}

TEST(PolylineRaster, StaysInsideTheClipAndIgnoresBadPoints) {
    CPolylineRaster r;
    Canvas c;
    const WaveRect clip{10, 5, 30, 20};
    Draw(r, c, {{0, 0}, {63, 31}, {NAN, 3}, {5, INFINITY}, {-1e9f, 1e9f}, {60, 2}}, 7, clip);
    int inside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (clip.Contains(x, y))
                inside += c.At(x, y) != kBlack;
            else
                EXPECT_EQ(c.At(x, y), kBlack) << x << "," << y;
        }
    EXPECT_GT(inside, 0);
    // A single point is a dot; nothing at all for no points or no width.
    Canvas dot;
    Draw(r, dot, {{20, 20}}, 5);
    EXPECT_EQ(dot.At(20, 20), kGreen);
    Canvas none;
    Draw(r, none, {}, 5);
    Draw(r, none, {{1, 1}, {9, 9}}, 0);
    EXPECT_EQ(none.px, Canvas().px);
}
