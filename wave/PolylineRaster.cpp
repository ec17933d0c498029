#include "wave/PolylineRaster.h"

#include <algorithm>
#include <cmath>

// The work goes row by row: every segment's share of a row is covered into one
// row-sized line that stays in the fastest cache, then blended once into the pixels.
// Keeping a coverage value per pixel of the whole plot instead made each segment row a
// cache miss, which cost more than the arithmetic.

void CPolylineRaster::Draw(std::uint32_t* pixels, int strideInPixels, const WaveRect& clip,
                           const RasterPoint* points, int count, float width, std::uint32_t color) {
    if (pixels == nullptr || points == nullptr || count <= 0 || clip.IsEmpty() || !(width > 0.0f))
        return;
    clip_ = clip;
    reach_ = width / 2.0f + 0.5f;
    if (line_.size() != static_cast<std::size_t>(clip.Width()))
        line_.assign(static_cast<std::size_t>(clip.Width()), 0);
    segments_.clear();
    spans_.clear();
    if (count == 1)
        AddSegment(points[0], points[0]);
    for (int i = 0; i + 1 < count; ++i)
        AddSegment(points[i], points[i + 1]);
    if (spans_.empty())
        return;

    // Group the spans by row (counting sort: rows are few and bounded).
    const int rows = clip.Height();
    rowStart_.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (const Span& s : spans_)
        ++rowStart_[s.row - clip.top + 1];
    for (int r = 0; r < rows; ++r)
        rowStart_[r + 1] += rowStart_[r];
    byRow_.resize(spans_.size());
    for (const Span& s : spans_)
        byRow_[rowStart_[s.row - clip.top]++] = s;
    // rowStart_[r] now holds the end of row r; the start is the previous row's end.

    const std::uint32_t opaque = 0xFF000000u | (color & 0x00FFFFFFu);
    int begin = 0;
    for (int r = 0; r < rows; ++r) {
        const int end = rowStart_[r];
        if (begin == end)
            continue;
        for (int i = begin; i < end; ++i)
            CoverRow(byRow_[i]);
        std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(r + clip.top) * strideInPixels;
        // Neighbouring segments overlap; blend each run of touching spans once.
        Span run = byRow_[begin];
        for (int i = begin + 1; i < end; ++i) {
            const Span& next = byRow_[i];
            if (next.x0 <= run.x1 + 1 && next.x1 >= run.x0 - 1) {
                run.x0 = std::min(run.x0, next.x0);
                run.x1 = std::max(run.x1, next.x1);
            } else {
                CompositeRow(line, run, opaque);
                run = next;
            }
        }
        CompositeRow(line, run, opaque);
        begin = end;
    }
}

void CPolylineRaster::AddSegment(const RasterPoint& a, const RasterPoint& b) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return;
    const float reach = reach_;
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float len = std::sqrt(len2);
    const int index = static_cast<int>(segments_.size());
    segments_.push_back({a.x, a.y, dx, dy, len2 > 0.0f ? 1.0f / len2 : 0.0f});

    // Rows and, per row, the columns within `reach` of the segment (a little more).
    const float yLo = std::max(static_cast<float>(clip_.top), std::min(a.y, b.y) - reach);
    const float yHi = std::min(static_cast<float>(clip_.bottom - 1), std::max(a.y, b.y) + reach);
    if (!(yLo <= yHi))
        return;
    const float xMinSeg = std::max(static_cast<float>(clip_.left), std::min(a.x, b.x) - reach);
    const float xMaxSeg = std::min(static_cast<float>(clip_.right - 1), std::max(a.x, b.x) + reach);
    if (!(xMinSeg <= xMaxSeg))
        return;
    const bool slanted = std::fabs(dy) > 1e-6f;
    const float slope = slanted ? dx / dy : 0.0f;
    const float half = slanted ? std::fabs(reach * len / dy) : 0.0f;
    for (int y = static_cast<int>(std::ceil(yLo)); y <= static_cast<int>(std::floor(yHi)); ++y) {
        const float fy = static_cast<float>(y);
        float lo = xMinSeg;
        float hi = xMaxSeg;
        if (slanted) { // within `reach` of the infinite line through a and b
            const float base = a.x + (fy - a.y) * slope;
            lo = std::max(lo, base - half);
            hi = std::min(hi, base + half);
        } else if (std::fabs(fy - a.y) >= reach) {
            continue;
        }
        const int x0 = static_cast<int>(std::ceil(lo));
        const int x1 = static_cast<int>(std::floor(hi));
        if (x0 <= x1)
            spans_.push_back({y, x0, x1, index});
    }
}

void CPolylineRaster::CoverRow(const Span& span) {
    const Segment s = segments_[static_cast<std::size_t>(span.segment)];
    const float reach = reach_;
    const float py = static_cast<float>(span.row) - s.ay;
    std::uint8_t* cov = line_.data();
    const int left = clip_.left;
    const int x0 = span.x0; // locals: byte stores may alias anything behind a reference
    const int x1 = span.x1;
    // Branch-free (selects, not jumps) so the compiler does several pixels at once.
    for (int x = x0; x <= x1; ++x) {
        const float px = static_cast<float>(x) - s.ax;
        float t = (px * s.dx + py * s.dy) * s.inv; // nearest point along the segment
        t = t < 0.0f ? 0.0f : t;
        t = t > 1.0f ? 1.0f : t;
        const float ex = px - t * s.dx;
        const float ey = py - t * s.dy;
        float c = reach - std::sqrt(ex * ex + ey * ey);
        c = c < 0.0f ? 0.0f : c;
        c = c > 1.0f ? 1.0f : c;
        const int v = static_cast<int>(c * 255.0f + 0.5f);
        const int old = cov[x - left];
        cov[x - left] = static_cast<std::uint8_t>(v > old ? v : old);
    }
}

void CPolylineRaster::CompositeRow(std::uint32_t* line, const Span& span, std::uint32_t color) {
    const std::uint32_t sr = (color >> 16) & 0xFF;
    const std::uint32_t sg = (color >> 8) & 0xFF;
    const std::uint32_t sb = color & 0xFF;
    std::uint8_t* cov = line_.data();
    const int left = clip_.left;
    const int x0 = span.x0;
    const int x1 = span.x1;
    for (int x = x0; x <= x1; ++x) {
        const std::uint32_t c = cov[x - left];
        if (c == 0) // uncovered, or already blended by an overlapping span
            continue;
        cov[x - left] = 0;
        if (c == 255) {
            line[x] = color;
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
