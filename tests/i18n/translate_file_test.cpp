// Tests of the translate.dat byte layout: exact bytes, round trips, other column counts, damage.
#include "i18n/translate_file.h"

#include "document/string_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace quentar::i18n {
namespace {

using namespace std::string_literals;
using Rows = std::vector<std::vector<std::u16string>>;

// A file with `columns` columns and the given rows, each row holding `columns` texts.
std::string fileWith(std::int32_t columns, const Rows &rows) {
    document::ByteWriter out;
    out.writeU32(static_cast<std::uint32_t>(columns));
    out.writeU32(static_cast<std::uint32_t>(rows.size()));
    for (const auto &row : rows)
        for (const auto &text : row) document::WriteLenString(out, text);
    return out.take();
}

TranslationTable tableWith(const Rows &rows) {
    TranslationTable table;
    for (const auto &texts : rows) {
        const int row = table.appendRow();
        for (std::size_t c = 0; c < texts.size(); ++c)
            table.setCell(row, static_cast<int>(c), texts[c]);
    }
    return table;
}

TEST(TranslateFile, WritesTwentyColumnsOfStringRecords) {
    TranslationTable table = tableWith({{u"Ja", u"Yes"}});
    std::string expected = "\x14\0\0\0"s       // 20 columns
                           "\x01\0\0\0"s       // 1 row
                           "\x02\0\0\0J\0a\0"s // German
                           "\x03\0\0\0Y\0e\0s\0"s;
    for (int c = 2; c < 20; ++c) expected += "\0\0\0\0"s;
    EXPECT_EQ(writeTranslateFile(table), expected);
}

TEST(TranslateFile, EmptyTableIsJustTheCounts) {
    TranslationTable table;
    EXPECT_EQ(writeTranslateFile(table), "\x14\0\0\0\0\0\0\0"s);
    const auto back = readTranslateFile("\x14\0\0\0\0\0\0\0"s);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rowCount(), 0);
}

TEST(TranslateFile, RoundTripKeepsEveryCodeUnit) {
    const Rows rows = {
        {u"\u00DCbersetzen", u"Translate", u"Traduire"},
        {},                                              // a row with nothing at all
        {u"Gr\u00FCn", u"", u"Vert", u"Groen"},          // a gap in the columns
        {u"\U0001F600 Emoji", u"\xD800 lone", u"a\0b"s}, // surrogates and an embedded NUL survive
    };
    TranslationTable table = tableWith(rows);
    const std::string bytes = writeTranslateFile(table);
    auto back = readTranslateFile(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->rowCount(), 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < kTranslateColumns; ++c) {
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
            const std::u16string want = c < static_cast<int>(rows[r].size()) ? rows[r][c] : u"";
            EXPECT_EQ(back->cell(r, c), want);
        }
    EXPECT_EQ(writeTranslateFile(*back), bytes);
}

TEST(TranslateFile, ThreeColumnFileLoadsAndIsWrittenBackWithTwenty) {
    const std::string three = fileWith(3, {{u"Rot", u"Red", u"Rouge"}, {u"Blau", u"", u"Bleu"}});
    auto table = readTranslateFile(three);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->cell(0, 2), u"Rouge");
    EXPECT_EQ(table->cell(1, 2), u"Bleu");
    for (int c = 3; c < kTranslateColumns; ++c) EXPECT_EQ(table->cell(0, c), u"");

    Rows padded = {{u"Rot", u"Red", u"Rouge"}, {u"Blau", u"", u"Bleu"}};
    for (auto &row : padded) row.resize(kTranslateColumns);
    EXPECT_EQ(writeTranslateFile(*table), fileWith(20, padded));
}

TEST(TranslateFile, ColumnsBeyondTheTwentiethAreDropped) {
    std::vector<std::u16string> row(22);
    row[0] = u"Gelb";
    row[19] = u"last kept";
    row[20] = u"dropped";
    row[21] = u"dropped too";
    auto table = readTranslateFile(fileWith(22, {row, row}));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->cell(1, 0), u"Gelb");
    EXPECT_EQ(table->cell(1, 19), u"last kept");
    row.resize(20);
    EXPECT_EQ(writeTranslateFile(*table), fileWith(20, {row, row}));
}

TEST(TranslateFile, DamagedFilesAreRefused) {
    const std::string good = fileWith(2, {{u"Ja", u"Yes"}, {u"Nein", u"No"}});
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"column count cut off", "\x14\0\0"s},
        {"row count missing", "\x14\0\0\0"s},
        {"no columns", "\0\0\0\0\0\0\0\0"s},
        {"no columns but rows", "\0\0\0\0\xFF\xFF\xFF\x7F"s},
        {"negative columns", "\xFF\xFF\xFF\xFF\0\0\0\0"s},
        {"negative rows", "\x14\0\0\0\xFF\xFF\xFF\xFF"s},
        // Empty one-column rows take 4 bytes each but would be held with all 20 columns.
        {"absurd row count", "\x01\0\0\0\x41\x42\x0F\0"s + std::string(4 * 1'000'001, '\0')},
        {"more rows than data", fileWith(20, {}).replace(4, 4, "\xE8\x03\0\0"s)},
        {"largest counts", "\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F"s},
        {"absurd string length", "\x01\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF"s + "ab"},
        {"string one unit short", "\x01\0\0\0\x01\0\0\0\x02\0\0\0A\0"s},
        {"last byte missing", good.substr(0, good.size() - 1)},
        {"a byte too many", good + "x"},
        // The counts say 1 column where the rows hold 2: every record still parses, but the
        // second row's texts are left over.
        {"wrong column count", std::string(good).replace(0, 4, "\x01\0\0\0"s)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(readTranslateFile(c.bytes));
    }
}

TEST(TranslateFile, EveryTruncationOfAGoodFileIsRefused) {
    const std::string good =
        fileWith(3, {{u"Speichern", u"Save", u""}, {u"\u00D6ffnen", u"Open", u"Ouvrir"}});
    ASSERT_TRUE(readTranslateFile(good));
    for (std::size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(readTranslateFile(std::string_view(good).substr(0, n)));
    }
}

TEST(TranslateFile, HugeCountsAreRefusedWithoutWork) {
    // A million rows of a million columns in a 12-byte file must fail at once, not try.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(readTranslateFile("\x40\x42\x0F\0\x40\x42\x0F\0\0\0\0\0"s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

} // namespace
} // namespace quentar::i18n
