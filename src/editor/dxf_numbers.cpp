// Number and handle text of DXF lines, locale-free.
#include "editor/dxf_numbers.h"

#include "document/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quentar::editor {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kFixedDecimals = 18;

std::string fixedForm(double value) { return document::fixedText(value, kFixedDecimals); }

} // namespace

std::string FloatToDXFStr(double value) {
    if (!std::isfinite(value) || value == 0) return "0";
    // Rounded to 15 significant digits first: the rounding decides the exponent (9.9999999999999999
    // becomes 10).
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                                 kSignificantDigits - 1);
    if (r.ec != std::errc()) return fixedForm(value);
    const std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
    const std::size_t e = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exponent);
    if (exponent < -5 || exponent >= kSignificantDigits) return fixedForm(value);

    const bool negative = sci[0] == '-';
    std::string digits; // the 15 significant digits without the point
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (sci[i] != '.') digits.push_back(sci[i]);
    std::string out = negative ? "-" : "";
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        out.append(digits, 0, static_cast<std::size_t>(exponent) + 1);
        out.push_back('.');
        out.append(digits, static_cast<std::size_t>(exponent) + 1);
    }
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

std::string handleText(uint64_t handle) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, handle, 16);
    std::string out(buf, r.ec == std::errc() ? r.ptr : buf);
    for (char &c : out)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    if (out.size() < 2) out.insert(out.begin(), '0');
    return out;
}

std::string integerText(int64_t value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

} // namespace quentar::editor
