// Locale-free texts of numbers whose conversion result is always checked: no text ever holds
// bytes the conversion did not write.
#pragma once

#include <string>

namespace quentar::document {

// `v` with `decimals` places (0 to 18), "." as the separator, however many digits the whole
// part takes; "nan", "inf" or "-inf" for a value that is not finite.
std::string fixedText(double v, int decimals);

// The shortest text that reads back as `v` ("0.1", "1e+70"); "nan", "inf" or "-inf" for a
// value that is not finite.
std::string shortestText(double v);

} // namespace quentar::document
