// Edits of the lines recorded with their inverse: undo gives back the lines byte for byte.
#include "document/line_edits.h"

#include <gtest/gtest.h>

using namespace quentar::document;

namespace {

std::vector<std::string> linesOf(const LineStore &s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size(); ++i) out.emplace_back(s[i]);
    return out;
}

std::string serialized(const std::string &text) {
    LineStore s;
    s.assign(text);
    return s.serialize();
}

} // namespace

TEST(LineEdits, EveryKindOfEditIsTakenBackExactly) {
    LineStore s;
    s.assign("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    const auto before = linesOf(s);
    EditBatch batch;
    insertLines(s, batch, 4, {"  0", "LINE", " 10", "1.5"});
    replaceLine(s, batch, 7, "2.5");
    deleteLines(s, batch, 0, 2);
    applyEdit(s, batch, 100, 5, {"tail"}); // beyond the end: clamped, nothing removed
    EXPECT_EQ(s[s.size() - 1], "tail");
    EXPECT_EQ(s[5], "2.5");
    ASSERT_EQ(batch.edits.size(), 4u);
    EXPECT_EQ(batch.edits[2].removed, (std::vector<std::string>{"  0", "SECTION"}));
    EXPECT_EQ(batch.edits[3].at, static_cast<int32_t>(s.size()) - 1);
    const auto after = linesOf(s);
    undoBatch(s, batch);
    EXPECT_EQ(linesOf(s), before);
    EXPECT_EQ(s.serialize(), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    redoBatch(s, batch);
    EXPECT_EQ(linesOf(s), after);
    undoBatch(s, batch);
    EXPECT_EQ(linesOf(s), before);
}

TEST(LineEdits, KeptStepsSurviveTheStoreCompactingItsArena) {
    // Many replacements make the store compact its arena; the kept copies are unaffected.
    LineStore s;
    s.assign("a\nb\n");
    std::vector<EditBatch> steps;
    for (int i = 0; i < 20000; ++i) {
        EditBatch b;
        replaceLine(s, b, i % 2, std::string(64, static_cast<char>('c' + i % 20)));
        steps.push_back(std::move(b));
    }
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) undoBatch(s, *it);
    EXPECT_EQ(linesOf(s), (std::vector<std::string>{"a", "b"}));
}

TEST(LineEdits, ManyDeletionsAtOnceAreTheDeletionsOneByOne) {
    // Ranges from the highest to the lowest, as deleting entities from the last to the first
    // gives them; a range beyond the end is clamped as deleteLines clamps it.
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line" + std::to_string(i) + "\n";
    const std::vector<std::pair<int32_t, int32_t>> ranges{{38, 5}, {30, 3}, {12, 1}, {0, 2}};
    LineStore one, many;
    one.assign(text);
    many.assign(text);
    EditBatch oneByOne, atOnce;
    for (const auto &[at, n] : ranges) deleteLines(one, oneByOne, at, n);
    deleteRanges(many, atOnce, ranges);
    EXPECT_EQ(linesOf(many), linesOf(one));
    ASSERT_EQ(atOnce.edits.size(), oneByOne.edits.size());
    for (std::size_t i = 0; i < atOnce.edits.size(); ++i) {
        EXPECT_EQ(atOnce.edits[i].at, oneByOne.edits[i].at);
        EXPECT_EQ(atOnce.edits[i].removed, oneByOne.edits[i].removed);
    }
    // Taking it back in one pass, and a batch of mixed changes change by change: the bytes of
    // the file come back either way.
    const std::string deleted = many.serialize();
    undoBatch(many, atOnce);
    EXPECT_EQ(many.serialize(), serialized(text));
    redoBatch(many, atOnce); // in one pass again
    EXPECT_EQ(many.serialize(), deleted);
    undoBatch(many, atOnce);
    EditBatch mixed;
    insertLines(many, mixed, 10, {"a", "b"});
    replaceLine(many, mixed, 30, "c");
    deleteLines(many, mixed, 5, 3);
    insertLines(many, mixed, 5, {"d"});
    ASSERT_FALSE(simultaneousChanges(mixed, true));
    undoBatch(many, mixed);
    EXPECT_EQ(many.serialize(), serialized(text));
}
