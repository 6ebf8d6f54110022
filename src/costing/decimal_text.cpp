// Commercial rounding of decimal texts.
#include "costing/decimal_text.h"

#include <charconv>
#include <cmath>

namespace quentar::costing {

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    if (decimals < 0) decimals = 0;
    // Shortest round-trip text in plain notation, then decimal rounding of that text.
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, res.ptr);
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    std::size_t dot = s.find('.');
    std::string whole = dot == std::string::npos ? s : s.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);
    const bool roundUp = frac.size() > static_cast<std::size_t>(decimals) &&
                         frac[static_cast<std::size_t>(decimals)] >= '5';
    frac.resize(static_cast<std::size_t>(decimals), '0');
    std::string digits = whole + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    const std::size_t wholeLen = digits.size() - static_cast<std::size_t>(decimals);
    std::string out = digits.substr(0, wholeLen);
    if (decimals > 0) out += "." + digits.substr(wholeLen);
    bool allZero = true;
    for (char c : digits)
        if (c != '0') allZero = false;
    if (negative && !allZero) out.insert(out.begin(), '-');
    return out;
}

double parseDecimal(const std::string &text) {
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return 0;
    return v;
}

} // namespace quentar::costing
