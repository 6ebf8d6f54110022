// Numbers as the calculator shows and reads them: commercial rounding, general texts, parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quentar::costing {

// `value` with exactly `decimals` decimals and "." as separator, halves of the last place rounded
// up (away from zero), as a shop checks prices with a calculator. The rounding works on the value
// taken to 15 significant digits, the most a double holds faithfully: 1.005 (held as
// 1.00499999...) shows as 1.01, and so does 0.05 * 0.7 (computed as 0.034999999999999996) at
// 0.04, the cent a calculator gives. Values that are not finite show as 0.
std::string formatFixed(double value, int decimals);
inline std::string formatTwoDecimals(double value) { return formatFixed(value, 2); }

// The value of such a text (or of any decimal text), 0 when it does not convert.
double parseDecimal(const std::string &text);

// The value of a decimal text ("." separator, optional sign and exponent, blanks around it
// ignored), or nullopt when it is not a finite number. "1,5" is not a number.
std::optional<double> tryParseDecimal(std::string_view text);

// A whole number in decimal that fits 32 bits (blanks around it ignored, optional sign), or
// nullopt; "2.5" is not a whole number.
std::optional<std::int32_t> tryParseInt32(std::string_view text);

// The general text of a value as stored prices, weights, thicknesses and discounts are written:
// at most 15 significant digits, no trailing zeros, "." separator ("3.5", "12", "0.65").
std::string formatGeneral(double value);

} // namespace quentar::costing
