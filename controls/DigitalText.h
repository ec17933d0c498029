#pragma once
// Number text rules of the numeric edit, kept free of widgets so they can be
// tested headless: the keystroke filter, limit entries and their check, the
// short decimal form of doubles and the lenient leading-number parse.

#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/common/Conversion.h"

enum DigitalValueType {
    DIGITAL_INT32 = 0,
    DIGITAL_UINT32 = 1,
    DIGITAL_INT64 = 2,
    DIGITAL_UINT64 = 3,
    DIGITAL_FLOAT = 4,
    DIGITAL_DOUBLE = 5,
};

[[nodiscard]] constexpr bool IsFloatDigitalType(DigitalValueType type) {
    return type == DIGITAL_FLOAT || type == DIGITAL_DOUBLE;
}
[[nodiscard]] constexpr bool IsUnsignedDigitalType(DigitalValueType type) {
    return type == DIGITAL_UINT32 || type == DIGITAL_UINT64;
}

// One limit of a numeric edit. The value is kept as the bytes of the type in
// force when it was set (32-bit types in the low four bytes); it is read back
// by the type in force when tested, so callers set the type before the limits.
struct DigitalLimit {
    DigitalValueType typeWhenSet = DIGITAL_INT32;
    std::uint8_t value[8] = {};
    double tolerance = 0.0;
    std::string name;   // "MinValue" or "MaxValue"
    std::string format; // printf pattern for one value of the edit's type; may be empty
};

namespace digital_detail {
template <typename To, typename From> To SaturatingCast(From v) {
    if constexpr (std::floating_point<From>) {
        if constexpr (std::floating_point<To>) {
            return static_cast<To>(v);
        } else {
            if (!(v == v))
                return To{};
            if (v <= static_cast<From>(std::numeric_limits<To>::min()))
                return std::numeric_limits<To>::min();
            if (v >= static_cast<From>(std::numeric_limits<To>::max()))
                return std::numeric_limits<To>::max();
            return static_cast<To>(v);
        }
    } else if constexpr (std::floating_point<To>) {
        return static_cast<To>(v);
    } else {
        if (std::cmp_less(v, std::numeric_limits<To>::min()))
            return std::numeric_limits<To>::min();
        if (std::cmp_greater(v, std::numeric_limits<To>::max()))
            return std::numeric_limits<To>::max();
        return static_cast<To>(v);
    }
}
template <typename To, typename From> void Store(From v, std::uint8_t (&out)[8]) {
    const To x = SaturatingCast<To>(v);
    std::memset(out, 0, sizeof out);
    std::memcpy(out, &x, sizeof x);
}
} // namespace digital_detail

// Builds a limit entry holding `value` converted (saturating) to `type`.
template <typename T>
requires std::is_arithmetic_v<T> DigitalLimit MakeDigitalLimit(DigitalValueType type, T value,
                                                               double tolerance, const char* format,
                                                               bool minimum) {
    using namespace digital_detail;
    DigitalLimit limit;
    limit.typeWhenSet = type;
    switch (type) {
    case DIGITAL_INT32:
        Store<std::int32_t>(value, limit.value);
        break;
    case DIGITAL_UINT32:
        Store<std::uint32_t>(value, limit.value);
        break;
    case DIGITAL_INT64:
        Store<std::int64_t>(value, limit.value);
        break;
    case DIGITAL_UINT64:
        Store<std::uint64_t>(value, limit.value);
        break;
    case DIGITAL_FLOAT:
        Store<float>(value, limit.value);
        break;
    case DIGITAL_DOUBLE:
        Store<double>(value, limit.value);
        break;
    }
    limit.tolerance = tolerance;
    limit.name = minimum ? "MinValue" : "MaxValue";
    limit.format = format != nullptr ? format : "";
    return limit;
}

// The limit's bytes read by `type`.
[[nodiscard]] double DigitalLimitValue(const DigitalLimit& limit, DigitalValueType type);
// The limit printed by its format, or by the type's own form when it has none
// (floats with as many decimals as CountDecimals(v, 10) asks for).
[[nodiscard]] std::string DigitalLimitText(const DigitalLimit& limit, DigitalValueType type);

struct DigitalViolation {
    std::string message;   // "MinValue Must >= 1"
    std::string limitText; // the text that replaces the entry
};

// Tests x against the minimum entries, then the maximum entries; the first
// violated entry wins. Integer types allow half a unit, float types the tolerance.
[[nodiscard]] std::optional<DigitalViolation>
CheckDigitalLimits(double x, DigitalValueType type, const std::vector<DigitalLimit>& minimum,
                   const std::vector<DigitalLimit>& maximum);

// The keystroke filter: `ch` was typed and the field now reads `newText`.
// Returns the rejection message ("Invalid character '.'"), or nothing when accepted.
[[nodiscard]] std::optional<std::string> CheckTypedChar(DigitalValueType type, char32_t ch,
                                                        std::u32string_view newText);
// A whole text that arrived at once (pasted): refused only for a character
// that can be no part of a number (digits, '.' and '-' pass, whatever the type,
// so a pasted 15.4 reaches the limit check of an integer field).
[[nodiscard]] std::optional<std::string> CheckPastedText(std::u32string_view text);

// Number of decimals (at most maxDecimals) needed to show x.
[[nodiscard]] int CountDecimals(double x, int maxDecimals);
// FormatFixed (x with exactly `decimals` decimals, whatever the locale) is in
// device/common/Conversion.h.
// x with CountDecimals(x, 2) decimals: 3.0 -> "3", 2.5 -> "2.5", 1.999 -> "2.00".
[[nodiscard]] std::string FormatShortDouble(double x);
// The longest leading part of `text` that forms a decimal number (leading
// blanks, sign, digits, point, exponent) as a double; 0 when there is none.
[[nodiscard]] double ParseLeadingDouble(std::string_view text);
