#pragma once
// Scrolling sample history of one wave and its mapping onto plot pixels.
// Readers append from their worker threads while the window thread draws, so every
// operation takes the buffer's own lock for its whole run.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/common/BaseBuffer.h"
#include "device/common/BaseLock.h"
#include "wave/WaveTypes.h"

// Element type of a history. Any other code is stored as 2-byte elements.
enum WaveSampleType : int {
    WAVE_SAMPLE_INT16 = 0,
    WAVE_SAMPLE_INT32 = 1,
    WAVE_SAMPLE_DOUBLE = 2,
};

class CWaveBuffer {
public:
    CWaveBuffer() = default;
    virtual ~CWaveBuffer() = default;
    CWaveBuffer(const CWaveBuffer&) = delete;
    CWaveBuffer& operator=(const CWaveBuffer&) = delete;

    // Holds n + 1 frames; keeps the start of the old history when the size changes.
    void SetFrameCount(int n);
    // These two zero the history when its byte size changes.
    void SetSampleType(WaveSampleType type);
    void SetPointsPerFrame(int n);
    void SetFrameAligned(bool aligned);

    // `samples` are `count` elements of the current sample type. Ignored until the
    // buffer has been given a size.
    void Append(const void* samples, int count);
    // Zeroes the history and drops pending samples; frames received is kept.
    void Clear();

    // Appends the pixel polyline of the visible samples to `points` and reports the
    // smallest and largest value drawn (both 0 when there is no history).
    void BuildPolyline(const WaveRect& plot, double yMin, double yMax, int offset, double zoom,
                       std::vector<WavePoint>& points, double* minOut, double* maxOut);
    // The sample under pixel column x (relative to the plot's left edge).
    [[nodiscard]] bool GetValueAtPixel(const WaveRect& plot, double yMin, double yMax, int offset,
                                       double zoom, int x, int* sampleOut, int* typeOut,
                                       double* valueOut, double* yOut);

    [[nodiscard]] int GetFrameCount();
    [[nodiscard]] int GetPointsPerFrame();
    [[nodiscard]] WaveSampleType GetSampleType();
    [[nodiscard]] bool IsFrameAligned();
    [[nodiscard]] bool HasHistory();
    // Bytes actually held for samples: a sized history stays unallocated (all zero)
    // until the first append, so unused wave slots cost nothing.
    [[nodiscard]] std::size_t GetAllocatedBytes();
    // Samples waiting for the rest of their frame (frame-aligned mode).
    [[nodiscard]] int GetPendingCount();
    // Copy of the whole history as doubles, oldest first.
    [[nodiscard]] std::vector<double> GetHistory();

    // Whole frames appended since the owner last zeroed it.
    std::atomic<std::uint64_t> framesReceived{0};

private:
    [[nodiscard]] std::size_t ElementSize() const;
    [[nodiscard]] std::size_t Capacity() const; // elements
    [[nodiscard]] double ValueAt(std::size_t index) const;
    void Resize(bool keepStart);

    CBaseLock lock_;
    WaveSampleType type_ = WAVE_SAMPLE_INT16;
    int pointsPerFrame_ = 1024;
    int frameCount_ = 2;
    bool aligned_ = false;
    bool hasHistory_ = false;
    std::vector<std::uint8_t> storage_; // empty while the sized history is still all zero
    CBaseBuffer pending_;
    int leftover_ = 0;
};
