// Fixed-decimal texts with commercial rounding.
#include "costing/decimal_text.h"

#include <gtest/gtest.h>

using quentar::costing::formatFixed;

TEST(DecimalText, CommercialRounding) {
    struct Case {
        double value;
        int decimals;
        const char *text;
    };
    const Case cases[] = {
        {0, 2, "0.00"},        {1.005, 2, "1.01"},     {2.675, 2, "2.68"},  {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},  {-0.001, 2, "0.00"},    {9.995, 2, "10.00"}, {120.5, 2, "120.50"},
        {12.5, 0, "13"},       {25.4, 4, "25.4000"},   {1e20, 2, "100000000000000000000.00"},
        {0.0000001, 2, "0.00"}, {55.9, 2, "55.90"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text);
    }
}
