#pragma once
// Common palette of distinct line colours: 5 rows of 10, RGB values with red in the
// low byte. Row 0..4 start with green, red, yellow, cyan and magenta.

#include <cstdint>

extern const std::uint32_t gCommonColorTable[5][10];
