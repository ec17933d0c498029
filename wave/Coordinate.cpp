#include "wave/Coordinate.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace {
constexpr double kWrapTolerance = 1e-16;

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}
} // namespace

void CCoordinate::SetFont(int points, std::uint32_t color, int newDecimals) {
    fontPoints = points;
    fontFace = "黑体";
    textColor = color;
    decimals = newDecimals;
    indent = 0;
    prefix.clear();
    suffix.clear();
}

void CCoordinate::AddLabel(int tickIndex, const std::string& text) {
    fixedLabels.push_back({tickIndex, text, -1});
}

void CCoordinate::ClearLabels() {
    fixedLabels.clear();
}

double CCoordinate::Step() const {
    return tickCount >= 2 ? (maximum - minimum) / (tickCount - 1) : 0.0;
}

int CCoordinate::EffectiveDecimals() const {
    if (decimals >= 0)
        return decimals;
    const double step = std::fabs(Step());
    int d = 0;
    while (d < 10 && !(step * std::pow(10.0, d) >= 1.0))
        ++d;
    return d;
}

double CCoordinate::Fold(double u) const {
    const double period = wrapPeriod;
    if (!(period > 0.0))
        return u;
    if (u < wrapLow - kWrapTolerance || u > wrapHigh + kWrapTolerance) {
        u -= std::trunc(u / period) * period;
        if (u < wrapLow - kWrapTolerance)
            u += period;
        else if (u > wrapHigh + kWrapTolerance)
            u -= period;
    }
    return u;
}

double CCoordinate::TickValue(int i) const {
    return minimum + (vertical ? tickCount - 1 - i : i) * Step();
}

std::string CCoordinate::TickText(int i) const {
    for (const FixedLabel& label : fixedLabels)
        if (label.tickIndex == i)
            return label.text;
    const int d = EffectiveDecimals();
    const double scale = std::pow(10.0, d);
    const double v = TickValue(i);
    double u = Fold(std::round(v * scale) / scale);
    if (u == 0.0)
        u = 0.0; // no "-0"
    // The number is formatted on its own: prefix and suffix are text, never a format.
    char number[64];
    std::snprintf(number, sizeof number, "%.*f", d, u);
    return prefix + number + suffix;
}

std::vector<CoordinateCell> CCoordinate::Layout() const {
    std::vector<CoordinateCell> cells;
    const int k = tickCount;
    if (k <= 0)
        return cells;
    WaveRect r = band;
    // The clinging edge keeps `indent` pixels free.
    if (vertical) {
        if (side == 0)
            r.left += indent;
        else if (side == 2)
            r.right -= indent;
    } else {
        if (side == 0)
            r.top += indent;
        else if (side == 2)
            r.bottom -= indent;
    }
    const int origin = vertical ? r.top : r.left;
    const double length = vertical ? r.bottom - r.top : r.right - r.left;
    const double e = k >= 2 ? length / k : 0.0;
    const double f = k >= 2 ? length / (k - 1) : 0.0;
    const int across = side == 1 ? 1 : (side == 2 ? 2 : 0);

    cells.reserve(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) {
        int from;
        int to;
        int along;
        if (i == 0) {
            from = origin;
            to = origin + RoundToInt(e);
            along = 0;
        } else if (i == k - 1) {
            from = origin + RoundToInt(i * e);
            to = origin + RoundToInt((i + 1) * e);
            along = 2;
        } else {
            from = origin + RoundToInt((i - 0.5) * f);
            to = origin + RoundToInt((i + 0.5) * f);
            along = 1;
        }
        CoordinateCell cell;
        if (vertical) {
            cell.rect = {r.left, from, r.right, to};
            cell.hAlign = across;
            cell.vAlign = along;
            cell.text = TickText(i);
        } else {
            cell.rect = {from, r.top, to, r.bottom};
            cell.hAlign = along;
            cell.vAlign = across;
            cell.text = TickText(i);
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}
