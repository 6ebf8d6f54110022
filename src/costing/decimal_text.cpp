// Commercial rounding of decimal texts, and locale-free parsing.
#include "costing/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quentar::costing {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The digits of |value| to 15 significant digits in plain notation: whole part and fraction.
void plainDigits(double value, std::string &whole, std::string &frac) {
    char buf[64];
    // "d.dddddddddddddde±x": one digit, the point, 14 digits, the exponent.
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    // 64 bytes hold any double in this form; a failure would leave nothing sound to read.
    const std::string_view s = res.ec == std::errc()
                                   ? std::string_view(buf, static_cast<std::size_t>(res.ptr - buf))
                                   : std::string_view("0.00000000000000e+00");
    const std::size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e))
        if (c != '.') digits += c;
    const int exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
    // value = 0.digits * 10^(exponent + 1)
    const int point = exponent + 1;
    if (point <= 0) {
        whole = "0";
        frac = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
        frac.clear();
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(point));
        frac = digits.substr(static_cast<std::size_t>(point));
    }
}

} // namespace

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    if (decimals < 0) decimals = 0;
    const bool negative = std::signbit(value);
    std::string whole, frac;
    plainDigits(value, whole, frac);
    const auto places = static_cast<std::size_t>(decimals);
    const bool roundUp = frac.size() > places && frac[places] >= '5';
    frac.resize(places, '0');
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
    const std::size_t wholeLen = digits.size() - places;
    std::string out = digits.substr(0, wholeLen);
    if (decimals > 0) out += "." + digits.substr(wholeLen);
    bool allZero = true;
    for (char c : digits)
        if (c != '0') allZero = false;
    if (negative && !allZero) out.insert(out.begin(), '-');
    return out;
}

double parseDecimal(const std::string &text) { return tryParseDecimal(text).value_or(0); }

std::optional<double> tryParseDecimal(std::string_view text) {
    std::string_view s = trimBlanks(text);
    // from_chars takes no plus sign; "+-1" must still fail.
    if (!s.empty() && s[0] == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s[0] == '-') return std::nullopt;
    }
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<std::int32_t> tryParseInt32(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (!s.empty() && s[0] == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s[0] == '-') return std::nullopt;
    }
    std::int32_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string formatGeneral(double value) {
    if (!std::isfinite(value)) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (res.ec != std::errc()) return "0";
    std::string s(buf, res.ptr);
    if (s == "-0") s = "0";
    return s;
}

} // namespace quentar::costing
