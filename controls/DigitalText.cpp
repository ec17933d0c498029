#include "controls/DigitalText.h"

#include "device/common/Conversion.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace {

template <typename T> T Read(const DigitalLimit& limit) {
    T v;
    std::memcpy(&v, limit.value, sizeof v);
    return v;
}

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string InvalidChar(char32_t c) {
    return "Invalid character '" + Utf8(c) + "'";
}

// Formats one value with a caller's printf pattern. The pattern comes from code
// (for example "%.1f"), never from the user.
template <typename T> std::string PrintWith(const std::string& format, T v) {
    char buf[64];
    const CClassicNumericScope classic; // the text is read back with '.'
    const int n = std::snprintf(buf, sizeof buf, format.c_str(), v);
    if (n < 0)
        return {};
    return std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

} // namespace

double DigitalLimitValue(const DigitalLimit& limit, DigitalValueType type) {
    switch (type) {
    case DIGITAL_INT32:
        return Read<std::int32_t>(limit);
    case DIGITAL_UINT32:
        return Read<std::uint32_t>(limit);
    case DIGITAL_INT64:
        return static_cast<double>(Read<std::int64_t>(limit));
    case DIGITAL_UINT64:
        return static_cast<double>(Read<std::uint64_t>(limit));
    case DIGITAL_FLOAT:
        return Read<float>(limit);
    case DIGITAL_DOUBLE:
        return Read<double>(limit);
    }
    return 0.0;
}

std::string DigitalLimitText(const DigitalLimit& limit, DigitalValueType type) {
    if (!limit.format.empty()) {
        switch (type) {
        case DIGITAL_INT32:
            return PrintWith(limit.format, Read<std::int32_t>(limit));
        case DIGITAL_UINT32:
            return PrintWith(limit.format, Read<std::uint32_t>(limit));
        case DIGITAL_INT64:
            return PrintWith(limit.format, static_cast<long long>(Read<std::int64_t>(limit)));
        case DIGITAL_UINT64:
            return PrintWith(limit.format,
                             static_cast<unsigned long long>(Read<std::uint64_t>(limit)));
        case DIGITAL_FLOAT:
            return PrintWith(limit.format, static_cast<double>(Read<float>(limit)));
        case DIGITAL_DOUBLE:
            return PrintWith(limit.format, Read<double>(limit));
        }
        return {};
    }
    switch (type) {
    case DIGITAL_INT32:
        return std::to_string(Read<std::int32_t>(limit));
    case DIGITAL_UINT32:
        return std::to_string(Read<std::uint32_t>(limit));
    case DIGITAL_INT64:
        return std::to_string(Read<std::int64_t>(limit));
    case DIGITAL_UINT64:
        return std::to_string(Read<std::uint64_t>(limit));
    case DIGITAL_FLOAT:
    case DIGITAL_DOUBLE: {
        const double v = DigitalLimitValue(limit, type);
        return FormatFixed(v, CountDecimals(v, 10));
    }
    }
    return {};
}

std::optional<DigitalViolation> CheckDigitalLimits(double x, DigitalValueType type,
                                                   const std::vector<DigitalLimit>& minimum,
                                                   const std::vector<DigitalLimit>& maximum) {
    auto check = [&](const DigitalLimit& limit, bool isMin) -> std::optional<DigitalViolation> {
        const double v = DigitalLimitValue(limit, type);
        const double slack = IsFloatDigitalType(type) ? limit.tolerance : 0.5;
        const bool violated = isMin ? x < v - slack : x > v + slack;
        if (!violated)
            return std::nullopt;
        DigitalViolation out;
        out.limitText = DigitalLimitText(limit, type);
        out.message = limit.name + (isMin ? " Must >= " : " Must <= ") + out.limitText;
        return out;
    };
    for (const DigitalLimit& limit : minimum)
        if (auto v = check(limit, true))
            return v;
    for (const DigitalLimit& limit : maximum)
        if (auto v = check(limit, false))
            return v;
    return std::nullopt;
}

std::optional<std::string> CheckTypedChar(DigitalValueType type, char32_t ch,
                                          std::u32string_view newText) {
    if ((ch >= U'0' && ch <= U'9') || ch < 0x20)
        return std::nullopt;
    if (ch == U'.') {
        if (!IsFloatDigitalType(type))
            return InvalidChar(ch);
        int points = 0;
        for (char32_t c : newText)
            if (c == U'.')
                ++points;
        return points > 1 ? std::optional<std::string>(InvalidChar(ch)) : std::nullopt;
    }
    if (ch == U'-') {
        if (IsUnsignedDigitalType(type))
            return InvalidChar(ch);
        if (newText.empty() || newText.front() != U'-' ||
            newText.find(U'-', 1) != std::u32string_view::npos)
            return InvalidChar(ch);
        return std::nullopt;
    }
    return InvalidChar(ch);
}

std::optional<std::string> CheckPastedText(std::u32string_view text) {
    for (char32_t c : text)
        if (!((c >= U'0' && c <= U'9') || c == U'.' || c == U'-'))
            return InvalidChar(c);
    return std::nullopt;
}

int CountDecimals(double x, int maxDecimals) {
    const double a = 1.0 / std::pow(10.0, maxDecimals);
    for (int d = 0; d < maxDecimals; ++d) {
        // Whole part toward zero; beyond 32 bits the library truncation keeps it defined.
        const double whole = std::fabs(x) < 2147483648.0
                                 ? static_cast<double>(static_cast<std::int32_t>(x))
                                 : std::trunc(x);
        const double f = std::fabs(x - whole);
        if (f < 0.01 && f < a)
            return d;
        x = f * 10.0;
    }
    return maxDecimals;
}

std::string FormatShortDouble(double x) {
    return FormatFixed(x, CountDecimals(x, 2));
}

double ParseLeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    auto isDigit = [&](std::size_t k) {
        return k < text.size() && text[k] >= '0' && text[k] <= '9';
    };
    std::size_t digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            ++k;
        if (isDigit(k)) {
            while (isDigit(k))
                ++k;
            i = k;
        }
    }
    double v = 0.0;
    // from_chars takes no '+' and no leading '.', both of which strtod takes; a
    // leading point gets a zero in front.
    std::string number;
    if (text[start] == '.')
        number = "0";
    number.append(text.substr(start, i - start));
    const auto res = std::from_chars(number.data(), number.data() + number.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Overflow saturates to infinity like strtod; underflow gives 0.
        v = (number.find_first_of("eE") != std::string::npos &&
             number[number.find_first_of("eE") + 1] == '-')
                ? 0.0
                : std::numeric_limits<double>::infinity();
    } else if (res.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -v : v;
}
