// Tests of the lookup index: bucket choice, ordinal order, duplicates, additions and re-indexing.
#include "i18n/translation_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace quentar::i18n {
namespace {

TranslationTable tableOfKeys(const std::vector<std::u16string> &keys) {
    TranslationTable table;
    for (const auto &key : keys) table.setCell(table.appendRow(), 0, key);
    return table;
}

std::vector<std::int32_t> rowsIn(TranslationTable &table, int bucket) {
    const auto rows = table.bucketRows(bucket);
    return {rows.begin(), rows.end()};
}

TEST(TranslationTable, BucketIsLowByteOfFirstCodeUnitAndOrderIsByCodeUnits) {
    TranslationTable table = tableOfKeys({
        u"A\uFF21",     // 0: fullwidth A, sorts after the surrogate in UTF-16 (not in UTF-8)
        u"Ab",          // 1
        u"\u0141",      // 2: L with stroke, U+0141: low byte 0x41 like 'A'
        u"AB",          // 3
        u"A\U0001F600", // 4: a surrogate pair, D83D DE00
        u"A\u00E4",     // 5
        u"B",           // 6
        u"",            // 7: no German text, not indexed
    });
    EXPECT_EQ(rowsIn(table, 'A'), (std::vector<std::int32_t>{3, 1, 5, 4, 0, 2}));
    EXPECT_EQ(rowsIn(table, 'B'), (std::vector<std::int32_t>{6}));
    for (int b = 0; b < 256; ++b) {
        if (b == 'A' || b == 'B') continue;
        EXPECT_TRUE(table.bucketRows(b).empty()) << b;
    }

    for (int row = 0; row < 7; ++row) EXPECT_EQ(table.findRow(table.cell(row, 0)), row);
    EXPECT_EQ(table.findRow(u""), -1);
    EXPECT_EQ(table.findRow(u"ab"), -1) << "keys compare case-sensitively";
    EXPECT_EQ(table.findRow(u"A"), -1) << "a prefix is not a match";
}

TEST(TranslationTable, OfTwoEqualKeysTheFirstAfterSortingIsFound) {
    // The middle-pivot quicksort swaps rows 0 and 1, then rows 0 and 2, leaving row 2 in front of
    // row 0: it is row 2 that a lookup finds, not the first one in the file.
    TranslationTable table = tableOfKeys({u"Ax", u"Aa", u"Ax"});
    EXPECT_EQ(rowsIn(table, 'A'), (std::vector<std::int32_t>{1, 2, 0}));
    EXPECT_EQ(table.findRow(u"Ax"), 2);
}

TEST(TranslationTable, AddedKeysGoAfterTheSortedEntriesAndAreFound) {
    TranslationTable table = tableOfKeys({u"Bz", u"Bb"});
    ASSERT_EQ(rowsIn(table, 'B'), (std::vector<std::int32_t>{1, 0}));

    EXPECT_EQ(table.addKey(u"Ba"), 2);
    EXPECT_EQ(table.addKey(u"Bc"), 3);
    EXPECT_EQ(rowsIn(table, 'B'), (std::vector<std::int32_t>{1, 0, 2, 3}));
    EXPECT_EQ(table.findRow(u"Ba"), 2);
    EXPECT_EQ(table.findRow(u"Bc"), 3);
    EXPECT_EQ(table.findRow(u"Bz"), 0);
    EXPECT_EQ(table.cell(2, 0), u"Ba");
    EXPECT_EQ(table.cell(2, 1), u"");

    // A change of a German text sorts everything again.
    table.setCell(0, 0, u"By");
    EXPECT_EQ(rowsIn(table, 'B'), (std::vector<std::int32_t>{2, 1, 3, 0}));
}

TEST(TranslationTable, DeletingARowKeepsLaterRowsFindable) {
    TranslationTable table;
    for (const auto &[german, english] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"Rot", u"Red"}, {u"Gelb", u"Yellow"}, {u"Gr\u00FCn", u"Green"}}) {
        const int row = table.appendRow();
        table.setCell(row, 0, german);
        table.setCell(row, 1, english);
    }
    ASSERT_EQ(table.findRow(u"Gr\u00FCn"), 2);

    table.deleteRow(0);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.findRow(u"Rot"), -1);
    const int green = table.findRow(u"Gr\u00FCn");
    EXPECT_EQ(green, 1);
    EXPECT_EQ(table.cell(green, 1), u"Green");

    // Texts of the deleted row are reused without disturbing the others.
    table.setCell(table.appendRow(), 0, u"Blau");
    EXPECT_EQ(table.cell(0, 1), u"Yellow");
    EXPECT_EQ(table.findRow(u"Blau"), 2);
}

TEST(TranslationTable, ChangedGermanTextIsFoundUnderItsNewKeyOnly) {
    TranslationTable table = tableOfKeys({u"Sichtbar"});
    table.setCell(0, 0, u"Unsichtbar");
    EXPECT_EQ(table.findRow(u"Sichtbar"), -1);
    EXPECT_EQ(table.findRow(u"Unsichtbar"), 0);
    table.setCell(0, 0, u"");
    EXPECT_EQ(table.findRow(u"Unsichtbar"), -1);
}

TEST(TranslationTable, OutOfRangeCellsAreEmptyAndIgnored) {
    TranslationTable table = tableOfKeys({u"Ja"});
    table.setCell(0, kTranslateColumns, u"x");
    table.setCell(1, 0, u"x");
    table.setCell(-1, 0, u"x");
    table.deleteRow(5);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.cell(0, kTranslateColumns), u"");
    EXPECT_EQ(table.cell(1, 0), u"");
    EXPECT_EQ(table.cell(0, -1), u"");
}

TEST(TranslationTable, LargeBucketsComeOutSorted) {
    struct Case {
        const char *name;
        std::vector<std::u16string> keys;
    };
    std::mt19937 random(7);
    std::vector<std::u16string> shuffled, ascending, descending, equal(3000, u"Kgleich");
    for (int i = 0; i < 3000; ++i) {
        std::u16string key = u"K";
        for (int k = 0; k < 3; ++k) key += static_cast<char16_t>(u'a' + random() % 4);
        shuffled.push_back(key);
        ascending.push_back(u"K" + std::u16string(1, static_cast<char16_t>(0x100 + i)));
    }
    descending.assign(ascending.rbegin(), ascending.rend());
    const Case cases[] = {{"shuffled with repeats", shuffled},
                          {"ascending", ascending},
                          {"descending", descending},
                          {"all equal", equal}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TranslationTable table = tableOfKeys(c.keys);
        const auto rows = rowsIn(table, 'K');
        ASSERT_EQ(rows.size(), c.keys.size());
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [&](int a, int b) {
            return table.cell(a, 0) < table.cell(b, 0);
        }));
        std::vector<std::int32_t> all = rows;
        std::sort(all.begin(), all.end());
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "each row once";
    }
}

} // namespace
} // namespace quentar::i18n
