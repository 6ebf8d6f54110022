// Number texts whose conversion is checked: whole, however long, never holding stray bytes.
#include "document/number_text.h"
#include "document/text_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quentar::document {
namespace {

TEST(NumberText, FixedTextIsCompleteForAnyValue) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int decimals;
        std::string expected; // "" where only the length and the ending are checked
        std::size_t length;
    } cases[] = {
        {1234.5678, 2, "1234.57", 7},
        {-0.004, 2, "-0.00", 5},
        {0, 0, "0", 1},
        {1e70, 2, "", 74},       // 71 digits, the point, 2 places: beyond a 64-byte buffer
        {-1.7976931348623157e308, 18, "", 1 + 309 + 1 + 18},
        {std::nan(""), 2, "nan", 3},
        {-inf, 4, "-inf", 4},
        {1.5, 40, "1.500000000000000000", 20}, // places are held to 18
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        const std::string text = fixedText(c.value, c.decimals);
        if (!c.expected.empty()) EXPECT_EQ(text, c.expected);
        EXPECT_EQ(text.size(), c.length);
        EXPECT_TRUE(isValidUtf8(text));
        EXPECT_EQ(text.find('\0'), std::string::npos);
    }
    EXPECT_EQ(fixedText(1e70, 2).substr(0, 3), "100");
    EXPECT_EQ(fixedText(1e70, 2).substr(71), ".00");
}

TEST(NumberText, ShortestTextReadsBackAsTheValue) {
    for (double v : {0.1, -2.5e-300, 1e70, 1.7976931348623157e308, 123456789.0}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(std::stod(shortestText(v)), v);
    }
    EXPECT_EQ(shortestText(std::nan("")), "nan");
}

} // namespace
} // namespace quentar::document
