// Tests of the string record layout, its reading from damaged data, and the UTF transcoders.
#include "document/string_file.h"

#include <gtest/gtest.h>

namespace quentar::document {
namespace {

using namespace std::string_literals;

TEST(StringFile, WritesCountThenUtf16LittleEndian) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", "\0\0\0\0"s},
        {u"abc", "\3\0\0\0a\0b\0c\0"s},
        {u"\u20AC", "\1\0\0\0\xAC\x20"s},
        // Outside the BMP: two code units, so the count is 2.
        {u"\U0001F600", "\2\0\0\0\x3D\xD8\x00\xDE"s},
    };
    for (const Case &c : cases) {
        ByteWriter w;
        WriteLenString(w, c.text);
        EXPECT_EQ(w.bytes(), c.bytes);
        ByteReader r(w.bytes());
        EXPECT_EQ(ReadLenString(r), c.text);
        EXPECT_TRUE(r.atEnd());
    }
}

TEST(StringFile, ReadsConsecutiveRecordsAmongOtherFields) {
    ByteWriter w;
    WriteLenString(w, u"Blech");
    w.writeU32(0xDEADBEEF);
    WriteLenString(w, u"");
    WriteLenString(w, u"\u00C4rger");
    const std::string data = w.take();

    ByteReader r(data);
    EXPECT_EQ(ReadLenString(r), u"Blech");
    EXPECT_EQ(r.readU32(), 0xDEADBEEFu);
    EXPECT_EQ(ReadLenString(r), u"");
    EXPECT_EQ(ReadLenString(r), u"\u00C4rger");
    EXPECT_TRUE(r.atEnd());
}

TEST(StringFile, DamagedRecordThrowsWithoutMovingTheReader) {
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        // A huge count in a small file must be refused before any allocation.
        {"huge count", "\xFF\xFF\xFF\x7F"s + std::string(16, 'x')},
        {"largest count", "\xFF\xFF\xFF\xFF"s + std::string(16, 'x')},
        {"one unit short", "\3\0\0\0a\0b\0"s},
        {"odd byte left", "\2\0\0\0a\0b"s},
        {"count cut off", "\1\0\0"s},
        {"empty", ""s},
    };
    for (const Case &c : cases) {
        const std::string data = "\xAA\xBB"s + c.bytes;
        ByteReader r(data);
        r.readU16();
        EXPECT_THROW(ReadLenString(r), FileIOError) << c.name;
        EXPECT_EQ(r.position(), 2u) << c.name;
    }
}

TEST(StringFile, ReadingPastTheEndThrows) {
    const std::string data = "\1\2\3"s;
    ByteReader r(data);
    EXPECT_THROW(r.readU32(), FileIOError);
    EXPECT_EQ(r.readU16(), 0x0201);
    EXPECT_THROW(r.readBytes(2), FileIOError);
    EXPECT_EQ(r.readBytes(1), "\3");
    EXPECT_THROW(r.readU16(), FileIOError);
}

TEST(StringFile, Utf8ToUtf16) {
    struct Case {
        const char *name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"ascii", "abc", u"abc"},
        {"two bytes", "\xC3\xA4", u"\u00E4"},
        {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
        {"four bytes become a pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"NUL is kept", "a\0b"s, u"a\0b"s},
        // One U+FFFD per maximal ill-formed piece; the breaking byte is read again.
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"invalid lead", "\xFF\xC0", u"\uFFFD\uFFFD"},
        {"truncated at end", "a\xE2\x82", u"a\uFFFD"},
        {"truncated before ascii", "\xE2\x82z", u"\uFFFDz"},
        {"truncated before lead", "\xC3\xC3\xA4", u"\uFFFD\u00E4"},
        {"overlong", "\xC0\x80", u"\uFFFD\uFFFD"},
        {"overlong three", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case &c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
}

TEST(StringFile, Utf16ToUtf8) {
    struct Case {
        const char *name;
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"mixed", u"a\u00E4\u20AC\U0001F600", "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"lone high at end", u"a\xD83D", "a\xEF\xBF\xBD"},
        {"high before non-low", u"\xD83Dz", "\xEF\xBF\xBDz"},
        {"lone low", u"\xDE00z", "\xEF\xBF\xBDz"},
        {"two highs then low", u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const Case &c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

TEST(StringFile, EveryScalarValueSurvivesTheRoundTrip) {
    std::u16string all;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (cp < 0x10000) {
            all += static_cast<char16_t>(cp);
        } else {
            all += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            all += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    const std::string utf8 = Utf16ToUtf8(all);
    // 1, 2, 3 and 4 bytes for the ranges below U+80, U+800, U+10000 (less the 0x800
    // surrogates) and above.
    EXPECT_EQ(utf8.size(), 0x80 * 1 + 0x780 * 2 + (0x10000 - 0x800 - 0x800) * 3 + 0x100000 * 4);
    EXPECT_EQ(Utf8ToUtf16(utf8), all);
}

} // namespace
} // namespace quentar::document
