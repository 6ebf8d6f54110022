// Quantity tiers: staffel.dat, damaged files, and new, edit and delete through the calculator.
#include "costing/calculator.h"
#include "costing/tiers.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::Bytes;
using testing::TempFolder;

const std::vector<TierRow> kThree = {{"10", "5"}, {"100", "10"}, {"50", "7.5"}};

TierList listOf(const std::vector<TierRow> &rows) {
    TierList t;
    for (const TierRow &r : rows) t.add(r);
    return t;
}

TEST(StaffelFile, ThreeTiersAreACountAndSixStrings) {
    TempFolder dir;
    ASSERT_TRUE(listOf(kThree).save(dir.path()));
    const std::string expected =
        Bytes().i32(3).str(u"10").str(u"5").str(u"100").str(u"10").str(u"50").str(u"7.5").bytes();
    EXPECT_EQ(dir.get("staffel.dat"), expected);
    TierList back;
    EXPECT_EQ(back.load(dir.path()), TierList::LoadResult::Loaded);
    EXPECT_EQ(back.rows(), kThree);
}

TEST(StaffelFile, DamagedFilesLeaveTheListAsItWas) {
    const std::string full = listOf(kThree).fileBytes();
    for (std::size_t len = 0; len < full.size(); ++len) {
        TierList t = listOf({{"1", "1"}});
        ASSERT_EQ(t.readFileBytes(std::string_view(full).substr(0, len)),
                  TierList::LoadResult::Corrupt)
            << len;
        ASSERT_EQ(t.rows().size(), 1u);
    }
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        {"negative count", Bytes().i32(-3).bytes()},
        {"absurd count", Bytes().i32(0x7FFFFFFF).str(u"1").str(u"2").bytes()},
        {"negative string length", Bytes().i32(1).i32(-2).str(u"2").bytes()},
        {"absurd string length", Bytes().i32(1).i32(0x40000000).str(u"2").bytes()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TierList t;
        EXPECT_EQ(t.readFileBytes(c.bytes), TierList::LoadResult::Corrupt);
        EXPECT_TRUE(t.rows().empty());
    }
}

class TiersTest : public ::testing::Test {
protected:
    static Calculator::TierRunner dialog(bool ok, std::function<void(TierDialog &)> edit = {}) {
        return [=](TierDialog &d) {
            if (edit) edit(d);
            return ok;
        };
    }
    TempFolder dir;
};

TEST_F(TiersTest, ABrokenFileStartsEmptyAndIsKeptUntilTheTiersChange) {
    const std::string broken = listOf(kThree).fileBytes().substr(0, 20);
    dir.put("staffel.dat", broken);
    Calculator calc(dir.path());
    EXPECT_EQ(calc.tierFileState(), TierList::LoadResult::Corrupt);
    EXPECT_TRUE(calc.tiers().rows().empty());
    EXPECT_EQ(dir.get("staffel.dat"), broken);
    calc.newTier(dialog(true));
    EXPECT_EQ(dir.get("staffel.dat"), listOf({{"1", "1"}}).fileBytes());
}

TEST_F(TiersTest, NewAndEditedTiersApplyToTheCurrentQuantity) {
    Calculator calc(dir.path());
    Engine &e = calc.engine();
    e.StueckEd.setText("20");
    auto result = calc.newTier(dialog(true, [](TierDialog &d) {
        d.StueckEd.setText("12");
        d.RabattEd.setText("7.50");
    }));
    EXPECT_EQ(result, SaveResult::Saved);
    EXPECT_EQ(calc.tiers().rows(), std::vector<TierRow>{(TierRow{"12", "7.5"})});
    EXPECT_EQ(e.RabattEd.text(), "7.50");

    // The dialog shows the row; a text that does not parse leaves its field as it was.
    listOf({{"30", "x"}}).save(dir.path());
    Calculator calc2(dir.path());
    calc2.engine().StueckEd.setText("30");
    calc2.tierDialog.RabattEd.setText("4");
    result = calc2.editTier(0, dialog(true, [](TierDialog &d) {
                                EXPECT_EQ(d.StueckEd.text(), "30");
                                EXPECT_EQ(d.RabattEd.text(), "4");
                                d.StueckEd.setText("25");
                            }));
    EXPECT_EQ(result, SaveResult::Saved);
    EXPECT_EQ(calc2.tiers().rows(), std::vector<TierRow>{(TierRow{"25", "4"})});
    EXPECT_EQ(calc2.engine().RabattEd.text(), "4.00");
    TierList back;
    back.load(dir.path());
    EXPECT_EQ(back.rows(), calc2.tiers().rows());
}

TEST_F(TiersTest, DeletingTheApplyingTierLeavesTheDiscountUntilTheQuantityChanges) {
    listOf(kThree).save(dir.path());
    Calculator calc(dir.path());
    Engine &e = calc.engine();
    e.StueckEd.setText("60");
    EXPECT_EQ(e.RabattEd.text(), "7.50");
    EXPECT_EQ(calc.deleteTier(2), SaveResult::Saved);
    EXPECT_EQ(e.RabattEd.text(), "7.50");
    e.StueckEd.setText("61");
    EXPECT_EQ(e.RabattEd.text(), "5.00");
    EXPECT_EQ(calc.deleteTier(5), SaveResult::Unchanged);
}

TEST_F(TiersTest, CancelledOrUnselectedEditsWriteNothing) {
    Calculator calc(dir.path());
    EXPECT_EQ(calc.newTier(dialog(false)), SaveResult::Unchanged);
    EXPECT_EQ(calc.editTier(-1, dialog(true)), SaveResult::Unchanged);
    EXPECT_EQ(calc.deleteTier(0), SaveResult::Unchanged);
    EXPECT_FALSE(dir.exists("staffel.dat"));
}

} // namespace
} // namespace quentar::costing
