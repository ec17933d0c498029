#include "device/common/Conversion.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include <locale.h>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

bool DigtalStringToValue(const char* text, std::size_t length, void* target, int type) {
    if (text == nullptr || target == nullptr)
        return false;
    std::size_t b = 0, e = 0;
    while (e < length && text[e] != '\0')
        ++e;
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    if (b == e)
        return false;
    const std::string s(text + b, e - b);
    bool negative = false;
    std::size_t pos = 0;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        pos = 1;
    }
    const bool hex =
        s.size() > pos + 2 && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X');

    if (type == DIGITAL_TYPE_DOUBLE) {
        double v = 0;
        char* end = nullptr;
        errno = 0;
        if (hex) {
            const unsigned long long u = std::strtoull(s.c_str() + pos + 2, &end, 16);
            if (*end != '\0' || errno == ERANGE)
                return false;
            v = negative ? -static_cast<double>(u) : static_cast<double>(u);
        } else {
            // from_chars ignores the locale (strtod would want "33,33" under a
            // German one) but takes no '+'; the sign was read above.
            const char* first = s.data() + pos;
            const char* last = s.data() + s.size();
            if (first == last || *first == '-' || *first == '+')
                return false;
            const auto [ptr, ec] = std::from_chars(first, last, v);
            if (ptr != last)
                return false;
            if (ec == std::errc::result_out_of_range) {
                // Too small to hold is zero, as strtod gives; too large is refused.
                const std::size_t exp = s.find_first_of("eE", pos);
                if (exp == std::string::npos || exp + 1 >= s.size() || s[exp + 1] != '-')
                    return false;
                v = 0.0;
            } else if (ec != std::errc() || !std::isfinite(v)) {
                return false;
            }
            if (negative)
                v = -v;
        }
        *static_cast<double*>(target) = v;
        return true;
    }
    if (type != DIGITAL_TYPE_FLAG && type != DIGITAL_TYPE_INT32 && type != DIGITAL_TYPE_UINT32)
        return false;
    const char* digits = s.c_str() + pos + (hex ? 2 : 0);
    if (*digits == '-' || *digits == '+' || *digits == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long u = std::strtoull(digits, &end, hex ? 16 : 10);
    if (*end != '\0' || errno == ERANGE)
        return false;
    if (type == DIGITAL_TYPE_UINT32) {
        if (negative || u > 0xFFFFFFFFull)
            return false;
        *static_cast<std::uint32_t*>(target) = static_cast<std::uint32_t>(u);
        return true;
    }
    // Signed: decimal must fit; hexadecimal may give the bit pattern (0xFFFFFFFF = -1).
    long long v;
    if (hex && !negative) {
        if (u > 0xFFFFFFFFull)
            return false;
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
    } else {
        if (u > 0x80000000ull || (!negative && u > 0x7FFFFFFFull))
            return false;
        v = negative ? -static_cast<long long>(u) : static_cast<long long>(u);
    }
    *static_cast<std::int32_t*>(target) = static_cast<std::int32_t>(v);
    return true;
}

std::string FormatFixed(double value, int decimals) {
    char buf[400];
    const auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return {};
    return std::string(buf, ptr);
}

namespace {
locale_t ClassicLocale() {
    static const locale_t classic = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}
} // namespace

CClassicNumericScope::CClassicNumericScope() {
    if (const locale_t classic = ClassicLocale(); classic != static_cast<locale_t>(nullptr))
        previous_ = ::uselocale(classic);
}

CClassicNumericScope::~CClassicNumericScope() {
    if (previous_ != nullptr)
        ::uselocale(static_cast<locale_t>(previous_));
}

void UseClassicNumericLocale() {
    std::setlocale(LC_NUMERIC, "C");
}

void HQ_Sleep(unsigned int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
