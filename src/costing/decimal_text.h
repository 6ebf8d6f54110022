// Numbers as the calculator shows them: fixed decimals, halves of the last place rounded up (away
// from zero), as a shop checks prices with a calculator.
#pragma once

#include <string>

namespace quentar::costing {

// `value` with exactly `decimals` decimals and "." as separator. The rounding works on the
// shortest decimal text of the value, so 1.005 (held as 1.00499999...) shows as 1.01.
std::string formatFixed(double value, int decimals);
inline std::string formatTwoDecimals(double value) { return formatFixed(value, 2); }

// The value of such a text (or of any decimal text), 0 when it does not convert.
double parseDecimal(const std::string &text);

} // namespace quentar::costing
