// The line list: splitting at every kind of line end, edits, and writing back with CR LF.
#include "document/line_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

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

namespace {

// A file of `count` lines with every kind of line end, lines of lengths around the one-byte
// length limit, and now and then a line long enough that its block's span outgrows 16 bits.
std::string randomFile(std::mt19937 &rng, std::size_t count, std::vector<std::string> &lines) {
    std::string text;
    lines.clear();
    for (std::size_t i = 0; i < count; ++i) {
        std::string line;
        const unsigned pick = rng() % 200;
        const std::size_t length = pick < 160   ? rng() % 12
                                   : pick < 199 ? 250 + rng() % 10
                                                : 66000 + rng() % 10;
        for (std::size_t j = 0; j < length; ++j) line += static_cast<char>('a' + rng() % 26);
        text += line;
        lines.push_back(std::move(line));
        const bool empty = lines.back().empty();
        if (i + 1 == count && !empty && rng() % 2) break; // a last line without a line end
        // An empty line after a CR must not end in LF: that would be one CR LF.
        static const char *const kEnds[] = {"\r\n", "\r", "\n"};
        const bool afterCr = !text.empty() && text.back() == '\r';
        const char *end = kEnds[rng() % (empty && afterCr ? 2 : 3)];
        text += end;
    }
    return text;
}

std::string randomLine(std::mt19937 &rng) {
    // Edited lines may hold line-end bytes; a few are long.
    std::string line(rng() % 20 == 0 ? 255 + rng() % 300 : rng() % 8, 'x');
    for (char &c : line) c = "ab\r\n0 "[rng() % 6];
    return line;
}

testing::AssertionResult sameLines(const LineStore &s, const std::vector<std::string> &model) {
    if (s.size() != model.size())
        return testing::AssertionFailure() << s.size() << " lines, expected " << model.size();
    for (std::size_t i = 0; i < model.size(); ++i)
        if (s[i] != model[i])
            return testing::AssertionFailure() << "line " << i << " is \"" << s[i]
                                               << "\", expected \"" << model[i] << '"';
    return testing::AssertionSuccess();
}

} // namespace

TEST(LineStore, LastLineThatWouldMoveRightKeepsItsBytes) {
    // Each line moves behind its length byte into the place of the line ends before it. With
    // only 1-byte line ends before it, a last line without a line end has no room left.
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\nb", {"a", "b"}},
        {"\nb", {"", "b"}},
        {"a\rbc\nd", {"a", "bc", "d"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\r\nc", {"a", "b", "c"}},
        {"a\n" + std::string(255, 'z'), {"a", std::string(255, 'z')}},
        {std::string(254, 'y') + "\n" + std::string(300, 'z'),
         {std::string(254, 'y'), std::string(300, 'z')}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        LineStore s;
        ASSERT_TRUE(s.assign(c.text));
        EXPECT_TRUE(sameLines(s, c.lines));
        std::string written;
        for (const auto &l : c.lines) written += l + "\r\n";
        EXPECT_EQ(s.serialize(), written);
    }
}

TEST(LineStore, EditsMatchAPlainListOfLines) {
    // Random edits of every kind against a vector of strings: edits that cross block borders,
    // blocks made wide by long lines or by lines from both the file and the edits, many
    // scattered changes in one splice, and copies edited apart from each other.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::vector<std::string> model;
        LineStore s;
        ASSERT_TRUE(s.assign(randomFile(rng, 1 + rng() % 3000, model)));
        ASSERT_TRUE(sameLines(s, model));
        std::vector<std::string> copyModel = model;
        LineStore copy = s;
        for (int step = 0; step < 400; ++step) {
            const std::size_t at = model.empty() ? 0 : rng() % (model.size() + 1);
            switch (rng() % 6) {
            case 0: {
                const std::string line = randomLine(rng);
                s.insert(at, line);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), line);
                break;
            }
            case 1: {
                std::vector<std::string> lines(rng() % 40);
                for (auto &l : lines) l = randomLine(rng);
                s.insert(at, lines);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(),
                             lines.end());
                break;
            }
            case 2:
            case 3: { // replaces come in bursts, as a moved entity's coordinates do
                for (int r = 0; r < 20 && !model.empty(); ++r) {
                    const std::size_t pos = rng() % model.size();
                    const std::string line = randomLine(rng);
                    s.replace(pos, line);
                    model[pos] = line;
                }
                break;
            }
            case 4: {
                const std::size_t count = rng() % 40;
                s.erase(at, count);
                if (at < model.size()) {
                    const std::size_t n = std::min(count, model.size() - at);
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(at),
                                model.begin() + static_cast<std::ptrdiff_t>(at + n));
                }
                break;
            }
            case 5: {
                // Ascending, non-overlapping changes over the whole store, applied to the model
                // from the last so that the earlier positions hold.
                std::vector<std::vector<std::string>> inserts(1 + rng() % 60);
                std::vector<LineStore::Splice> changes;
                std::size_t from = 0;
                for (auto &ins : inserts) {
                    if (from > model.size()) break;
                    const std::size_t pos = from + rng() % (model.size() / inserts.size() + 2);
                    if (pos > model.size()) break;
                    const std::size_t remove = std::min<std::size_t>(rng() % 5, model.size() - pos);
                    ins.resize(rng() % 4);
                    for (auto &l : ins) l = randomLine(rng);
                    changes.push_back({pos, remove, ins.empty() && rng() % 2 ? nullptr : &ins});
                    from = pos + remove;
                }
                s.splice(changes);
                for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
                    const auto b = model.begin() + static_cast<std::ptrdiff_t>(c->at);
                    model.erase(b, b + static_cast<std::ptrdiff_t>(c->remove));
                    if (c->insert)
                        model.insert(model.begin() + static_cast<std::ptrdiff_t>(c->at),
                                     c->insert->begin(), c->insert->end());
                }
                break;
            }
            }
            ASSERT_TRUE(sameLines(s, model)) << "step " << step;
            if (step == 200) {
                copy = s;
                copyModel = model;
                s.push_back("EOF");
                model.push_back("EOF");
            }
        }
        EXPECT_TRUE(sameLines(copy, copyModel));
        std::string written;
        for (const auto &l : model) written += l + "\r\n";
        EXPECT_EQ(s.serialize(), written);
        // A store moved from is empty, not one with a size and no lines.
        const LineStore moved = std::move(s);
        EXPECT_TRUE(sameLines(moved, model));
        EXPECT_TRUE(s.empty()); // NOLINT(bugprone-use-after-move)
    }
}
