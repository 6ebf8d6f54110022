// Fixed-decimal texts with commercial rounding, locale-free parsing and general number texts.
#include "costing/decimal_text.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

TEST(DecimalText, CommercialRounding) {
    struct Case {
        double value;
        int decimals;
        const char *text;
    };
    const Case cases[] = {
        {0, 2, "0.00"},
        {1.005, 2, "1.01"},
        {2.675, 2, "2.68"},
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        {-0.001, 2, "0.00"},
        {9.995, 2, "10.00"},
        {120.5, 2, "120.50"},
        {12.5, 0, "13"},
        {25.4, 4, "25.4000"},
        {1e20, 2, "100000000000000000000.00"},
        {0.0000001, 2, "0.00"},
        {55.9, 2, "55.90"},
        {-0.0, 2, "0.00"},
        // Halves reached by arithmetic land a hair below in binary; a calculator shows the half.
        {0.05 * 0.7, 2, "0.04"},
        {0.95 * 130 / 100, 2, "1.24"},
        {0.06 * 3 * 1.2, 2, "0.22"},
        {0.1 + 0.2, 1, "0.3"},
        {0.004999999, 2, "0.00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text);
    }
}

TEST(DecimalText, ParsingSaysWhenATextIsNoNumber) {
    struct Case {
        const char *text;
        std::optional<double> decimal;
        std::optional<std::int32_t> whole;
    };
    const Case cases[] = {
        {"3.00", 3.0, std::nullopt},
        {" 12 ", 12.0, 12},
        {"+7", 7.0, 7},
        {"-2.5", -2.5, std::nullopt},
        {"1e3", 1000.0, std::nullopt},
        {"1,5", {}, {}},
        {"", {}, {}},
        {"abc", {}, {}},
        {"nan", {}, {}},
        {"1e999", {}, {}},
        {"+-1", {}, {}},
        {"2147483648", 2147483648.0, {}},
        {"-2147483648", -2147483648.0, INT32_MIN},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tryParseDecimal(c.text), c.decimal);
        EXPECT_EQ(tryParseInt32(c.text), c.whole);
    }
    EXPECT_EQ(parseDecimal("abc"), 0);
}

TEST(DecimalText, GeneralTexts) {
    struct Case {
        double value;
        const char *text;
    };
    const Case cases[] = {{3.5, "3.5"}, {12, "12"},         {0.65, "0.65"},
                          {7.2, "7.2"}, {0.1 + 0.2, "0.3"}, {-0.0, "0"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatGeneral(c.value), c.text);
    }
}

} // namespace
} // namespace quentar::costing
