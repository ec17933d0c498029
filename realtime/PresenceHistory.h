#pragma once
// Target states of the latest reports, oldest first, and the pixel bands of the
// range plot in which a target was present.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Also the range plot's point count and the divisor of the range tooltip's time.
constexpr int kPresenceHistoryLength = 571;

using PresenceStates = std::array<std::uint8_t, kPresenceHistoryLength>;

// A run of plot columns [left, right) drawn as one band.
struct PresenceBand {
    int left = 0;
    int right = 0;
    friend bool operator==(const PresenceBand&, const PresenceBand&) = default;
};

// Written by the reader thread, read by the window thread while it paints.
class CPresenceHistory {
public:
    CPresenceHistory() { states_.fill(0); }

    // Drops the oldest entry, stores `state` as the newest and marks the history changed.
    void Push(std::uint8_t state);
    // All entries back to 0 (no target). Leaves the changed mark alone.
    void Clear();
    [[nodiscard]] PresenceStates Snapshot() const;

    [[nodiscard]] bool IsChanged() const { return changed_.load(); }
    void SetChanged(bool changed) { changed_.store(changed); }

private:
    mutable std::mutex lock_;
    PresenceStates states_{};
    std::atomic<bool> changed_{false};
};

// The bands over the plot columns left .. right-1: column x shows the entry
// round((x - left) / (width / 571)), halves away from zero, limited to the history.
// Any nonzero state marks a band; a band still open at the last column ends at `right`.
[[nodiscard]] std::vector<PresenceBand> ComputePresenceBands(const PresenceStates& states, int left,
                                                             int right);
