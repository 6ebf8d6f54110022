// How the calculator's fields read, write and signal: text-held numbers, times, checks, choices.
#include "costing/fields.h"

#include <gtest/gtest.h>

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

TEST(NumberField, TextThatIsNoNumberReadsAsTheMinimum) {
    NumberField price("MatPreisEd", 0);
    NumberField quantity(
        "StueckEd", 1, {.whole = true, .minimum = 1, .ranged = true, .low = 1, .high = 10'000'000});
    struct Case {
        const char *text;
        double price, quantity;
    };
    const Case cases[] = {
        {"abc", 0, 1},
        {"", 0, 1},
        {"1,5", 0, 1},
        {"2.5", 2.5, 1},
        {"12", 12, 12},
        {" 7 ", 7, 7},
        {"-3", -3, -3},
        {"0", 0, 0},
        {"1e3", 1000, 1},
        {"inf", 0, 1},
        {"99999999999", 99999999999, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        price.setText(c.text);
        quantity.setText(c.text);
        EXPECT_DOUBLE_EQ(price.value(), c.price);
        // Typed text is read as typed: no clamping, so a typed 0 reads 0.
        EXPECT_DOUBLE_EQ(quantity.value(), c.quantity);
    }
}

TEST(NumberField, FormulaWritesAreClampedAndWholeNumbersRounded) {
    NumberField quantity(
        "StueckEd", 1, {.whole = true, .minimum = 1, .ranged = true, .low = 1, .high = 10'000'000});
    NumberField discount("RabattEd", 0, {.ranged = true, .low = 0, .high = 100});
    NumberField holes("AnzLochEd", 0, {.whole = true});
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
}

TEST(TimeField, KeepsItsDatePartWhenATimeIsWritten) {
    TimeField t("InitialEd", 0, 0, 0);
    t.setDateTime(45000.25);
    EXPECT_DOUBLE_EQ(t.hours(), 6);
    t.setTimeOfDay(1.5);
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
