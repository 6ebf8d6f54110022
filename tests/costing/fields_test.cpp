// How the calculator's fields read, write and signal: text-held numbers, times, checks, choices.
#include "costing/fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace quentar::costing {
namespace {

// Counts the change handler's runs and the listeners' notifications of one field.
struct Watch {
    int changes = 0;
    int shown = 0;
    explicit Watch(Field &f) {
        f.setChangeHandler([this] { ++changes; });
        f.subscribe([this](const Field &) { ++shown; });
    }
};

TEST(NumberField, WritesTwoDecimalsAndReadsTheText) {
    NumberField f("MatPreisEd", 3);
    EXPECT_EQ(f.text(), "3.00");
    struct Case {
        double written;
        const char *text;
    };
    for (const Case &c : {Case{7.8, "7.80"}, Case{0.0597168, "0.06"}, Case{0.375, "0.38"},
                          Case{-0.125, "-0.13"}, Case{1e6, "1000000.00"}}) {
        SCOPED_TRACE(c.written);
        f.setValue(c.written);
        EXPECT_EQ(f.text(), c.text);
    }
    // Formulas downstream see the displayed value, not the one written.
    f.setValue(0.0597168);
    EXPECT_DOUBLE_EQ(f.value(), 0.06);
}

// A text that makes no sense stays in the editor, marked with the reason, and the field goes on
// calculating with the last value it took; no change is signalled for it.
TEST(NumberField, RefusedTextsKeepTheLastValueAndSayWhy) {
    using R = Refusal::Reason;
    const NumberRules quantity{.whole = true,
                               .ranged = true,
                               .low = 1,
                               .high = 10'000'000,
                               .least = 1,
                               .most = 10'000'000};
    struct Case {
        const char *text;
        NumberRules rules;
        std::optional<Refusal> refusal;
        const char *taken; // what text() gives afterwards
    };
    const Case cases[] = {
        {"abc", kNotNegative, Refusal{R::NotANumber}, "5.00"},
        {"", kNotNegative, Refusal{R::NotANumber}, "5.00"},
        {"1,5", kNotNegative, Refusal{R::NotANumber}, "5.00"},
        {"inf", kNotNegative, Refusal{R::NotANumber}, "5.00"},
        {"nan", kAnyResult, Refusal{R::NotANumber}, "5.00"},
        {"-3", kNotNegative, Refusal{R::BelowLeast, 0}, "5.00"},
        {"0", kAboveZero, Refusal{R::NotAboveLeast, 0}, "5.00"},
        {"-0", kAboveZero, Refusal{R::NotAboveLeast, 0}, "5.00"},
        {"2e12", kNotNegative, Refusal{R::AboveMost, kLargestNumber}, "5.00"},
        {"-2e12", kAnyResult, Refusal{R::BelowLeast, -kLargestNumber}, "5.00"},
        {"1.5", quantity, Refusal{R::NotAWholeNumber}, "5"},
        {"0", quantity, Refusal{R::BelowLeast, 1}, "5"},
        {"1e9", quantity, Refusal{R::AboveMost, 10'000'000}, "5"},
        {"99999999999", quantity, Refusal{R::AboveMost, 10'000'000}, "5"},
        // Taken: as typed, a whole number written another way as its digits.
        {" 7 ", kNotNegative, std::nullopt, " 7 "},
        {"2.5", kNotNegative, std::nullopt, "2.5"},
        {"-3", kAnyResult, std::nullopt, "-3"},
        {"12", quantity, std::nullopt, "12"},
        {"1e3", quantity, std::nullopt, "1000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        NumberField f("f", 5, c.rules);
        Watch w(f);
        EXPECT_EQ(f.check(c.text), c.refusal);
        EXPECT_EQ(f.setText(c.text), !c.refusal);
        EXPECT_EQ(f.refusal(), c.refusal);
        EXPECT_EQ(f.text(), c.taken);
        EXPECT_EQ(f.editText(), c.text);
        EXPECT_EQ(w.changes, c.refusal ? 0 : 1);
        EXPECT_EQ(w.shown, 1); // the editor hears of the mark as of a new value
    }
}

TEST(NumberField, TheMarkGoesWithTheNextTextTakenOrAFormulasWrite) {
    NumberField f("StundensatzEd", 250, kNotNegative);
    Watch w(f);
    f.setText("-5");
    ASSERT_TRUE(f.refusal());
    EXPECT_EQ(f.value(), 250);
    // Typing back the value it kept changes nothing to calculate, only the mark.
    f.setText("250.00");
    EXPECT_FALSE(f.refusal());
    EXPECT_EQ(w.changes, 0);
    f.setText("x");
    f.setValue(120);
    EXPECT_FALSE(f.refusal());
    EXPECT_EQ(f.editText(), "120.00");
    EXPECT_EQ(w.changes, 1);
    // A value a formula or a file brings is held to the same rules.
    f.setValue(-1);
    EXPECT_EQ(f.refusal(), (Refusal{Refusal::Reason::BelowLeast, 0}));
    EXPECT_EQ(f.editText(), "-1.00");
    EXPECT_EQ(f.value(), 120);
}

TEST(NumberField, ACheckOfItsOwnerRunsAfterTheRulesAndAgainOnRecheck) {
    double limit = 10;
    NumberField f("MatZugabeEd", 8);
    f.setCheck([&limit](double v) -> std::optional<Refusal> {
        if (v < -limit) return Refusal{Refusal::Reason::LargerThanThePart, -limit};
        return std::nullopt;
    });
    EXPECT_TRUE(f.setText("-9"));
    limit = 5;
    f.recheck();
    EXPECT_EQ(f.refusal(), (Refusal{Refusal::Reason::LargerThanThePart, -5}));
    EXPECT_EQ(f.editText(), "-9");
    limit = 10;
    f.recheck();
    EXPECT_FALSE(f.refusal());
    // A text the user is still typing is not the recheck's to clear.
    f.setText("abc");
    f.recheck();
    EXPECT_EQ(f.editText(), "abc");
    EXPECT_TRUE(f.refusal());
}

TEST(NumberField, FormulaWritesAreClampedAndWholeNumbersRounded) {
    NumberField quantity("StueckEd", 1,
                         {.whole = true,
                          .ranged = true,
                          .low = 1,
                          .high = 10'000'000,
                          .least = 1,
                          .most = 10'000'000});
    NumberField discount("RabattEd", 0, {.ranged = true, .low = 0, .high = 100});
    NumberField holes("AnzLochEd", 0, {.whole = true, .most = 1e12});
    quantity.setValue(0);
    EXPECT_EQ(quantity.text(), "1");
    quantity.setValue(20'000'000);
    EXPECT_EQ(quantity.text(), "10000000");
    quantity.setValue(12.5);
    EXPECT_EQ(quantity.text(), "13");
    discount.setValue(150);
    EXPECT_EQ(discount.text(), "100.00");
    discount.setValue(-5);
    EXPECT_EQ(discount.text(), "0.00");
    // Beyond 32 bits the text would no longer read as a number.
    holes.setValue(1e12);
    EXPECT_EQ(holes.value(), 2147483647);
}

TEST(NumberField, SignalsOnlyWhenTheTextChanges) {
    NumberField f("GewichtEd", 0);
    Watch w(f);
    f.setValue(0.001); // still 0.00
    EXPECT_EQ(w.changes, 0);
    f.setValue(0.0597);
    f.setValue(0.0601); // still 0.06
    EXPECT_EQ(w.changes, 1);
    f.setText("0.06");
    EXPECT_EQ(w.changes, 1);
    f.setText("0.060"); // same value, other text: a change
    EXPECT_EQ(w.changes, 2);
    EXPECT_EQ(w.shown, 2);
    // An overflow upstream does not turn into a shown 0.
    f.setValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(f.text(), "0.060");
}

TEST(NumberField, ListenersCanBeRemoved) {
    NumberField f("breited", 0);
    int heard = 0;
    const int id = f.subscribe([&](const Field &field) {
        EXPECT_EQ(field.name(), "breited");
        ++heard;
    });
    f.setValue(1);
    f.unsubscribe(id);
    f.setValue(2);
    EXPECT_EQ(heard, 1);
}

TEST(TimeField, WholeDurationsKeepTheirDays) {
    TimeField t("LaserZeitEd", 0, 0, 0, true);
    struct Case {
        double seconds;
        const char *text;
    };
    const Case cases[] = {
        {25 * 3600, "25:00:00"},
        {86399.9996, "24:00:00"},
        {1e9, "277777:46:40"},
        {-10, "0:00:00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seconds);
        t.setTimeOfDay(c.seconds / 86400);
        EXPECT_EQ(t.text(), c.text);
    }
    // Far beyond what anyone cuts, and still no overflow: all the hours, the int ones saturated.
    t.setTimeOfDay(1e22 / 86400);
    EXPECT_EQ(t.text().size(), 25u);
    EXPECT_EQ(t.text().substr(0, 4), "2777");
    EXPECT_EQ(t.hour(), INT32_MAX);
    t.setTimeOfDay(25.0 / 24);
    EXPECT_DOUBLE_EQ(t.hours(), 25);
    EXPECT_TRUE(t.setText("30:15"));
    EXPECT_EQ(t.text(), "30:15:00");
    EXPECT_EQ(t.editText(), "30:15"); // as typed, while the user may go on typing
    EXPECT_FALSE(t.setText("1:75"));
    EXPECT_EQ(t.refusal(), (Refusal{Refusal::Reason::NotATime}));
    EXPECT_EQ(t.text(), "30:15:00");
}

TEST(TimeField, HoldsATimeOfDay) {
    TimeField t("LaserZeitEd", 0, 5, 0);
    EXPECT_EQ(t.text(), "0:05:00");
    EXPECT_DOUBLE_EQ(t.hours(), 5.0 / 60);
    struct Case {
        double seconds;
        const char *text;
    };
    const Case cases[] = {
        {6.000000000000001, "0:00:06"}, {5.9999999, "0:00:06"}, {5.9, "0:00:05"}, {3600, "1:00:00"},
        {25 * 3600, "1:00:00"},         {86399, "23:59:59"},    {-10, "0:00:00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seconds);
        t.setTimeOfDay(c.seconds / 86400);
        EXPECT_EQ(t.text(), c.text);
    }
    // A duration of 25 hours is held, and costed, as 1 hour.
    t.setTimeOfDay(25.0 / 24);
    EXPECT_NEAR(t.hours(), 1, 1e-9);
}

TEST(TimeField, OnlyTheUsersEditsSignal) {
    TimeField t("ProgrammierEd", 0, 0, 0);
    Watch w(t);
    t.setTimeOfDay(600.0 / 86400);
    EXPECT_EQ(w.changes, 0);
    EXPECT_EQ(w.shown, 1);
    EXPECT_TRUE(t.setText("0:10:00")); // the time it already has
    EXPECT_EQ(w.changes, 0);
    EXPECT_TRUE(t.setText("1:30"));
    EXPECT_EQ(t.text(), "1:30:00");
    EXPECT_EQ(w.changes, 1);
    for (const char *bad : {"", "10", "24:00:00", "1:60", "a:bc", "1:2:3:4", "-1:00"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(t.setText(bad));
    }
    EXPECT_EQ(t.text(), "1:30:00");
    EXPECT_EQ(w.changes, 1);
}

TEST(TimeField, KeepsItsDatePartWhenATimeIsWritten) {
    TimeField t("InitialEd", 0, 0, 0);
    EXPECT_TRUE(t.setDateTime(45000.25));
    EXPECT_DOUBLE_EQ(t.hours(), 6);
    t.setTimeOfDay(1.5);
    EXPECT_DOUBLE_EQ(t.dateTime(), 45000.5);
    // A stored value no picker can hold is not taken.
    for (double bad : {-0.5, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(t.setDateTime(bad));
        EXPECT_TRUE(TimeField::checkDateTime(bad));
    }
    EXPECT_DOUBLE_EQ(t.dateTime(), 45000.5);
}

TEST(CheckField, SignalsWhenItsStateChanges) {
    CheckField c("qmPreisCheck", false);
    Watch w(c);
    c.setChecked(false);
    EXPECT_EQ(w.changes, 0);
    EXPECT_TRUE(c.setText("Ja"));
    EXPECT_EQ(c.text(), "True");
    EXPECT_EQ(w.changes, 1);
    EXPECT_FALSE(c.setText("maybe"));
    EXPECT_TRUE(c.checked());
}

TEST(ChoiceField, TheUsersChoiceAlwaysSignalsTheProgramsNever) {
    ChoiceField box("MaterialBoxEd");
    Watch w(box);
    box.setItems({"Edelstahl", "Stahl"}, 0);
    EXPECT_EQ(box.text(), "Edelstahl");
    EXPECT_EQ(w.changes, 0);
    EXPECT_TRUE(box.setText("Stahl"));
    EXPECT_TRUE(box.choose(1));
    EXPECT_EQ(w.changes, 2);
    EXPECT_FALSE(box.setText("Holz"));
    EXPECT_FALSE(box.choose(2));
    box.setItems({"Edelstahl"}, 1);
    EXPECT_EQ(box.index(), -1);
    EXPECT_EQ(box.text(), "");
}

} // namespace
} // namespace quentar::costing
