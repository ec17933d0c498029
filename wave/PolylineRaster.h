#pragma once
// Anti-aliased wide polylines straight into a 32-bit pixel buffer. A general path
// stroker spends milliseconds on a few hundred wide segments; this one computes each
// covered pixel's distance to the nearest segment, so the cost follows the stroke's
// area. Caps and joins come out round, and overlapping segments never darken twice.

#include <cstdint>
#include <vector>

#include "wave/WaveTypes.h"

struct RasterPoint {
    float x = 0.0f; // pixel index space: (3, 4) is the centre of pixel column 3, row 4
    float y = 0.0f;
};

class CPolylineRaster {
public:
    // Draws the polyline with the given width and opaque colour (0x00RRGGBB or
    // 0xFFRRGGBB; alpha is taken as opaque) over premultiplied or plain 32-bit ARGB
    // pixels, touching nothing outside `clip` (which must lie inside the buffer).
    void Draw(std::uint32_t* pixels, int strideInPixels, const WaveRect& clip,
              const RasterPoint* points, int count, float width, std::uint32_t color);

private:
    void Segment(const RasterPoint& a, const RasterPoint& b, float radius);
    void Composite(std::uint32_t* pixels, int strideInPixels, std::uint32_t color);

    WaveRect clip_;
    struct Span {
        int row; // clip row
        int x0;  // buffer columns, inclusive
        int x1;
    };
    std::vector<std::uint8_t> coverage_; // clip-sized, zero between calls
    std::vector<Span> spans_;            // where coverage was written; may overlap
};
