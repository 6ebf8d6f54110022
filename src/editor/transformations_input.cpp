// Reading and showing the numbers of the transformation dialogs.
#include "editor/transformations_input.h"

#include "dxf/values.h"
#include "editor/dxf_numbers.h"

#include <charconv>
#include <cmath>

namespace quentar::editor {

std::optional<double> typedNumber(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    std::string s(text.substr(b, e - b));
    // One separator, either way: "1,5" and "1.5" are the same number, "1,000.5" is neither.
    const std::size_t comma = s.find(',');
    if (comma != std::string::npos) {
        if (s.find('.') != std::string::npos || s.find(',', comma + 1) != std::string::npos)
            return std::nullopt;
        s[comma] = '.';
    }
    double v;
    if (!dxf::toReal(s, v)) return std::nullopt;
    return v;
}

std::optional<double> fieldValue(std::string_view text, const FieldRange &range) {
    const std::optional<double> v = typedNumber(text);
    if (!v) return std::nullopt;
    if (*v < range.least || *v > range.most || (range.aboveLeast && *v == range.least))
        return std::nullopt;
    if (range.whole && *v != std::trunc(*v)) return std::nullopt;
    return v;
}

std::string fieldText(double value, int decimals) {
    if (decimals < 0) return FloatToDXFStr(value);
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string out(buf, r.ptr);
    // A value that rounds to zero shows no sign.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

} // namespace quentar::editor
