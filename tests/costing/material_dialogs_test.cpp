// The material dialog's thickness list, the m/min and m/s coupling, and the price per m².
#include "costing/material_dialogs.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

TEST(ThicknessDialog, FeedInMetresPerMinuteAndPerSecondFollowEachOther) {
    ThicknessDialog d;
    EXPECT_EQ(d.RxSpinEdit1.text(), "0.19"); // 11.5 / 60
    d.VorschubEd.setText("12");
    EXPECT_EQ(d.RxSpinEdit1.text(), "0.20");
    d.RxSpinEdit1.setText("0.25");
    EXPECT_EQ(d.VorschubEd.text(), "15.00");
    // Not written back from the rounded m/s: 11.5 m/min stays 11.5, not 0.19 x 60.
    d.VorschubEd.setText("11.5");
    EXPECT_EQ(d.RxSpinEdit1.text(), "0.19");
    d.starked.setText("2.5");
    EXPECT_EQ(d.row(), (ThicknessRow{"2.5", "11.5"}));
}

TEST(SquareMetrePriceDialog, SpreadsTransportAndSurchargeOverThePlates) {
    SquareMetrePriceDialog d;
    d.recalculate();
    // One plate of 172 x 250 cm: 4.3 m²; (4.3 x 4.9 + 9.9) / 4.3 = 7.2023...
    EXPECT_EQ(d.FlaecheEd.text(), "4.30");
    EXPECT_EQ(d.PreisEd.text(), "7.20");
    d.MengeEd.setText("3");
    EXPECT_EQ(d.FlaecheEd.text(), "12.90");
    EXPECT_EQ(d.PreisEd.text(), "5.67"); // (12.9 x 4.9 + 9.9) / 12.9
    d.ZuschlagEd.setText("12.9");
    EXPECT_EQ(d.PreisEd.text(), "6.67");
    // Divided by the unrounded area: 0.0172 m² shows as 0.02, but 4.9 + 1 / 0.0172 = 63.04.
    d.MengeEd.setText("1");
    d.BreiteEd.setText("1");
    d.LangEd.setText("172");
    d.transportEd.setText("1");
    d.ZuschlagEd.setText("0");
    EXPECT_EQ(d.FlaecheEd.text(), "0.02");
    EXPECT_EQ(d.PreisEd.text(), "63.04");
}

TEST(SquareMetrePriceDialog, WithoutAnAreaThereIsNoPriceToTakeOver) {
    MaterialDialog m;
    m.preised.setText("3.5");
    m.calculatePrice([](SquareMetrePriceDialog &d) {
        d.MengeEd.setText("0");
        EXPECT_FALSE(d.hasPrice());
        EXPECT_EQ(d.PreisEd.text(), "0.00");
        return true;
    });
    EXPECT_EQ(m.preised.text(), "3.5");
    m.calculatePrice([](SquareMetrePriceDialog &d) {
        d.MengeEd.setText("1");
        return true;
    });
    EXPECT_EQ(m.preised.text(), "7.20");
    // The pricing mode is the user's to set.
    EXPECT_FALSE(m.preisqmCheck);
    EXPECT_EQ(m.row().price, "7.2");
}

TEST(MaterialDialog, EditsItsThicknessList) {
    MaterialDialog m;
    auto ok = [](std::function<void(ThicknessDialog &)> edit) {
        return [=](ThicknessDialog &d) {
            edit(d);
            return true;
        };
    };
    m.newThickness(ok([](ThicknessDialog &d) {
        d.starked.setText("2");
        d.VorschubEd.setText("7.3");
    }));
    // A new thickness starts from the dialog's last values.
    m.newThickness(ok([](ThicknessDialog &d) { EXPECT_EQ(d.starked.text(), "2"); }));
    m.newThickness([](ThicknessDialog &) { return false; });
    ASSERT_EQ(m.thicknesses.size(), 2u);
    m.thicknesses[1] = {"3", "fast"};
    // A text that does not parse leaves the dialog's field as it was.
    m.editThickness(1, ok([](ThicknessDialog &d) {
                        EXPECT_EQ(d.starked.text(), "3.00");
                        EXPECT_EQ(d.VorschubEd.text(), "7.3");
                        d.RxSpinEdit1.setText("0.1");
                    }));
    EXPECT_EQ(m.thicknesses[1], (ThicknessRow{"3", "6"}));
    m.deleteThickness(0);
    m.deleteThickness(5);
    EXPECT_EQ(m.thicknesses, std::vector<ThicknessRow>{(ThicknessRow{"3", "6"})});
}

} // namespace
} // namespace quentar::costing
