#include "wave/PolylineRaster.h"

#include <algorithm>
#include <climits>
#include <cmath>

void CPolylineRaster::Draw(std::uint32_t* pixels, int strideInPixels, const WaveRect& clip,
                           const RasterPoint* points, int count, float width, std::uint32_t color) {
    if (pixels == nullptr || points == nullptr || count <= 0 || clip.IsEmpty() || !(width > 0.0f))
        return;
    const int w = clip.Width();
    const int h = clip.Height();
    if (!(clip_ == clip)) {
        clip_ = clip;
        coverage_.assign(static_cast<std::size_t>(w) * h, 0);
    }
    spans_.clear();
    // A pixel is covered by how far its centre lies inside radius + 0.5.
    const float radius = width / 2.0f;
    if (count == 1)
        Segment(points[0], points[0], radius);
    for (int i = 0; i + 1 < count; ++i)
        Segment(points[i], points[i + 1], radius);
    Composite(pixels, strideInPixels, color);
}

void CPolylineRaster::Segment(const RasterPoint& a, const RasterPoint& b, float radius) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return;
    const float reach = radius + 0.5f;
    const float reach2 = reach * reach;
    const float inner = std::max(0.0f, reach - 1.0f);
    const float inner2 = inner * inner;
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float len = std::sqrt(len2);
    const float inv = len2 > 0.0f ? 1.0f / len2 : 0.0f;

    const int w = clip_.Width();
    const int y0 = std::max(clip_.top, static_cast<int>(std::ceil(std::min(a.y, b.y) - reach)));
    const int y1 =
        std::min(clip_.bottom - 1, static_cast<int>(std::floor(std::max(a.y, b.y) + reach)));
    const float xMinSeg = std::min(a.x, b.x) - reach;
    const float xMaxSeg = std::max(a.x, b.x) + reach;

    for (int y = y0; y <= y1; ++y) {
        const float fy = static_cast<float>(y);
        float lo = xMinSeg;
        float hi = xMaxSeg;
        // Within `reach` of the infinite line through a and b.
        if (std::fabs(dy) > 1e-6f) {
            const float base = a.x + (fy - a.y) * dx / dy;
            const float half = std::fabs(reach * len / dy);
            lo = std::max(lo, base - half);
            hi = std::min(hi, base + half);
        } else if (std::fabs(fy - a.y) >= reach) {
            continue;
        }
        const int x0 = std::max(clip_.left, static_cast<int>(std::ceil(lo)));
        const int x1 = std::min(clip_.right - 1, static_cast<int>(std::floor(hi)));
        if (x0 > x1)
            continue;
        const int row = y - clip_.top;
        std::uint8_t* cov = coverage_.data() + static_cast<std::size_t>(row) * w;
        int touchedMin = INT_MAX;
        int touchedMax = INT_MIN;
        const float py = fy - a.y;
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) - a.x;
            const float t = std::clamp((px * dx + py * dy) * inv, 0.0f, 1.0f);
            const float ex = px - t * dx;
            const float ey = py - t * dy;
            const float d2 = ex * ex + ey * ey;
            if (d2 >= reach2)
                continue;
            // Deep inside the stroke needs no square root.
            const std::uint8_t v = d2 <= inner2
                                       ? 255
                                       : static_cast<std::uint8_t>(
                                             std::min(1.0f, reach - std::sqrt(d2)) * 255.0f + 0.5f);
            std::uint8_t& cell = cov[x - clip_.left];
            if (v > cell)
                cell = v;
            touchedMin = std::min(touchedMin, x);
            touchedMax = std::max(touchedMax, x);
        }
        if (touchedMin <= touchedMax)
            spans_.push_back({row, touchedMin, touchedMax});
    }
}

void CPolylineRaster::Composite(std::uint32_t* pixels, int strideInPixels, std::uint32_t color) {
    const int w = clip_.Width();
    const std::uint32_t sr = (color >> 16) & 0xFF;
    const std::uint32_t sg = (color >> 8) & 0xFF;
    const std::uint32_t sb = color & 0xFF;
    const std::uint32_t opaque = 0xFF000000u | (color & 0x00FFFFFFu);
    for (const Span& span : spans_) {
        const int row = span.row;
        std::uint8_t* cov = coverage_.data() + static_cast<std::size_t>(row) * w;
        std::uint32_t* line =
            pixels + static_cast<std::ptrdiff_t>(row + clip_.top) * strideInPixels;
        for (int x = span.x0; x <= span.x1; ++x) {
            const std::uint32_t c = cov[x - clip_.left];
            if (c == 0)
                continue;
            cov[x - clip_.left] = 0;
            if (c == 255) {
                line[x] = opaque;
                continue;
            }
            const std::uint32_t d = line[x];
            const std::uint32_t k = 255 - c;
            const auto mix = [c, k](std::uint32_t s, std::uint32_t t) {
                return (s * c + t * k + 127) / 255;
            };
            line[x] = mix(255, d >> 24) << 24 | mix(sr, (d >> 16) & 0xFF) << 16 |
                      mix(sg, (d >> 8) & 0xFF) << 8 | mix(sb, d & 0xFF);
        }
    }
}
