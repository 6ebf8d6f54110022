// The text of the numbers and handles the editor writes into DXF lines.
#pragma once

#include <cstdint>
#include <string>

namespace quentar::editor {

// FloatToDXFStr: every real number the editor writes. The general decimal form with at most 15
// significant digits, "." as decimal point and no trailing zeros (12.5, 0, -3, 0.333333333333333);
// where that form would need an exponent (magnitudes below 0.00001 other than zero, and 10^15 and
// above) the fixed-point form with 18 decimals instead (0.000000100000000000 for 1E-7), since not
// every reader takes exponents. Minus zero is "0". Not for infinities or NaN: the creation
// operations refuse those before anything is written ("0" is returned for them).
std::string FloatToDXFStr(double value);

// A handle as upper-case hexadecimal with at least two digits (0A, FF, 100, 1F4).
std::string handleText(uint64_t handle);

// A count or flag as a plain decimal integer.
std::string integerText(int64_t value);

} // namespace quentar::editor
