// The line list: splitting at every kind of line end, edits, and writing back with CR LF.
#include "document/line_store.h"

#include <gtest/gtest.h>

using quentar::document::LineStore;

TEST(LineStore, SplitsAtEveryLineEnd) {
    struct Case {
        const char *text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\r\nb\n\n", {"a", "", "b", ""}},
        {"\r\n", {""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        LineStore s;
        ASSERT_TRUE(s.assign(c.text));
        ASSERT_EQ(s.size(), c.lines.size());
        for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i], c.lines[i]);
    }
}

TEST(LineStore, LongLinesAndEditedLinesKeepTheirLength) {
    // Lengths around the point where the short length kept with each line gives way to the
    // table of long lines, and one line of a megabyte.
    std::string text;
    std::vector<std::string> expected;
    for (std::size_t n : {254u, 255u, 256u, 1000u, 1u << 20}) {
        expected.push_back(std::string(n, 'x'));
        text += expected.back() + "\r\n";
    }
    expected.push_back(std::string(300, 'y')); // the last line, without a line end
    text += expected.back();
    LineStore s;
    ASSERT_TRUE(s.assign(text));
    ASSERT_EQ(s.size(), expected.size());
    for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i], expected[i]) << i;
    // An edited line may hold line-end bytes and still reads back whole.
    s.replace(1, "a\r\nb");
    s.insert(0, std::string(400, 'z'));
    EXPECT_EQ(s[0], std::string(400, 'z'));
    EXPECT_EQ(s[2], "a\r\nb");
    EXPECT_EQ(s[3], expected[2]);
}

TEST(LineStore, OldMacLineEndsSplitInOnePass) {
    // Two million CR-ended lines: a search for LF to the end per line would take minutes.
    std::string text;
    for (int i = 0; i < 2000000; ++i) text += "0\r";
    LineStore s;
    ASSERT_TRUE(s.assign(std::move(text)));
    EXPECT_EQ(s.size(), 2000000u);
}

TEST(LineStore, EditsAndCopiesKeepTheirOwnLines) {
    LineStore s;
    s.assign("  0\r\nLINE\r\n 10\r\n1.0\r\n");
    LineStore before = s;
    s.replace(3, "2.5");
    s.insert(0, std::vector<std::string>{"999", "COMMENT"});
    s.erase(2, 2);
    s.push_back("EOF");
    EXPECT_EQ(s.serialize(), "999\r\nCOMMENT\r\n 10\r\n2.5\r\nEOF\r\n");
    EXPECT_EQ(before.serialize(), "  0\r\nLINE\r\n 10\r\n1.0\r\n");
    // Out-of-range edits change nothing.
    s.replace(99, "x");
    s.erase(99);
    EXPECT_EQ(s.size(), 5u);
}
