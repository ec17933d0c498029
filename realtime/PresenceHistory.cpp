#include "realtime/PresenceHistory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void CPresenceHistory::Push(std::uint8_t state) {
    {
        std::lock_guard guard(lock_);
        std::memmove(states_.data(), states_.data() + 1, states_.size() - 1);
        states_.back() = state;
    }
    changed_.store(true);
}

void CPresenceHistory::Clear() {
    std::lock_guard guard(lock_);
    states_.fill(0);
}

PresenceStates CPresenceHistory::Snapshot() const {
    std::lock_guard guard(lock_);
    return states_;
}

std::vector<PresenceBand> ComputePresenceBands(const PresenceStates& states, int left, int right) {
    std::vector<PresenceBand> bands;
    const int width = right - left;
    if (width <= 0)
        return bands;
    const double step = width / static_cast<double>(kPresenceHistoryLength);
    bool open = false;
    int start = 0;
    for (int x = left; x < right; ++x) {
        const double position = (x - left) / step;
        const int index =
            std::clamp(static_cast<int>(std::floor(position + 0.5)), 0, kPresenceHistoryLength - 1);
        if (states[static_cast<std::size_t>(index)] != 0) {
            if (!open) {
                open = true;
                start = x;
            }
        } else if (open) {
            bands.push_back({start, x});
            open = false;
        }
    }
    if (open)
        bands.push_back({start, right});
    return bands;
}
