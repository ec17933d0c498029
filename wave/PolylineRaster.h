#pragma once
// Anti-aliased wide polylines straight into a 32-bit pixel buffer. A general path
// stroker spends milliseconds on a few hundred wide segments; this one computes each
// covered pixel's distance to the nearest segment, so the cost follows the stroke's
// area. Caps and joins come out round, and overlapping segments never blend twice.

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
    struct Segment {
        float ax, ay, dx, dy, inv; // start, direction, 1 / length squared (0 for a dot)
    };
    struct Span {
        int row; // buffer row
        int x0;  // buffer columns, inclusive
        int x1;
        int segment;
    };
    void AddSegment(const RasterPoint& a, const RasterPoint& b);
    void CoverRow(const Span& span);
    void CompositeRow(std::uint32_t* line, const Span& span, std::uint32_t color);

    WaveRect clip_;
    float reach_ = 0.0f; // radius + half a pixel: coverage ends there
    std::vector<Segment> segments_;
    std::vector<Span> spans_;        // rows of every segment, in drawing order
    std::vector<Span> byRow_;        // the same spans grouped by row
    std::vector<int> rowStart_;      // first span of each clip row in byRow_
    std::vector<std::uint8_t> line_; // coverage of the row being drawn; zero between rows
};
