// Locale-free texts of numbers with every conversion result checked.
#include "document/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quentar::document {

namespace {

std::string notFinite(double v) {
    if (std::isnan(v)) return "nan";
    return v < 0 ? "-inf" : "inf";
}

} // namespace

std::string fixedText(double v, int decimals) {
    if (!std::isfinite(v)) return notFinite(v);
    decimals = std::clamp(decimals, 0, 18);
    // The largest double has 309 whole digits: with a sign, the point and 18 places it fits.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return shortestText(v);
    return std::string(buf, r.ptr);
}

std::string shortestText(double v) {
    if (!std::isfinite(v)) return notFinite(v);
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    // 24 characters hold any double's shortest form; the check keeps that a fact, not a hope.
    if (r.ec != std::errc()) return "0";
    return std::string(buf, r.ptr);
}

} // namespace quentar::document
