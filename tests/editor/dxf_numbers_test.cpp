// The text of numbers and handles in written DXF lines.
#include "editor/dxf_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using quentar::editor::FloatToDXFStr;
using quentar::editor::handleText;

TEST(DxfNumbers, FloatToDXFStrWritesFifteenDigitsWithoutExponent) {
    const std::vector<std::pair<double, std::string>> cases = {
        {12.5, "12.5"},
        {0.0, "0"},
        {-0.0, "0"},
        {-3.0, "-3"},
        {2.75, "2.75"},
        {1.0 / 3.0, "0.333333333333333"},
        {-2.0 / 3.0, "-0.666666666666667"},
        {0.1 + 0.2, "0.3"},                  // the 17th digit does not show
        {std::sqrt(2.0), "1.4142135623731"}, // 1.41421356237310 without its trailing zero
        {123456789012345.0, "123456789012345"},
        {0.00001, "0.00001"}, // the smallest magnitude without an exponent
        {-0.000012345, "-0.000012345"},
        {1e-7, "0.000000100000000000"}, // would need an exponent: 18 decimals
        {-2.5e-6, "-0.000002500000000000"},
        {1e15, "1000000000000000.000000000000000000"},
        // 15 digits round it up to 10^15: the fixed form, which keeps the value.
        {999999999999999.9, "999999999999999.875000000000000000"},
        {99999.99999999999, "100000"},
        {std::numeric_limits<double>::quiet_NaN(), "0"}, // never written: refused before
    };
    for (const auto &[value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FloatToDXFStr(value), text);
    }
}

TEST(DxfNumbers, HandlesAreUpperCaseHexWithAtLeastTwoDigits) {
    const std::vector<std::pair<uint64_t, std::string>> cases = {{0, "00"},
                                                                 {9, "09"},
                                                                 {10, "0A"},
                                                                 {0xFF, "FF"},
                                                                 {0x100, "100"},
                                                                 {500, "1F4"},
                                                                 {0xABCDEF12ull, "ABCDEF12"}};
    for (const auto &[handle, text] : cases) EXPECT_EQ(handleText(handle), text);
}
