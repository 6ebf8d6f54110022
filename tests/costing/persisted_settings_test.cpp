// The calculator values kept between runs: keys, stored texts, and restoring them.
#include "costing/persisted_settings.h"

#include "costing_test_support.h"

#include <gtest/gtest.h>

namespace quentar::costing {
namespace {

using testing::TempFolder;

TEST(PersistedSettings, KeysInStoreOrder) {
    const auto &keys = persistedKeys();
    ASSERT_EQ(keys.size(), 34u);
    EXPECT_EQ(keys[0], "WaehrEd_Text");
    EXPECT_EQ(keys[8], "TransportproStueckCheck_Checked");
    EXPECT_EQ(keys[9], "Edit1_Text");
    EXPECT_EQ(keys[10], "Edit10_Text");
    EXPECT_EQ(keys[11], "Edit2_Text");
    EXPECT_EQ(keys[19], "DateTimePicker1_Time");
    EXPECT_EQ(keys[20], "DateTimePicker10_Time");
    EXPECT_EQ(keys[32], "EinstechzeitEd_Time");
    EXPECT_EQ(keys[33], "PierceContoursCheck_Checked"); // added after the original 33
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
        EXPECT_EQ(restorePersisted(second, key, *persistedValue(first, key)), std::nullopt) << key;
    second.windowShown();
    for (const std::string &key : persistedKeys())
        EXPECT_EQ(persistedValue(second, key), persistedValue(first, key)) << key;
    EXPECT_EQ(second.engine().lohnkostened.text(), "6.67");

    EXPECT_EQ(restorePersisted(second, "StueckEd_Value", "5"),
              (Refusal{Refusal::Reason::NotASetting}));
}

// A stored value is held to the rules of the field it goes to, as typing would be; a refused one
// leaves the start value and is handed back to be reported.
TEST(PersistedSettings, ValuesThatMakeNoSenseAreRefusedAndReported) {
    using R = Refusal::Reason;
    struct Case {
        const char *key, *value;
        std::optional<Refusal> refusal;
        const char *field, *shown; // the field's text afterwards
    };
    const Case cases[] = {
        {"StundensatzEd_Value", "viel", Refusal{R::NotANumber}, "StundensatzEd", "250.00"},
        {"StundensatzEd_Value", "-5", Refusal{R::BelowLeast, 0}, "StundensatzEd", "250.00"},
        {"StundensatzEd_Value", "nan", Refusal{R::NotANumber}, "StundensatzEd", "250.00"},
        {"mataufschlagEd_Value", "-150", Refusal{R::BelowLeast, -100}, "mataufschlagEd", "20.00"},
        {"GewinnAufschlagEd_Value", "-100", std::nullopt, "GewinnAufschlagEd", "-100.00"},
        {"AnzLochEd_Value", "2.5", Refusal{R::NotAWholeNumber}, "AnzLochEd", "0"},
        {"AnzLochEd_Value", "-1", Refusal{R::BelowLeast, 0}, "AnzLochEd", "0"},
        {"DurchMesserEd_Value", "1e300", Refusal{R::AboveMost, kLargestNumber}, "DurchMesserEd",
         "1.00"},
        {"InitialEd_Time", "-0.5", Refusal{R::BelowLeast, 0}, "InitialEd", "0:00:00"},
        {"InitialEd_Time", "inf", Refusal{R::NotANumber}, "InitialEd", "0:00:00"},
        {"TransportproStueckCheck_Checked", "maybe", Refusal{R::NotACheck},
         "TransportproStueckCheck", "False"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        TempFolder dir;
        Calculator calc(dir.path());
        const auto refused = restoreAllPersisted(calc, [&c](const std::string &key) {
            return key == c.key ? std::optional<std::string>(c.value) : std::nullopt;
        });
        if (c.refusal) {
            ASSERT_EQ(refused.size(), 1u);
            EXPECT_EQ(refused[0].key, c.key);
            EXPECT_EQ(refused[0].value, c.value);
            EXPECT_EQ(refused[0].refusal, *c.refusal);
        } else {
            EXPECT_TRUE(refused.empty());
        }
        EXPECT_EQ(calc.engine().field(c.field)->text(), c.shown);
        EXPECT_FALSE(calc.engine().field(c.field)->refusal()) << "nothing typed, nothing marked";
    }
}

TEST(PersistedSettings, ARestoredPiercingTimeReachesTheLaserTime) {
    TempFolder dir;
    Calculator calc(dir.path());
    // The holes are restored before their piercing time, as the store orders them.
    ASSERT_EQ(restorePersisted(calc, "AnzLochEd_Value", "3"), std::nullopt);
    ASSERT_EQ(restorePersisted(calc, "EinstechzeitEd_Time", "0.0000231481481481481"),
              std::nullopt); // 2 s
    EXPECT_EQ(calc.engine().LaserZeitEd.text(), "0:00:06");
}

} // namespace
} // namespace quentar::costing
