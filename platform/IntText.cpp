#include "IntText.h"

#include <cstdint>

namespace Platform {
namespace {

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> parseInt32(std::string_view s, IntSpelling spelling) noexcept {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const bool toolkit = spelling == IntSpelling::Toolkit;
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || (toolkit && s[i] == 'X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && s[i + 1] == 'x') {
        hex = true;
        i += 2;
    }
    if (i == s.size())
        return std::nullopt;  // no digits
    // The work file counts the digits themselves, so "$0000000010" is not an integer there.
    if (hex && !toolkit && s.size() - i > 8)
        return std::nullopt;
    // Decimal values must fit in 32 signed bits; hexadecimal ones are a 32-bit pattern (so
    // "$80000008" is -2147483640), and then the sign applies to that value.
    const std::int64_t limit = hex ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = digitValue(s[i], hex);
        if (d < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + d;
        if (value > limit)
            return std::nullopt;
    }
    if (hex)
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace Platform
