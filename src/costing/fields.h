// The calculator's quantities as shown: numbers held as text, times, check boxes, choices.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quentar::costing {

enum class FieldKind { Number, Time, Check, Choice };

// A named quantity of the calculator. Two kinds of party watch it:
// - listeners (the window's widgets) hear of every change of what the field shows, whoever made
//   it, so they can refresh;
// - the one change handler (the engine's formulas) runs only when the field signals a change,
//   which each kind of field defines below. Listeners hear of a change before the handler runs.
// Fields hold callbacks into their owner, so they are neither copied nor moved.
class Field {
public:
    using Listener = std::function<void(const Field &)>;

    explicit Field(std::string name) : name_(std::move(name)) {}
    virtual ~Field() = default;
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    const std::string &name() const { return name_; }
    virtual FieldKind kind() const = 0;
    // What the field shows, as text.
    virtual std::string text() const = 0;
    // The user's edit given as text. False (and nothing changes) when a time, check or choice
    // field cannot read the text; a number field takes any text.
    virtual bool setText(const std::string &text) = 0;

    // Returns an id for unsubscribe.
    int subscribe(Listener listener);
    void unsubscribe(int id);
    void setChangeHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    // Tells the listeners that what the field shows has changed.
    void shown() const;
    // Runs the change handler.
    void signalChange() const;

private:
    std::string name_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 0;
    std::function<void()> handler_;
};

// How a number field reads and writes its text.
struct NumberRules {
    bool whole = false;  // whole number: written without decimals, "2.5" does not read
    double minimum = 0;  // what text that is not a number reads as
    bool ranged = false; // values written by formulas are clamped into [low, high]
    double low = 0, high = 0;
};

// A number held as the text it shows. Formulas write values, which are clamped into the range,
// formatted with two decimals (whole numbers without) and signal a change only when the text
// changes; every formula downstream therefore computes with the value as displayed. The user's
// text is kept and read as typed, even outside the range.
class NumberField : public Field {
public:
    NumberField(std::string name, double start, NumberRules rules = {});

    FieldKind kind() const override { return FieldKind::Number; }
    std::string text() const override { return text_; }
    // Signals a change when the text differs from the current one. Always true.
    bool setText(const std::string &text) override;

    // The value of the text, or the minimum when the text is not a number.
    double value() const;
    // A formula's write. A value that is not finite (an overflow somewhere upstream) is not
    // written: the field keeps its last good figure rather than showing a made-up 0.
    void setValue(double v);
    // The text a formula's write of `v` would give.
    std::string format(double v) const;

    const NumberRules &rules() const { return rules_; }

private:
    NumberRules rules_;
    std::string text_;
};

// A time of day (hours, minutes, seconds) used for durations. Like the date-and-time value of a
// time picker it carries a whole-day part that counts for nothing but is kept and stored with
// the settings. Formulas write durations, held modulo 24 hours, without signalling a change;
// only the user's edits signal one, and only when the time changes.
class TimeField : public Field {
public:
    TimeField(std::string name, int hours, int minutes, int seconds);

    FieldKind kind() const override { return FieldKind::Time; }
    // "H:MM:SS", seconds truncated after rounding to milliseconds as the picker shows them.
    std::string text() const override;
    // "H:MM" or "H:MM:SS" with hours 0-23, minutes and seconds 0-59; a user's edit.
    bool setText(const std::string &text) override;

    // The time of day as a fraction of a day, 0 <= f < 1.
    double dayFraction() const { return fraction_; }
    // The duration in hours: the fraction of the day times 24.
    double hours() const { return fraction_ * 86400 / 3600; }
    // Whole days plus the time of day, as stored with the settings.
    double dateTime() const { return days_ + fraction_; }
    int hour() const;
    int minute() const;
    int second() const;

    // The user's edit.
    void setTime(int hours, int minutes, int seconds);
    // The user's edit of the whole value (the settings restore a field this way).
    void setDateTime(double value);
    // A formula's write of a duration in days: the whole days are dropped, the date part kept,
    // no change signalled. A negative duration (only nonsense input gives one) is held as 0
    // rather than wrapping to the evening; a value that is not finite is not written.
    void setTimeOfDay(double days);

private:
    void assign(double days, double fraction, bool signal);
    long long milliseconds() const;

    double days_ = 0;
    double fraction_ = 0;
};

// A check box. Setting it, by the user or the program, signals a change when the state changes.
class CheckField : public Field {
public:
    CheckField(std::string name, bool start) : Field(std::move(name)), checked_(start) {}

    FieldKind kind() const override { return FieldKind::Check; }
    // "True" or "False".
    std::string text() const override { return checked_ ? "True" : "False"; }
    // true/false, 1/0, yes/no, ja/nein in any case.
    bool setText(const std::string &text) override;

    bool checked() const { return checked_; }
    void setChecked(bool on);

private:
    bool checked_;
};

// A drop-down list without free text. The program refills it and sets its index quietly; the
// user's choice of an item signals a change every time, even for the item already chosen, so
// choosing a material again re-applies its figures.
class ChoiceField : public Field {
public:
    explicit ChoiceField(std::string name) : Field(std::move(name)) {}

    FieldKind kind() const override { return FieldKind::Choice; }
    // The chosen item, empty when none.
    std::string text() const override;
    // Chooses the first item with exactly this text.
    bool setText(const std::string &text) override;

    const std::vector<std::string> &items() const { return items_; }
    // -1 when nothing is chosen.
    int index() const { return index_; }
    // The user's choice; false for an index that is not an item.
    bool choose(int index);
    // The program's refill: new items and index (-1 or an item), no change signalled.
    void setItems(std::vector<std::string> items, int index);

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

} // namespace quentar::costing
