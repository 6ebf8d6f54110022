// The calculator values kept between runs: keys, stored texts, and restoring them.
#include "costing/persisted_settings.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::TempFolder;

TEST(PersistedSettings, KeysInStoreOrder) {
    const auto &keys = persistedKeys();
    ASSERT_EQ(keys.size(), 33u);
    EXPECT_EQ(keys[0], "WaehrEd_Text");
    EXPECT_EQ(keys[8], "TransportproStueckCheck_Checked");
    EXPECT_EQ(keys[9], "Edit1_Text");
    EXPECT_EQ(keys[10], "Edit10_Text");
    EXPECT_EQ(keys[11], "Edit2_Text");
    EXPECT_EQ(keys[19], "DateTimePicker1_Time");
    EXPECT_EQ(keys[20], "DateTimePicker10_Time");
    EXPECT_EQ(keys[32], "EinstechzeitEd_Time");
}

TEST(PersistedSettings, StoredTextsAndTheirRestore) {
    TempFolder dir;
    Calculator first(dir.path());
    first.WaehrEd = "  CHF ";
    first.engine().StundensatzEd.setText("120.5");
    first.engine().ProgrammierEd.setText("0:10:00");
    first.engine().TransportproStueckCheck.setChecked(true);
    first.engine().AnzLochEd.setText("3");
    EXPECT_EQ(persistedValue(first, "WaehrEd_Text"), "CHF");
    EXPECT_EQ(persistedValue(first, "StundensatzEd_Value"), "120.5");
    EXPECT_EQ(persistedValue(first, "ProgrammierEd_Time"), "0.00694444444444444");
    EXPECT_EQ(persistedValue(first, "TransportproStueckCheck_Checked"), "True");
    EXPECT_EQ(persistedValue(first, "Edit7_Text"), "Fahrzeit");
    EXPECT_EQ(persistedValue(first, "MatstarkEd_Value"), std::nullopt);

    Calculator second(dir.path());
    for (const std::string &key : persistedKeys())
        EXPECT_TRUE(restorePersisted(second, key, *persistedValue(first, key))) << key;
    second.windowShown();
    for (const std::string &key : persistedKeys())
        EXPECT_EQ(persistedValue(second, key), persistedValue(first, key)) << key;
    EXPECT_EQ(second.engine().lohnkostened.text(), "6.67");

    EXPECT_FALSE(restorePersisted(second, "StundensatzEd_Value", "viel"));
    EXPECT_FALSE(restorePersisted(second, "StueckEd_Value", "5"));
    EXPECT_EQ(second.engine().StundensatzEd.text(), "120.50");
}

TEST(PersistedSettings, ARestoredPiercingTimeReachesTheLaserTime) {
    TempFolder dir;
    Calculator calc(dir.path());
    // The holes are restored before their piercing time, as the store orders them.
    ASSERT_TRUE(restorePersisted(calc, "AnzLochEd_Value", "3"));
    ASSERT_TRUE(restorePersisted(calc, "EinstechzeitEd_Time", "0.0000231481481481481")); // 2 s
    EXPECT_EQ(calc.engine().LaserZeitEd.text(), "0:00:06");
}

} // namespace
} // namespace quentar::costing
