// material.dat: the default catalogue's bytes, round trips, optional sections, damaged files.
#include "costing/calculator.h"
#include "costing/catalogue.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::Bytes;
using testing::TempFolder;

struct Feed {
    double staerke, vorschubwert;
};

const std::vector<Feed> kEdelstahl = {{1, 11.5},  {1.5, 8.8}, {2, 7.3},   {2.5, 6.1}, {3, 5.0},
                                      {3.5, 3.9}, {4, 3.9},   {4.5, 3.2}, {5, 3.2},   {6, 2.6},
                                      {8, 1.7},   {10, 1.25}, {12, 0.9},  {15, 0.65}, {16, 0.57},
                                      {18, 0.4},  {20, 0.4}};
const std::vector<Feed> kStahl = {{1, 8.2},   {1.5, 6.4}, {2, 5.4},   {2.5, 5.1}, {3, 4.9},
                                  {3.5, 4.3}, {4, 4.3},   {4.5, 4.0}, {5, 4.0},   {6, 3.3},
                                  {8, 2.8},   {10, 2.4},  {12, 1.9},  {15, 1.55}, {16, 1.4},
                                  {18, 1.1},  {20, 1.1},  {25, 0.8}};
const std::vector<Feed> kAluminium = {{1, 14.5},  {1.5, 11.0}, {2, 8.6},   {2.5, 7.0}, {3, 5.8},
                                      {3.5, 4.2}, {4, 4.2},    {4.5, 3.0}, {5, 3.0},   {6, 2.3},
                                      {8, 1.2},   {10, 0.8},   {12, 0.5}};

std::string defaultFileBytes() {
    Bytes b;
    b.i32(4);
    b.str(u"Edelstahl").str(u"3.00").str(u"7.80");
    b.str(u"Stahl").str(u"1.00").str(u"7.80");
    b.str(u"Aluminium").str(u"4.00").str(u"2.70");
    b.str(u"Verzinkt").str(u"1.50").str(u"7.80");
    b.i32(65);
    int matnr = 0;
    for (const auto *list : {&kEdelstahl, &kStahl, &kAluminium, &kEdelstahl}) {
        for (const Feed &f : *list) b.i32(matnr).f64(f.staerke).f64(f.vorschubwert);
        ++matnr;
    }
    b.i32(4).u8(0).u8(0).u8(0).u8(0);
    return b.bytes();
}

Catalogue defaults() {
    Catalogue c;
    c.addDefaults();
    return c;
}

TEST(MaterialFile, TheDefaultCatalogueIsWrittenByteForByte) {
    const std::string expected = defaultFileBytes();
    EXPECT_EQ(defaults().fileBytes(), expected);
    // Section 2: 65 entries of 20 bytes, no padding.
    // 12 string counts, the names' 31 and the other texts' 8 x 4 code units of 2 bytes.
    const std::size_t section1 = 4 + 12 * 4 + 2 * (9 + 5 + 9 + 8) + 2 * 8 * 4;
    EXPECT_EQ(expected.size(), section1 + 4 + 65 * 20 + 4 + 4);
}

TEST(MaterialFile, RoundTripsThroughTheDataFolder) {
    TempFolder dir;
    Catalogue c = defaults();
    c.addMaterial({"Messing \xC3\xBC", "12.5", "8.4", true}, {{"1", "9"}, {"0.8", "10.25"}});
    ASSERT_TRUE(c.save(dir.path()));
    EXPECT_EQ(dir.get("material.dat"), c.fileBytes());

    Catalogue back; // starts empty, so everything must come from the file
    ASSERT_EQ(back.load(dir.path()), Catalogue::LoadResult::Loaded);
    EXPECT_EQ(back.rows(), c.rows());
    EXPECT_EQ(back.fileBytes(), c.fileBytes());
    EXPECT_EQ(back.rows()[4].name, "Messing \xC3\xBC");
    EXPECT_TRUE(back.rows()[4].perSquareMetre);
}

TEST(MaterialFile, SectionsTwoAndThreeAreOptional) {
    const Bytes section1 =
        Bytes().i32(2).str(u"Holz").str(u"12").str(u"0.7").str(u"Kupfer").str(u"9").str(u"8.9");
    struct Case {
        const char *name;
        std::string bytes;
        std::size_t feedEntries;
        bool flag0, flag1;
    };
    const Case cases[] = {
        // The rows are replaced but the default feed table stays.
        {"section 1 only", section1.bytes(), 65, false, false},
        {"no flags", Bytes(section1).i32(1).i32(0).f64(2).f64(3).bytes(), 1, false, false},
        {"fewer flags than rows", Bytes(section1).i32(0).i32(1).u8(7).bytes(), 0, true, false},
        {"bytes after the flags", Bytes(section1).i32(0).i32(2).u8(0).u8(1).u8(9).bytes(), 0, false,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Catalogue cat = defaults();
        ASSERT_EQ(cat.readFileBytes(c.bytes), Catalogue::LoadResult::Loaded);
        ASSERT_EQ(cat.rows().size(), 2u);
        EXPECT_EQ(cat.rows()[1].name, "Kupfer");
        EXPECT_EQ(cat.rows()[1].weight, "8.9");
        EXPECT_EQ(cat.feedEntries().size(), c.feedEntries);
        EXPECT_EQ(cat.rows()[0].perSquareMetre, c.flag0);
        EXPECT_EQ(cat.rows()[1].perSquareMetre, c.flag1);
    }
}

TEST(MaterialFile, EveryTruncationIsRejectedExceptAtASectionEnd) {
    const std::string full = defaultFileBytes();
    const std::size_t end1 = full.size() - (4 + 65 * 20) - (4 + 4);
    const std::size_t end2 = full.size() - (4 + 4);
    Catalogue changed = defaults();
    changed.deleteMaterial(0);
    const std::string before = changed.fileBytes();
    for (std::size_t len = 0; len < full.size(); ++len) {
        Catalogue cat = defaults();
        cat.deleteMaterial(0);
        const auto result = cat.readFileBytes(std::string_view(full).substr(0, len));
        if (len == end1 || len == end2) {
            EXPECT_EQ(result, Catalogue::LoadResult::Loaded) << len;
        } else {
            ASSERT_EQ(result, Catalogue::LoadResult::Corrupt) << len;
            ASSERT_EQ(cat.fileBytes(), before) << len;
        }
    }
}

TEST(MaterialFile, DamagedCountsAreRejectedWithoutAllocating) {
    const Bytes oneRow = Bytes().i32(1).str(u"A").str(u"1").str(u"2");
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        {"negative material count", Bytes().i32(-1).bytes()},
        {"absurd material count", Bytes().i32(0x7FFFFFFF).str(u"A").bytes()},
        {"negative string length", Bytes().i32(1).i32(-1).bytes()},
        {"absurd string length", Bytes().i32(1).i32(0x3FFFFFFF).str(u"xy").bytes()},
        {"negative feed count", Bytes(oneRow).i32(-5).bytes()},
        {"absurd feed count", Bytes(oneRow).i32(0x7FFFFFFF).f64(1).bytes()},
        {"more flags than rows", Bytes(oneRow).i32(0).i32(2).u8(1).u8(1).bytes()},
        {"negative flag count", Bytes(oneRow).i32(0).i32(-1).bytes()},
        {"half a count", Bytes(oneRow).u8(1).bytes()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Catalogue cat = defaults();
        EXPECT_EQ(cat.readFileBytes(c.bytes), Catalogue::LoadResult::Corrupt);
        EXPECT_EQ(cat.fileBytes(), defaultFileBytes());
    }
}

TEST(MaterialFile, ABrokenFileIsKeptUntilTheUserChangesTheCatalogue) {
    TempFolder dir;
    const std::string broken = defaultFileBytes().substr(0, 100);
    dir.put("material.dat", broken);
    Calculator calc(dir.path());
    EXPECT_EQ(calc.materialFileState(), Catalogue::LoadResult::Corrupt);
    EXPECT_EQ(calc.catalogue().fileBytes(), defaultFileBytes());
    EXPECT_EQ(dir.get("material.dat"), broken);

    EXPECT_EQ(calc.deleteMaterial(3), SaveResult::Saved);
    Catalogue back;
    EXPECT_EQ(back.load(dir.path()), Catalogue::LoadResult::Loaded);
    EXPECT_EQ(back.rows().size(), 3u);
}

TEST(MaterialFile, AMissingFileMeansTheDefaultsAndIsNotCreated) {
    TempFolder dir;
    Calculator calc(dir.path());
    EXPECT_EQ(calc.materialFileState(), Catalogue::LoadResult::Missing);
    EXPECT_EQ(calc.catalogue().fileBytes(), defaultFileBytes());
    EXPECT_FALSE(dir.exists("material.dat"));
}

TEST(MaterialFile, AFailedWriteIsReportedAndTheChangeKept) {
    TempFolder dir;
    dir.put("plain-file", "x"); // no folder can be made below a file, not even by root
    Calculator calc(dir.file("plain-file") + "/data");
    EXPECT_EQ(calc.deleteMaterial(0), SaveResult::WriteFailed);
    EXPECT_EQ(calc.catalogue().rows().size(), 3u);
    EXPECT_EQ(calc.engine().MaterialBoxEd.items().size(), 3u);
}

} // namespace
} // namespace quentar::costing
