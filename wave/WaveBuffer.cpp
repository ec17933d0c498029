#include "wave/WaveBuffer.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Keeps sizes far from overflowing the byte count; larger requests are clamped.
constexpr int kMaxPointsPerFrame = 1 << 28;
constexpr int kMaxFrameCount = 1 << 16;

// Visible samples minus one at this zoom: trunc(p / zoom) - 1, never negative.
long long LastVisibleIndex(int pointsPerFrame, double zoom) {
    if (!(zoom > 0.0) || !std::isfinite(zoom))
        zoom = 1.0;
    const double visible = std::trunc(static_cast<double>(pointsPerFrame) / zoom);
    if (visible > static_cast<double>(LLONG_MAX / 2))
        return LLONG_MAX / 2;
    return std::max(0LL, static_cast<long long>(visible) - 1);
}

// Row of value v in a plot of height h showing yMin at the bottom and yMax at the top,
// rounded half away from zero and clamped to the plot.
double PixelRow(double v, double yMin, double yMax, int h) {
    const double span = yMax - yMin;
    const double hd = h;
    double y = span != 0.0 ? hd + hd * yMin / span - hd * v / span : hd / 2.0;
    y = std::round(y);
    if (std::isnan(y) || y > hd - 1.0)
        return hd - 1.0;
    return y < 0.0 ? 0.0 : y;
}

} // namespace

std::size_t CWaveBuffer::ElementSize() const {
    switch (type_) {
    case WAVE_SAMPLE_INT32:
        return 4;
    case WAVE_SAMPLE_DOUBLE:
        return 8;
    default:
        return 2;
    }
}

std::size_t CWaveBuffer::Capacity() const {
    return static_cast<std::size_t>(frameCount_) * static_cast<std::size_t>(pointsPerFrame_);
}

double CWaveBuffer::ValueAt(std::size_t index) const {
    if (storage_.empty())
        return 0.0;
    const std::uint8_t* at = storage_.data() + index * ElementSize();
    switch (type_) {
    case WAVE_SAMPLE_INT32: {
        std::int32_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    case WAVE_SAMPLE_DOUBLE: {
        double v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    default: {
        std::int16_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    }
}

void CWaveBuffer::Resize(bool keepStart) {
    const std::size_t bytes = Capacity() * ElementSize();
    if (keepStart && !storage_.empty()) {
        std::vector<std::uint8_t> next(bytes, 0);
        std::memcpy(next.data(), storage_.data(), std::min(bytes, storage_.size()));
        storage_.swap(next);
    } else {
        std::vector<std::uint8_t>().swap(storage_); // zero history, nothing allocated yet
    }
    pending_.Delete();
}

void CWaveBuffer::SetFrameCount(int n) {
    CAutoBaseLock guard(lock_);
    n = std::clamp(n, 0, kMaxFrameCount - 1);
    const bool hadHistory = hasHistory_;
    hasHistory_ = true;
    if (frameCount_ == n + 1)
        return;
    const std::size_t before = Capacity() * ElementSize();
    frameCount_ = n + 1;
    if (!hadHistory || Capacity() * ElementSize() != before)
        Resize(true);
}

void CWaveBuffer::SetSampleType(WaveSampleType type) {
    CAutoBaseLock guard(lock_);
    const std::size_t before = Capacity() * ElementSize();
    type_ = type;
    if (!hasHistory_ || Capacity() * ElementSize() != before)
        Resize(false);
    hasHistory_ = true;
}

void CWaveBuffer::SetPointsPerFrame(int n) {
    CAutoBaseLock guard(lock_);
    const std::size_t before = Capacity() * ElementSize();
    pointsPerFrame_ = std::clamp(n, 0, kMaxPointsPerFrame);
    if (!hasHistory_ || Capacity() * ElementSize() != before)
        Resize(false);
    hasHistory_ = true;
}

void CWaveBuffer::SetFrameAligned(bool aligned) {
    CAutoBaseLock guard(lock_);
    aligned_ = aligned;
}

void CWaveBuffer::Append(const void* samples, int count) {
    if (samples == nullptr || count <= 0)
        return;
    CAutoBaseLock guard(lock_);
    const int p = pointsPerFrame_;
    if (p <= 0 || !hasHistory_)
        return;

    const long long total = static_cast<long long>(leftover_) + count;
    framesReceived += static_cast<std::uint64_t>(total / p);
    leftover_ = static_cast<int>(total % p);

    const std::size_t s = ElementSize();
    const auto* incoming = static_cast<const std::uint8_t*>(samples);
    const std::uint8_t* source = incoming;
    std::size_t n = static_cast<std::size_t>(count);
    // Whole samples straight from the caller when nothing waits; else through pending.
    const bool direct = pending_.GetAvailSize() == 0 && (!aligned_ || n % p == 0);
    if (!direct) {
        pending_.AppendBuffer(incoming, n * s);
        source = pending_.GetBuffer();
        n = pending_.GetAvailSize() / s;
    }
    const std::size_t kept = aligned_ ? n % static_cast<std::size_t>(p) : 0;
    const std::size_t moved = n - kept;

    const std::size_t capacity = Capacity();
    if (moved > 0 && capacity > 0) {
        if (storage_.empty())
            storage_.assign(capacity * s, 0);
        std::uint8_t* history = storage_.data();
        if (moved < capacity) {
            std::memmove(history, history + moved * s, (capacity - moved) * s);
            std::memcpy(history + (capacity - moved) * s, source, moved * s);
        } else {
            std::memcpy(history, source + (moved - capacity) * s, capacity * s);
        }
    }
    if (!direct)
        pending_.SetBuffer(pending_.GetBuffer() + moved * s, kept * s);
}

void CWaveBuffer::Clear() {
    CAutoBaseLock guard(lock_);
    leftover_ = 0;
    std::fill(storage_.begin(), storage_.end(), std::uint8_t{0});
    pending_.SetAvailSize(0);
}

void CWaveBuffer::BuildPolyline(const WaveRect& plot, double yMin, double yMax, int offset,
                                double zoom, std::vector<WavePoint>& points, double* minOut,
                                double* maxOut) {
    CAutoBaseLock guard(lock_);
    double lo = 0.0;
    double hi = 0.0;
    const int p = pointsPerFrame_;
    const int w = plot.Width();
    const int h = plot.Height();
    if (hasHistory_ && p > 0 && w > 0 && h > 0) {
        lo = DBL_MAX;
        hi = -DBL_MAX;
        const long long n = LastVisibleIndex(p, zoom);
        const double q = w > 1 ? static_cast<double>(n) / (w - 1) : 0.0;
        const double t = n > 0 ? std::max(1.0, (w - 1.0) / static_cast<double>(n)) : w;
        const long long base = p - std::clamp(offset, 0, p);
        const long long last = static_cast<long long>(Capacity()) - 1;
        for (long long k = 0;; ++k) {
            const double s = static_cast<double>(k) * t;
            if (!(s < w))
                break;
            const int x = std::clamp(static_cast<int>(std::lround(s)), 0, w - 1);
            const long long j = std::clamp(std::llround(s * q), 0LL, n);
            const double v = ValueAt(static_cast<std::size_t>(std::clamp(base + j, 0LL, last)));
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            const int y = static_cast<int>(PixelRow(v, yMin, yMax, h));
            points.push_back({plot.left + x, plot.top + y});
        }
    }
    if (minOut != nullptr)
        *minOut = lo;
    if (maxOut != nullptr)
        *maxOut = hi;
}

bool CWaveBuffer::GetValueAtPixel(const WaveRect& plot, double yMin, double yMax, int offset,
                                  double zoom, int x, int* sampleOut, int* typeOut,
                                  double* valueOut, double* yOut) {
    CAutoBaseLock guard(lock_);
    const int p = pointsPerFrame_;
    const int w = plot.Width();
    if (p <= 0 || !hasHistory_ || x < 0 || x >= w || plot.Height() <= 0)
        return false;
    const int o = std::clamp(offset, 0, p);
    const long long n = LastVisibleIndex(p, zoom);
    const double q = w > 1 ? static_cast<double>(n) / (w - 1) : 0.0;
    const long long last = static_cast<long long>(Capacity()) - 1;
    const long long i = std::clamp(std::llround(q * x + (p - o)), 0LL, last);
    const double v = ValueAt(static_cast<std::size_t>(i));
    if (typeOut != nullptr)
        *typeOut = type_;
    if (valueOut != nullptr)
        *valueOut = v;
    if (yOut != nullptr)
        *yOut = PixelRow(v, yMin, yMax, plot.Height());
    if (sampleOut != nullptr)
        *sampleOut = static_cast<int>((i + o) % p);
    return true;
}

int CWaveBuffer::GetFrameCount() {
    CAutoBaseLock guard(lock_);
    return frameCount_;
}

int CWaveBuffer::GetPointsPerFrame() {
    CAutoBaseLock guard(lock_);
    return pointsPerFrame_;
}

WaveSampleType CWaveBuffer::GetSampleType() {
    CAutoBaseLock guard(lock_);
    return type_;
}

bool CWaveBuffer::IsFrameAligned() {
    CAutoBaseLock guard(lock_);
    return aligned_;
}

bool CWaveBuffer::HasHistory() {
    CAutoBaseLock guard(lock_);
    return hasHistory_;
}

std::size_t CWaveBuffer::GetAllocatedBytes() {
    CAutoBaseLock guard(lock_);
    return storage_.capacity();
}

int CWaveBuffer::GetPendingCount() {
    CAutoBaseLock guard(lock_);
    return static_cast<int>(pending_.GetAvailSize() / ElementSize());
}

std::vector<double> CWaveBuffer::GetHistory() {
    CAutoBaseLock guard(lock_);
    std::vector<double> values;
    if (!hasHistory_)
        return values;
    values.resize(Capacity());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = ValueAt(i);
    return values;
}
