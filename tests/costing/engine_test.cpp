// The calculation engine: start state, worked examples to the cent, chain order, failure rules.
#include "costing/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace quentar::costing {
namespace {

// The engine as the calculator starts it, with the default catalogue and no tiers.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        catalogue.addDefaults();
        engine.updateMaterialBox();
        engine.selectvorschub();
        engine.StueckEdChange();
        engine.MaterialBoxEdChange();
        engine.calclohnkosten();
    }

    std::string text(const char *name) const {
        Field *f = engine.field(name);
        return f ? f->text() : "<no field " + std::string(name) + ">";
    }
    void type(const char *name, const std::string &t) {
        Field *f = engine.field(name);
        ASSERT_NE(f, nullptr) << name;
        ASSERT_TRUE(f->setText(t)) << name << "=" << t;
    }
    // Records the names of the fields whose shown value changes, in order.
    void recordChanges() {
        for (Field *f : engine.fields())
            f->subscribe([this](const Field &changed) { changes.push_back(changed.name()); });
    }

    Catalogue catalogue;
    TierList tiers;
    Engine engine{catalogue, tiers};
    std::vector<std::string> changes;
};

TEST_F(EngineTest, StartsWithTheStartValuesAndTheFirstMaterial) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"MaterialBoxEd", "Edelstahl"},
        {"StueckEd", "1"},
        {"MatstarkEd", "1.00"},
        {"MatZugabeEd", "8.00"},
        {"mataufschlagEd", "20.00"},
        {"StundensatzEd", "250.00"},
        {"RabattEd", "0.00"},
        {"FabrikationsStundensatzEd", "40.00"},
        {"InitialEd", "0:00:00"},
        {"ProgramStundenEd", "40.00"},
        {"ProgrammierEd", "0:05:00"},
        {"GewinnAufschlagEd", "30.00"},
        {"KleinMengenEd", "0.00"},
        {"TransportEd", "0.00"},
        {"qmPreisCheck", "False"},
        {"TransportproStueckCheck", "False"},
        {"breited", "0.00"},
        {"hoched", "0.00"},
        {"KonturmmEd", "0.00"},
        {"FlaecheEd", "0.00"},
        {"MatPreisEd", "3.00"},
        {"vorschubed", "11.50"},
        {"SpezGewEd", "7.80"},
        {"AnzLochEd", "0"},
        {"DurchMesserEd", "1.00"},
        {"EinstechzeitEd", "0:00:00"},
        {"PiercesEd", "0"},
        {"PierceContoursCheck", "False"},
        {"StundeEd", "40.00"},
        {"DateTimePicker1", "0:00:00"},
        {"DateTimePicker2", "0:00:00"},
        {"DateTimePicker3", "0:00:00"},
        {"DateTimePicker4", "0:00:00"},
        {"DateTimePicker5", "0:00:00"},
        {"DateTimePicker6", "0:00:00"},
        {"DateTimePicker7", "0:00:00"},
        {"DateTimePicker8", "0:00:00"},
        {"DateTimePicker9", "0:00:00"},
        {"DateTimePicker10", "0:00:00"},
        {"GewichtEd", "0.00"}, // the 16 x 16 mm allowance square alone: 0.002 kg
        {"TeilgewichtEd", "0.00"},
        {"LaserZeitEd", "0:00:00"},
        {"matkostenEd", "0.00"},
        {"SchneidkostenEd", "0.00"},
        {"lohnkostened", "3.33"}, // 5 minutes programming at 40 per hour
        {"GesamtKostenEd", "3.33"},
        {"PreisProStueckEd", "4.33"},
        {"GesamtPreisEd", "4.33"},
    };
    std::vector<std::pair<std::string, std::string>> actual;
    for (const Field *f : engine.fields()) actual.emplace_back(f->name(), f->text());
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(engine.fieldNames().size(), expected.size());
    EXPECT_EQ(engine.field("NoSuchEd"), nullptr);
}

TEST_F(EngineTest, MaterialCostIsComputedFromTheDisplayedWeight) {
    type("breited", "100");
    type("hoched", "50");
    // 7.8 x 1.16 x 0.66 x 0.01 = 0.0597 kg shows as 0.06; 0.06 x 3 x 1.2 = 0.216.
    EXPECT_EQ(text("GewichtEd"), "0.06");
    EXPECT_EQ(text("matkostenEd"), "0.22");
    type("FlaecheEd", "75");
    // The finished part has no allowance: 7.8 x 1 x 0.5 x 0.01 x 75 % = 0.02925.
    EXPECT_EQ(text("TeilgewichtEd"), "0.03");
}

TEST_F(EngineTest, MaterialCostPerSquareMetreUsesTheBlanksArea) {
    type("breited", "1000");
    type("hoched", "500");
    EXPECT_EQ(text("GewichtEd"), "4.09");    // 7.8 x 10.16 x 5.16 x 0.01
    EXPECT_EQ(text("matkostenEd"), "14.72"); // 4.09 x 3 x 1.2
    engine.qmPreisCheck.setChecked(true);
    EXPECT_EQ(text("matkostenEd"), "1.89"); // 3 x 1.016 m x 0.516 m x 1.2
}

TEST_F(EngineTest, LaserTimeAndCuttingCost) {
    type("KonturmmEd", "1000");
    type("vorschubed", "10");
    // 1000 mm at 10 m/min = 166.67 mm/s: 6 s; 250 per hour x 6 s = 0.4166...
    EXPECT_EQ(text("LaserZeitEd"), "0:00:06");
    EXPECT_EQ(text("SchneidkostenEd"), "0.42");

    // Three holes of 10 mm, 2 s piercing each: 6 s piercing and 94.25 mm more cutting.
    type("AnzLochEd", "3");
    type("DurchMesserEd", "10");
    type("EinstechzeitEd", "0:00:02");
    EXPECT_NEAR(engine.LaserZeitEd.hours() * 3600, 6 + 1094.2477796 / (10000.0 / 60), 1e-6);
    EXPECT_EQ(text("LaserZeitEd"), "0:00:12");
    EXPECT_EQ(text("SchneidkostenEd"), "0.87");
    EXPECT_EQ(text("GesamtKostenEd"), "4.20"); // 0.00 + 0.87 + 3.33
}

TEST_F(EngineTest, ALaserTimeOfADayOrMoreIsShownAndCostedWhole) {
    type("vorschubed", "10");
    type("KonturmmEd", "15000000"); // 25 hours at 10 m/min
    EXPECT_EQ(text("LaserZeitEd"), "25:00:00");
    EXPECT_EQ(text("SchneidkostenEd"), "6250.00"); // 250 per hour, not 1 hour's 250.00
    // Billions of holes overflow nothing.
    type("AnzLochEd", "2147483647");
    type("DurchMesserEd", "1000");
    EXPECT_GT(engine.LaserZeitEd.hours(), 1e7);
    EXPECT_EQ(engine.refusedFields(), std::vector<const Field *>{});
}

TEST_F(EngineTest, ChangesRunDepthFirst) {
    type("breited", "100");
    type("hoched", "50");
    type("FlaecheEd", "50");
    recordChanges();
    type("SpezGewEd", "2.7");
    // The weight's handler finishes the material cost's whole chain before the part weight.
    const std::vector<std::string> expected = {
        "SpezGewEd",        "GewichtEd",     "matkostenEd",  "GesamtKostenEd",
        "PreisProStueckEd", "GesamtPreisEd", "TeilgewichtEd"};
    EXPECT_EQ(changes, expected);
}

TEST_F(EngineTest, AChangeHiddenByTheRoundingGoesNoFurther) {
    type("breited", "100");
    type("hoched", "50");
    type("FlaecheEd", "50");
    recordChanges();
    type("SpezGewEd", "7.81"); // 0.0598 kg: still 0.06
    EXPECT_EQ(changes, std::vector<std::string>{"SpezGewEd"});
}

TEST_F(EngineTest, ATypedResultDrivesTheFieldsBelowUntilItsInputsChange) {
    type("breited", "100");
    type("hoched", "50");
    type("matkostenEd", "5");
    EXPECT_EQ(text("GesamtKostenEd"), "8.33");
    type("MatZugabeEd", "8.00"); // same text: nothing runs
    EXPECT_EQ(text("matkostenEd"), "5");
    type("MatPreisEd", "4");
    EXPECT_EQ(text("matkostenEd"), "0.29"); // 0.06 x 4 x 1.2
    EXPECT_EQ(text("GesamtKostenEd"), "3.62");
}

TEST_F(EngineTest, PricesPerPieceAndForTheOrder) {
    type("matkostenEd", "1");
    type("SchneidkostenEd", "2");
    type("lohnkostened", "40");
    type("KleinMengenEd", "5");
    type("TransportEd", "10");
    struct Case {
        bool perPiece;
        const char *quantity, *cost, *price, *total;
    };
    const Case cases[] = {
        // Transport once per order: (1 + 2 + 40) x 1.3 + 5 + 10.
        {false, "1", "43.00", "55.90", "70.90"},
        {false, "4", "13.00", "16.90", "82.60"},
        // Transport per piece is in the cost and price per piece, and the total is the price
        // per piece times the quantity plus the surcharge, to the cent.
        {true, "1", "53.00", "68.90", "73.90"},
        {true, "4", "23.00", "29.90", "124.60"},
        {true, "7", "18.71", "24.32", "175.24"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.perPiece ? "per piece, " : "per order, ") + c.quantity);
        engine.TransportproStueckCheck.setChecked(c.perPiece);
        type("StueckEd", c.quantity);
        EXPECT_EQ(text("GesamtKostenEd"), c.cost);
        EXPECT_EQ(text("PreisProStueckEd"), c.price);
        EXPECT_EQ(text("GesamtPreisEd"), c.total);
    }
}

// A feed of 0 would cut in no time: it is refused, and the laser time goes on from the last
// feed taken.
TEST_F(EngineTest, AFeedRateOfZeroIsRefusedAndTheLastFeedStays) {
    type("KonturmmEd", "1000");
    type("vorschubed", "10");
    EXPECT_FALSE(engine.vorschubed.setText("0"));
    EXPECT_EQ(engine.vorschubed.refusal(), (Refusal{Refusal::Reason::BelowLeast, 0.001}));
    EXPECT_EQ(text("vorschubed"), "10");
    EXPECT_EQ(text("LaserZeitEd"), "0:00:06");
    type("KonturmmEd", "2000");
    EXPECT_EQ(text("LaserZeitEd"), "0:00:12");
}

// Every input that makes no sense is refused by its field: the figures stay exactly those of the
// last values taken, and the field says why.
TEST_F(EngineTest, InputsThatMakeNoSenseAreRefusedAndChangeNoFigure) {
    type("breited", "100");
    type("hoched", "50");
    type("KonturmmEd", "1150");
    using R = Refusal::Reason;
    struct Case {
        const char *field, *text;
        Refusal refusal;
    };
    const Case cases[] = {
        {"StueckEd", "0", {R::BelowLeast, 1}},
        {"StueckEd", "-3", {R::BelowLeast, 1}},
        {"StueckEd", "1.5", {R::NotAWholeNumber}},
        {"StueckEd", "1e9", {R::AboveMost, 10'000'000}},
        {"StueckEd", "abc", {R::NotANumber}},
        {"MatstarkEd", "0", {R::NotAboveLeast, 0}},
        {"MatstarkEd", "-1", {R::NotAboveLeast, 0}},
        {"MatstarkEd", "nan", {R::NotANumber}},
        {"MatstarkEd", "inf", {R::NotANumber}},
        {"StundensatzEd", "-250", {R::BelowLeast, 0}},
        {"FabrikationsStundensatzEd", "-1", {R::BelowLeast, 0}},
        {"ProgramStundenEd", "-0.01", {R::BelowLeast, 0}},
        {"StundeEd", "-40", {R::BelowLeast, 0}},
        {"MatPreisEd", "-3", {R::BelowLeast, 0}},
        {"SpezGewEd", "-7.8", {R::BelowLeast, 0}},
        {"mataufschlagEd", "-100.01", {R::BelowLeast, -100}},
        {"GewinnAufschlagEd", "-200", {R::BelowLeast, -100}},
        {"RabattEd", "100.5", {R::AboveMost, 100}},
        {"RabattEd", "-5", {R::BelowLeast, 0}},
        {"KleinMengenEd", "-5", {R::BelowLeast, 0}},
        {"TransportEd", "-10", {R::BelowLeast, 0}},
        // The part is 100 x 50: an allowance of -25 on each side leaves nothing of it.
        {"MatZugabeEd", "-25", {R::LargerThanThePart, -25}},
        {"vorschubed", "-11.5", {R::BelowLeast, 0.001}},
        {"vorschubed", "0", {R::BelowLeast, 0.001}},
        {"vorschubed", "0.0001", {R::BelowLeast, 0.001}},
        {"AnzLochEd", "2.5", {R::NotAWholeNumber}},
        {"AnzLochEd", "-1", {R::BelowLeast, 0}},
        {"DurchMesserEd", "-10", {R::BelowLeast, 0}},
        {"breited", "-100", {R::BelowLeast, 0}},
        {"KonturmmEd", "1e300", {R::AboveMost, kLargestNumber}},
        // The results the user may type over take any number, but no more than one.
        {"matkostenEd", "inf", {R::NotANumber}},
        {"GewichtEd", "1e13", {R::AboveMost, kLargestNumber}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.text);
        std::vector<std::string> before;
        for (const Field *f : engine.fields()) before.push_back(f->text());
        Field *f = engine.field(c.field);
        ASSERT_NE(f, nullptr);
        EXPECT_FALSE(f->setText(c.text));
        EXPECT_EQ(f->refusal(), c.refusal);
        EXPECT_EQ(f->editText(), c.text);
        EXPECT_EQ(engine.refusedFields(), std::vector<const Field *>{f});
        std::vector<std::string> after;
        for (const Field *g : engine.fields()) after.push_back(g->text());
        EXPECT_EQ(after, before);
        // Typing a sensible value again clears the mark.
        EXPECT_TRUE(f->setText(before[static_cast<std::size_t>(
            std::find(engine.fields().begin(), engine.fields().end(), f) -
            engine.fields().begin())]));
        EXPECT_FALSE(f->refusal());
    }
    // The edges themselves are taken.
    for (const auto &[field, edge] :
         {std::pair{"GewinnAufschlagEd", "-100"}, std::pair{"RabattEd", "100"},
          std::pair{"MatZugabeEd", "-24.99"}, std::pair{"vorschubed", "0.001"},
          std::pair{"StueckEd", "10000000"}, std::pair{"TransportEd", "150"}}) {
        SCOPED_TRACE(field);
        EXPECT_TRUE(engine.field(field)->setText(edge));
    }
}

TEST_F(EngineTest, AnAllowanceThatNoLongerFitsANewPartIsMarkedAndLeavesNoBlank) {
    type("breited", "100");
    type("hoched", "50");
    type("MatstarkEd", "10");
    type("MatZugabeEd", "-20");
    EXPECT_EQ(text("GewichtEd"), "0.05"); // 7.8 x 0.6 x 0.1 x 0.1
    engine.takeOverDrawing({120, 0, 30, 0, 30, {900}});
    EXPECT_EQ(engine.MatZugabeEd.refusal(), (Refusal{Refusal::Reason::LargerThanThePart, -15}));
    // Not a negative blank whose two sides multiply to a positive weight again.
    EXPECT_EQ(text("GewichtEd"), "0.00");
    engine.takeOverDrawing({120, 0, 100, 0, 50, {5000}});
    EXPECT_FALSE(engine.MatZugabeEd.refusal());
    EXPECT_EQ(text("GewichtEd"), "0.05");
}

TEST_F(EngineTest, ComputedFieldsAreNotSettings) {
    for (const char *name :
         {"GewichtEd", "TeilgewichtEd", "LaserZeitEd", "matkostenEd", "SchneidkostenEd",
          "lohnkostened", "GesamtKostenEd", "PreisProStueckEd", "GesamtPreisEd"})
        EXPECT_EQ(engine.checkSetting(*engine.field(name), "1"),
                  (Refusal{Refusal::Reason::Computed}))
            << name;
    EXPECT_EQ(engine.checkSetting(engine.StueckEd, "1.5"),
              (Refusal{Refusal::Reason::NotAWholeNumber}));
    EXPECT_EQ(engine.checkSetting(engine.StueckEd, "12"), std::nullopt);
    EXPECT_EQ(engine.checkSetting(engine.MaterialBoxEd, "Holz"),
              (Refusal{Refusal::Reason::NotAnItem}));
    EXPECT_EQ(engine.checkSetting(engine.ProgrammierEd, "soon"),
              (Refusal{Refusal::Reason::NotATime}));
}

// The order total is built from the costs, not from the rounded price per piece: it must follow
// each of them, whatever order the inputs come in.
TEST_F(EngineTest, TheTotalFollowsEveryCostEvenWhenThePricePerPieceStays) {
    Catalogue otherCatalogue;
    otherCatalogue.addDefaults();
    Engine other(otherCatalogue, tiers);
    other.updateMaterialBox();
    other.MaterialBoxEdChange();
    other.calclohnkosten();
    const std::pair<const char *, const char *> inputs[] = {
        {"StueckEd", "10000"}, {"KonturmmEd", "1150"}, {"DateTimePicker1", "0:00:01"}};
    for (const auto &[name, value] : inputs) type(name, value);
    for (auto it = std::rbegin(inputs); it != std::rend(inputs); ++it)
        ASSERT_TRUE(other.field(it->first)->setText(it->second));
    for (const Field *f : engine.fields())
        EXPECT_EQ(f->text(), other.field(f->name())->text()) << f->name();
    // One second of effort moved the labour cost (3.33 to 3.34) but not the price per piece.
    EXPECT_EQ(text("lohnkostened"), "3.34");
    EXPECT_EQ(text("GesamtPreisEd"), "5464.34"); // (0.42 x 10000 + 3.34) x 1.3, not 3.33
}

TEST_F(EngineTest, TheQuantityPicksTheTierDiscount) {
    tiers.add({"10", "5"});
    tiers.add({"100", "10"});
    tiers.add({"50", "8"});
    tiers.add({"abc", "50"}); // texts that do not parse never apply
    tiers.add({"0", "60"});
    tiers.add({"-5", "70"});
    tiers.add({"10", "7"}); // the first of equal quantities wins
    // Discounts that are no number or beyond 0 to 100 % (a damaged staffel.dat): such a tier is
    // refused and the one below it applies, never 0 % or a clamped 100 %.
    tiers.add({"20", "x"});
    tiers.add({"30", "150"});
    tiers.add({"40", "-50"});
    tiers.add({"45", "nan"});
    struct Case {
        const char *quantity, *discount;
    };
    const Case cases[] = {{"9", "0.00"},  {"10", "5.00"},   {"19", "5.00"},
                          {"20", "5.00"}, {"49", "5.00"},   {"50", "8.00"},
                          {"99", "8.00"}, {"100", "10.00"}, {"5000", "10.00"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.quantity);
        type("StueckEd", c.quantity);
        EXPECT_EQ(text("RabattEd"), c.discount);
    }
    // A discount typed by hand lasts until the quantity changes.
    type("RabattEd", "50");
    type("StueckEd", "12");
    EXPECT_EQ(text("RabattEd"), "5.00");
}

TEST_F(EngineTest, TheDiscountReducesTheCuttingCostWithHalvesRoundedUp) {
    tiers.add({"100", "10"});
    type("KonturmmEd", "1150"); // 6 s at 11.5 m/min
    type("StueckEd", "100");
    EXPECT_EQ(text("SchneidkostenEd"), "0.38"); // 0.41666 x 0.9 = 0.375
}

TEST(FindFeed, TakesTheNextThickerEntryElseTheThickest) {
    FeedTable table;
    auto add = [&](int matnr, double staerke, double feed) {
        tvorschub *e = table.Add();
        *e = {matnr, staerke, feed};
    };
    add(0, 2.5, 6.1);
    add(1, 1.8, 99); // another material
    add(0, 1, 11.5);
    add(0, 2, 7.3);
    add(0, 1.5, 8.8);
    add(0, 2, 1.0); // a second 2 mm entry: the first one stays
    struct Case {
        double t;
        double feed;
    };
    for (const Case &c : {Case{1.7, 7.3}, Case{3, 6.1}, Case{0.5, 11.5}, Case{2, 7.3},
                          Case{1, 11.5}, Case{2.4, 6.1}}) {
        SCOPED_TRACE(c.t);
        EXPECT_EQ(findFeed(table, 0, c.t), c.feed);
    }
    EXPECT_EQ(findFeed(table, 1, 5), 99);
    EXPECT_EQ(findFeed(table, 2, 1), std::nullopt);
    EXPECT_EQ(findFeed(table, -1, 1), std::nullopt);
}

TEST_F(EngineTest, TheFeedFollowsMaterialAndThickness) {
    engine.MaterialBoxEd.setText("Aluminium");
    EXPECT_EQ(text("MatPreisEd"), "4.00");
    EXPECT_EQ(text("SpezGewEd"), "2.70");
    EXPECT_EQ(text("vorschubed"), "14.50");
    type("MatstarkEd", "3.2");
    EXPECT_EQ(text("vorschubed"), "4.20"); // the 3.5 mm entry
    type("MatstarkEd", "30");
    EXPECT_EQ(text("vorschubed"), "0.50"); // thicker than any: the 12 mm entry
}

TEST_F(EngineTest, AMaterialWithoutFeedEntriesKeepsTheFeedRate) {
    catalogue.addMaterial({"Holz", "12", "0.7", true}, {});
    engine.updateMaterialBox();
    type("vorschubed", "9.5");
    engine.MaterialBoxEd.setText("Holz");
    EXPECT_EQ(text("vorschubed"), "9.5"); // not even rewritten
    EXPECT_EQ(text("qmPreisCheck"), "True");
    type("MatstarkEd", "2");
    EXPECT_EQ(text("vorschubed"), "9.5");
}

TEST_F(EngineTest, TakesOverADrawingsFigures) {
    struct Case {
        const char *name;
        DrawingFigures figures;
        const char *width, *length, *coverage;
    };
    const Case cases[] = {
        // Outline 5000 mm² with holes of 200 and 300 in 100 x 60: 4500 / 6000.
        {"part with holes", {320, 10, 110, 5, 65, {200, 5000, 300}}, "100.00", "60.00", "75.00"},
        {"single line", {100, 0, 100, 0, 0, {}}, "100.00", "0.00", "100.00"},
        {"no closed contour", {100, 0, 100, 0, 50, {}}, "100.00", "50.00", "0.00"},
        // Several parts side by side: the smaller ones count as holes of the largest. Whether
        // that makes sense is for the measuring to say; the figure is taken as it comes.
        {"holes beyond the outline",
         {100, 0, 100, 0, 50, {600, 1000, 600}},
         "100.00",
         "50.00",
         "-4.00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        engine.takeOverDrawing(c.figures);
        EXPECT_EQ(text("breited"), c.width);
        EXPECT_EQ(text("hoched"), c.length);
        EXPECT_EQ(text("FlaecheEd"), c.coverage);
        EXPECT_EQ(engine.KonturmmEd.value(), c.figures.konturlang);
        EXPECT_EQ(engine.refusedFields(), std::vector<const Field *>{});
    }
    // Taking over the same figures again still recomputes weight and laser time.
    type("GewichtEd", "9.99");
    engine.LaserZeitEd.setText("2:00:00");
    engine.takeOverDrawing(cases[2].figures);
    EXPECT_EQ(text("GewichtEd"), "0.06"); // 7.8 x 1.16 x 0.66 x 0.01
    EXPECT_EQ(text("LaserZeitEd"), "0:00:00");
}

} // namespace
} // namespace quentar::costing
