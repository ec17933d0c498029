#pragma once
// Plain geometry shared by the plot core and the plot window (pixels, Windows-style
// half-open rectangles: right and bottom are one past the last pixel).

#include <algorithm>

struct WaveRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int Width() const { return right - left; }
    [[nodiscard]] int Height() const { return bottom - top; }
    [[nodiscard]] bool IsEmpty() const { return right <= left || bottom <= top; }
    [[nodiscard]] bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    // The part of this rectangle inside `bound`; empty (all zero) when they do not meet.
    [[nodiscard]] WaveRect Bounded(const WaveRect& bound) const {
        WaveRect r{std::max(left, bound.left), std::max(top, bound.top),
                   std::min(right, bound.right), std::min(bottom, bound.bottom)};
        return r.IsEmpty() ? WaveRect{} : r;
    }
    friend bool operator==(const WaveRect&, const WaveRect&) = default;
};

struct WavePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const WavePoint&, const WavePoint&) = default;
};
