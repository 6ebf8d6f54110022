// The offer-price text: exact lines, order of the quantities, the calculator's state afterwards.
#include "costing/calculator.h"
#include "costing/offer_prices.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::TempFolder;

class OfferPricesTest : public ::testing::Test {
protected:
    // A part of 100 x 50 mm with 1150 mm of contour (6 s at 11.5 m/min) in 1 mm Edelstahl:
    // material 0.22, cutting 0.42 less the discount, 5 minutes programming (3.33).
    void start(const std::vector<TierRow> &tiers) {
        TierList t;
        for (const TierRow &r : tiers) t.add(r);
        ASSERT_TRUE(t.save(dir.path()));
        calc = std::make_unique<Calculator>(dir.path());
        calc->windowShown();
        Engine &e = calc->engine();
        e.breited.setText("100");
        e.hoched.setText("50");
        e.KonturmmEd.setText("1150");
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Field *f : calc->engine().fields()) out.push_back(f->name() + "=" + f->text());
        return out;
    }

    TempFolder dir;
    std::unique_ptr<Calculator> calc;
};

TEST_F(OfferPricesTest, ListsEveryTierQuantityWithAndWithoutProgramming) {
    start({{"100", "10"}, {"10", "5"}});
    calc->engine().StueckEd.setText("7");
    const auto before = texts();

    const std::vector<std::string> expected = {
        "Angebotspreise incl. Programmkosten in den Positionen:",
        // 0.22 + 0.40 + 3.33 / 10 = 0.95; x 1.3 = 1.235, half a cent up.
        "Angebotspreis 10 Stück - Preis/Stück: 1.24 EUR",
        // 0.22 + 0.38 + 3.33 / 100 = 0.63; x 1.3 = 0.819.
        "Angebotspreis 100 Stück - Preis/Stück: 0.82 EUR",
        "",
        "Angebotspreis - Wiederholaufträge, ohne Programmkosten",
        "Angebotspreis 10 Stück - Preis/Stück: 0.81 EUR",
        "Angebotspreis 100 Stück - Preis/Stück: 0.78 EUR",
    };
    EXPECT_EQ(calc->CalcAngebotspreise(), expected);
    // Every field is back as it was: quantity 7, no discount, the programming cost included.
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(calc->engine().StueckEd.text(), "7");
    EXPECT_EQ(calc->engine().RabattEd.text(), "0.00");
    EXPECT_EQ(calc->engine().lohnkostened.text(), "3.33");
}

// Writing the quantity back runs the tier lookup; what the user set by hand, the discount and a
// result typed over, must come back all the same, or the quotation shown is not the one priced.
TEST_F(OfferPricesTest, LeavesAHandSetDiscountAndATypedResultAsTheyWere) {
    start({{"100", "10"}, {"10", "5"}});
    Engine &e = calc->engine();
    e.StueckEd.setText("20");
    ASSERT_EQ(e.RabattEd.text(), "5.00");
    ASSERT_TRUE(e.RabattEd.setText("15"));
    ASSERT_TRUE(e.GesamtKostenEd.setText("9.99"));
    const auto before = texts();
    calc->CalcAngebotspreise();
    EXPECT_EQ(texts(), before);
}

TEST_F(OfferPricesTest, WithoutTiersOnlyTheHeadingsRemain) {
    start({});
    const std::vector<std::string> expected = {
        "Angebotspreise incl. Programmkosten in den Positionen:", "",
        "Angebotspreis - Wiederholaufträge, ohne Programmkosten"};
    EXPECT_EQ(calc->CalcAngebotspreise(), expected);
}

TEST_F(OfferPricesTest, SkipsTextsKeepsDuplicatesAndShowsClampedQuantities) {
    start({{"20000000", "0"}, {"abc", "1"}, {"5", "0"}, {"2.5", "0"}, {"5", "0"}});
    calc->WaehrEd = "CHF";
    const auto lines = calc->CalcAngebotspreise();
    ASSERT_EQ(lines.size(), 9u);
    const std::string prefixes[] = {"Angebotspreis 5 Stück", "Angebotspreis 5 Stück",
                                    "Angebotspreis 10000000 Stück"};
    for (std::size_t block : {1u, 6u})
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(lines[block + i]);
            EXPECT_EQ(lines[block + i].rfind(prefixes[i], 0), 0u);
            EXPECT_EQ(lines[block + i].substr(lines[block + i].size() - 4), " CHF");
        }
    EXPECT_EQ(calc->engine().StueckEd.text(), "1");
}

} // namespace
} // namespace quentar::costing
