// Decoding drawing text for display: UTF-8 when valid, else Windows-1252.
#include "document/text_codec.h"

#include <gtest/gtest.h>

using namespace quentar::document;

TEST(TextCodec, DisplayDecoding) {
    struct Case {
        std::string bytes, shown;
    };
    const Case cases[] = {
        {"Schl\xC3\xBCssel", "Schl\xC3\xBCssel"},     // valid UTF-8 stays
        {"Schl\xFCssel", "Schl\xC3\xBCssel"},         // Windows-1252 ü
        {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},        // euro sign and Ÿ
        {"\xC3", "\xC3\x83"},                          // a cut UTF-8 sequence is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // encoded surrogate: invalid UTF-8
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(decodeForDisplay(c.bytes), c.shown);
    }
}

TEST(TextCodec, Utf16RoundTrip) {
    const std::string text = "a\xC3\xB6\xE2\x82\xAC\xF0\x9F\x98\x80";
    for (bool be : {false, true}) EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text, be), be), text);
    EXPECT_EQ(utf16ToUtf8(std::string("\x00\xD8\x41\x00", 4), false), "\xEF\xBF\xBD" "A");
}
