#include "realtime/ObjectInfoLogic.h"

#include <algorithm>

#include "realtime/PresenceHistory.h"

TargetDisplay DecideTargetDisplay(int state, int rangeCm) {
    switch (state) {
    case 0:
        return {true, 0.0, LampChange::Off};
    case 1:
        return {true, rangeCm / 100.0, LampChange::On};
    default:
        return {false, 0.0, LampChange::Keep};
    }
}

int GateShadeLeft(int left, int right, std::uint32_t gateMax) {
    const double gates = static_cast<double>(gateMax) + 1.0;
    const double offset = (right - left) * 0.0625 * gates;
    if (offset >= right - left)
        return right;
    return left + static_cast<int>(offset);
}

double RangeSampleAgeSeconds(int sampleIndex) {
    return (kPresenceHistoryLength - sampleIndex) * 60.0 / kPresenceHistoryLength;
}
