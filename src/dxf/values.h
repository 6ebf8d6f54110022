// Locale-free conversion of DXF group codes and values; a value that does not convert is reported,
// never thrown, so the caller can leave its field unchanged.
#pragma once

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace quentar::dxf {

// A code line that is not a canonical decimal number ("010", "1a", "") matches no known code:
// codes are compared as trimmed text, so "010" is not group 10.
inline constexpr int kNoCode = INT_MIN;

inline int parseGroupCode(std::string_view s) {
    if (s.empty() || s.size() > 9) return kNoCode;
    std::size_t i = 0;
    bool neg = false;
    if (s[0] == '-') {
        neg = true;
        i = 1;
        if (s.size() == 1) return kNoCode;
    }
    if (s[i] == '0' && s.size() > i + 1) return kNoCode;
    if (neg && s[i] == '0') return kNoCode;
    int v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c < '0' || c > '9') return kNoCode;
        v = v * 10 + (c - '0');
    }
    return neg ? -v : v;
}

// Real: "." as decimal separator, optional sign and exponent. Infinity and NaN do not convert:
// they would poison every sum the drawing feeds.
inline bool toReal(std::string_view s, double &out) {
    if (!s.empty() && s[0] == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s[0] == '-' || s[0] == '+')) return false;
    }
    if (s.empty()) return false;
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

// Integer: decimal with optional sign; a leading "$" makes it hexadecimal (up to 32 bits, which
// wrap into the signed range as a 32-bit value does). "1.0" does not convert.
inline bool toInteger(std::string_view s, int32_t &out) {
    bool neg = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        neg = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    if (s[0] == '$') {
        s.remove_prefix(1);
        if (s.empty() || s.size() > 8) {
            // Leading zeros of a long hexadecimal value are harmless; anything beyond 32 bits is not.
            while (s.size() > 8 && s[0] == '0') s.remove_prefix(1);
            if (s.empty() || s.size() > 8) return false;
        }
        uint32_t v = 0;
        auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
        if (ec != std::errc() || p != s.data() + s.size()) return false;
        int32_t r = static_cast<int32_t>(v);
        out = neg ? static_cast<int32_t>(0u - v) : r;
        return true;
    }
    if (s[0] == '-' || s[0] == '+') return false;
    int64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (ec != std::errc() || p != s.data() + s.size()) return false;
    if (neg) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

// Handle: hexadecimal text held as an Integer ("1A" gives 26).
inline bool toHandle(std::string_view s, int32_t &out) {
    if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == '$') return false;
    uint32_t v = 0;
    while (s.size() > 8 && s[0] == '0') s.remove_prefix(1);
    if (s.size() > 8) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || p != s.data() + s.size()) return false;
    out = static_cast<int32_t>(v);
    return true;
}

} // namespace quentar::dxf
