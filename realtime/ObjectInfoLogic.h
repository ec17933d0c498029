#pragma once
// Decisions of the real-time page that need no window: what the target text and
// the lamp show, where the gates beyond the maximum start, the range tooltip's time.

#include <cstdint>

enum class LampChange { Off, On, Keep };

struct TargetDisplay {
    bool showRange = true; // false: the target text is emptied
    double meters = 0.0;   // the value for the "Target Range" pattern
    LampChange lamp = LampChange::Off;
};

// State 0: range 0.00 and the lamp off; 1: the range in metres and the lamp on;
// any other state: no text, the lamp as it was.
[[nodiscard]] TargetDisplay DecideTargetDisplay(int state, int rangeCm);

// Left edge of the shading over the gates beyond `gateMax` in an energy plot
// spanning left..right (16 gates): left + trunc(width / 16 x (gateMax + 1)),
// never beyond right.
[[nodiscard]] int GateShadeLeft(int left, int right, std::uint32_t gateMax);

// Seconds before now of range sample `sampleIndex` (0 the oldest of 571, 570 the newest).
[[nodiscard]] double RangeSampleAgeSeconds(int sampleIndex);
