#include "device/common/Conversion.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
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
    const bool hex = s.size() > pos + 2 && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X');

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
            v = std::strtod(s.c_str(), &end);
            if (*end != '\0' || end == s.c_str() || !std::isfinite(v))
                return false;
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

void HQ_Sleep(unsigned int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
