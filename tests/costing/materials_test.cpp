// Editing the catalogue through the calculator: applying, new, edit, delete, the file written.
#include "costing/calculator.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::TempFolder;

class MaterialsTest : public ::testing::Test {
protected:
    std::vector<int> matnrs() const {
        std::vector<int> out;
        for (const tvorschub &e : calc.catalogue().feedEntries()) out.push_back(e.matnr);
        return out;
    }
    // Runs a dialog: `edit` changes it, then OK (true) or cancel.
    static Calculator::MaterialRunner dialog(bool ok,
                                             std::function<void(MaterialDialog &)> edit = {}) {
        return [=](MaterialDialog &d) {
            if (edit) edit(d);
            return ok;
        };
    }
    Catalogue saved() const {
        Catalogue c;
        EXPECT_EQ(c.load(dir.path()), Catalogue::LoadResult::Loaded);
        return c;
    }

    TempFolder dir;
    Calculator calc{dir.path()};
    Engine &engine = calc.engine();
};

TEST_F(MaterialsTest, AFreshStartAppliesTheFirstDefaultMaterial) {
    const std::vector<std::string> names = {"Edelstahl", "Stahl", "Aluminium", "Verzinkt"};
    EXPECT_EQ(engine.MaterialBoxEd.items(), names);
    EXPECT_EQ(engine.MaterialBoxEd.text(), "Edelstahl");
    EXPECT_EQ(engine.MatPreisEd.text(), "3.00");
    EXPECT_EQ(engine.SpezGewEd.text(), "7.80");
    EXPECT_FALSE(engine.qmPreisCheck.checked());
    EXPECT_EQ(engine.vorschubed.text(), "11.50");
}

TEST_F(MaterialsTest, ChoosingAMaterialAppliesItsTextsThatParse) {
    Catalogue c;
    c.addMaterial({"Holz", "12", "0.7", true}, {{"1", "20"}});
    c.addMaterial({"Unklar", "n/a", "8,5", false}, {});
    ASSERT_TRUE(c.save(dir.path()));
    Calculator calc2(dir.path());
    Engine &e = calc2.engine();
    EXPECT_EQ(e.MatPreisEd.text(), "12.00");
    EXPECT_EQ(e.qmPreisCheck.text(), "True");
    EXPECT_EQ(e.vorschubed.text(), "20.00");
    // Neither text parses: price and weight stay, the pricing mode follows the row.
    e.MaterialBoxEd.setText("Unklar");
    EXPECT_EQ(e.MatPreisEd.text(), "12.00");
    EXPECT_EQ(e.SpezGewEd.text(), "0.70");
    EXPECT_EQ(e.qmPreisCheck.text(), "False");
}

TEST_F(MaterialsTest, DeletingAMaterialRenumbersTheFeedEntriesAfterIt) {
    engine.MaterialBoxEd.setText("Aluminium");
    EXPECT_EQ(calc.deleteMaterial(1), SaveResult::Saved);
    std::vector<int> expected(17, 0);
    expected.insert(expected.end(), 13, 1);
    expected.insert(expected.end(), 17, 2);
    EXPECT_EQ(matnrs(), expected);
    EXPECT_EQ(saved().fileBytes(), calc.catalogue().fileBytes());
    // The box keeps its index, now showing Verzinkt, but nothing is re-applied.
    EXPECT_EQ(engine.MaterialBoxEd.text(), "Verzinkt");
    EXPECT_EQ(engine.MatPreisEd.text(), "4.00");
    EXPECT_EQ(calc.deleteMaterial(7), SaveResult::Unchanged);
}

TEST_F(MaterialsTest, EditingSortsTheFeedTableEvenWhenCancelled) {
    EXPECT_EQ(calc.editMaterial(0, dialog(false)), SaveResult::Unchanged);
    const auto entries = calc.catalogue().feedEntries();
    ASSERT_EQ(entries.size(), 65u);
    for (std::size_t i = 1; i < entries.size(); ++i)
        ASSERT_LE(entries[i - 1].staerke, entries[i].staerke) << i;
    // Not written now; the sorted order reaches the file with the next change.
    EXPECT_FALSE(dir.exists("material.dat"));
    calc.deleteMaterial(3);
    EXPECT_EQ(saved().fileBytes(), calc.catalogue().fileBytes());
}

TEST_F(MaterialsTest, TheSortIsNotStableAndItsOrderDecidesBetweenEqualThicknesses) {
    calc.newMaterial(dialog(true, [](MaterialDialog &d) {
        d.name = "Test";
        d.thicknesses = {{"2", "5"}, {"2", "6"}, {"1", "9"}};
    }));
    // Alone in the table, so the exchanges can be followed by hand.
    for (int i = 0; i < 4; ++i) calc.deleteMaterial(0);
    engine.MaterialBoxEd.setText("Test");
    engine.MatstarkEd.setText("2");
    EXPECT_EQ(engine.vorschubed.text(), "5.00");
    calc.editMaterial(0, dialog(false));
    // Exchanging 2/5 with 1/9 puts 2/5 behind 2/6: the two 2 mm entries change places.
    const std::vector<ThicknessRow> sorted = {{"1", "9"}, {"2", "6"}, {"2", "5"}};
    EXPECT_EQ(calc.catalogue().thicknessRows(0), sorted);
    engine.MatstarkEd.setText("2.0");
    EXPECT_EQ(engine.vorschubed.text(), "6.00");
}

TEST_F(MaterialsTest, EditingReplacesTheMaterialAndItsThicknesses) {
    std::vector<ThicknessRow> shown;
    auto result = calc.editMaterial(1, dialog(true, [&](MaterialDialog &d) {
                                        EXPECT_EQ(d.name, "Stahl");
                                        EXPECT_EQ(d.preised.text(), "1.00");
                                        EXPECT_EQ(d.SpezGewEd.text(), "7.80");
                                        shown = d.thicknesses;
                                        d.preised.setText("1.25");
                                        d.preisqmCheck = true;
                                        d.thicknesses = {{"1", "8.5"}, {"dick", "x"}};
                                    }));
    EXPECT_EQ(result, SaveResult::Saved);
    ASSERT_EQ(shown.size(), 18u);
    EXPECT_EQ(shown[0], (ThicknessRow{"1", "8.2"}));
    EXPECT_EQ(shown[17], (ThicknessRow{"25", "0.8"}));
    const MaterialRow expected{"Stahl", "1.25", "7.8", true};
    EXPECT_EQ(calc.catalogue().rows()[1], expected);
    // The new entries go to the end; texts that do not parse become 0.
    const std::vector<ThicknessRow> rows = {{"1", "8.5"}, {"0", "0"}};
    EXPECT_EQ(calc.catalogue().thicknessRows(1), rows);
    EXPECT_EQ(calc.catalogue().feedEntries().size(), 65u - 18 + 2);
    EXPECT_EQ(matnrs().back(), 1);
    EXPECT_EQ(saved().rows()[1], expected);
}

TEST_F(MaterialsTest, ANewMaterialStartsFromTheDialogAsLastUsed) {
    calc.editMaterial(1, dialog(false));
    calc.newMaterial(dialog(true, [](MaterialDialog &d) {
        EXPECT_EQ(d.name, "");
        EXPECT_EQ(d.preised.text(), "1.00");
        EXPECT_EQ(d.thicknesses.size(), 18u);
        d.name = "Stahl 2";
    }));
    ASSERT_EQ(calc.catalogue().rows().size(), 5u);
    EXPECT_EQ(calc.catalogue().rows()[4], (MaterialRow{"Stahl 2", "1", "7.8", false}));
    EXPECT_EQ(calc.catalogue().thicknessRows(4), calc.catalogue().thicknessRows(1));
    EXPECT_EQ(engine.MaterialBoxEd.items().back(), "Stahl 2");
    EXPECT_EQ(saved().rows().size(), 5u);
}

TEST_F(MaterialsTest, CancellingStillReappliesTheChosenMaterial) {
    engine.MatPreisEd.setText("99");
    EXPECT_EQ(calc.newMaterial(dialog(false)), SaveResult::Unchanged);
    EXPECT_EQ(engine.MatPreisEd.text(), "3.00");
    EXPECT_EQ(calc.catalogue().rows().size(), 4u);
    engine.MatPreisEd.setText("99");
    EXPECT_EQ(calc.editMaterial(-1, dialog(true)), SaveResult::Unchanged);
    EXPECT_EQ(engine.MatPreisEd.text(), "3.00");
    EXPECT_FALSE(dir.exists("material.dat"));
}

TEST(DataFolder, TheFirstChangeCreatesTheFolder) {
    TempFolder root;
    const std::string folder = root.path() + "/share/Morvane/Quentar";
    Calculator calc(folder);
    EXPECT_FALSE(std::filesystem::exists(folder)); // reading never creates it
    EXPECT_EQ(calc.deleteMaterial(0), SaveResult::Saved);
    EXPECT_TRUE(std::filesystem::exists(folder + "/material.dat"));
}

} // namespace
} // namespace quentar::costing
