// The calculator's quantities as shown: numbers held as text, times, check boxes, choices.
#pragma once

#include "costing/refusal.h"

#include <functional>
#include <limits>
#include <optional>
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
    // The field's value as text: what the calculation uses and reports show.
    virtual std::string text() const = 0;
    // The user's edit given as text. False when it is refused: the value stays as it was, and an
    // editor shows the text marked with the reason (editText, refusal).
    virtual bool setText(const std::string &text) = 0;
    // Why `text` would be refused as the user's edit; nothing changes. The one test every road in
    // uses: the window's editors, `quote --set` and the stored settings.
    virtual std::optional<Refusal> check(const std::string &text) const = 0;

    // What an editor of the field shows: the user's last text when it was refused or when it
    // only writes the value differently ("1e3" for 1000), else text().
    std::string editText() const { return typed_ ? *typed_ : text(); }
    // Why the user's last text was refused; nullopt while the field shows what it calculates with.
    const std::optional<Refusal> &refusal() const { return refusal_; }

    // Returns an id for unsubscribe.
    int subscribe(Listener listener);
    void unsubscribe(int id);
    void setChangeHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    // Tells the listeners that what the field shows has changed.
    void shown() const;
    // Runs the change handler.
    void signalChange() const;
    // Sets what editText and refusal give; true when that changed. Tells nobody.
    bool setTyped(std::optional<std::string> typed, std::optional<Refusal> refusal);
    // The user's `text` is refused: it stays in the editor, marked, and the value is kept.
    void refuse(const std::string &text, const Refusal &why);
    // The editor shows `typed` (the value written another way) or, without it, text(); no mark.
    // Tells the listeners only when that changes what they show.
    void unmark(std::optional<std::string> typed = std::nullopt);

private:
    std::string name_;
    std::optional<std::string> typed_;
    std::optional<Refusal> refusal_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 0;
    std::function<void()> handler_;
};

// The largest magnitude a number field takes. Beyond it two decimals are no longer held exactly,
// and products of such inputs could overflow to infinity and leave a result stale.
inline constexpr double kLargestNumber = 1e12;

// How a number field reads and writes its text, and which values it takes at all.
struct NumberRules {
    bool whole = false;  // whole number: written without decimals, "2.5" is refused
    bool ranged = false; // values written by formulas are clamped into [low, high]
    double low = 0, high = 0;
    // The values taken; any other is refused and the field keeps the last value it took.
    double least = -kLargestNumber; // the smallest value taken ...
    bool leastExcluded = false;     // ... or, when set, the value it must lie above
    double most = kLargestNumber;
};

// Rules many quantities share: rates, prices, lengths, weights (nothing below zero makes sense),
// sizes that must be there (a sheet has a thickness), and the figures formulas compute, which
// are whatever they come to.
inline constexpr NumberRules kNotNegative{.least = 0};
inline constexpr NumberRules kAboveZero{.least = 0, .leastExcluded = true};
inline constexpr NumberRules kAnyResult{.least = -std::numeric_limits<double>::infinity(),
                                        .most = std::numeric_limits<double>::infinity()};

// A number held as the text it shows. Formulas write values, which are clamped into the range,
// formatted with two decimals (whole numbers without) and signal a change only when the text
// changes; every formula downstream therefore computes with the value as displayed. The user's
// text is kept and read as typed; text that is no number, no whole number where one is wanted,
// or outside the values the field takes is refused, and the calculation goes on with the last
// value taken.
class NumberField : public Field {
public:
    // A check beyond the rules, made by the owner (a limit that depends on other fields).
    using Check = std::function<std::optional<Refusal>(double value)>;

    NumberField(std::string name, double start, NumberRules rules = {});

    FieldKind kind() const override { return FieldKind::Number; }
    std::string text() const override { return text_; }
    // Signals a change when a text that is taken differs from the current one.
    bool setText(const std::string &text) override;
    std::optional<Refusal> check(const std::string &text) const override;
    // Why the value `v` would be refused.
    std::optional<Refusal> checkValue(double v) const;

    // The value the field calculates with: that of the last text taken.
    double value() const;
    // A formula's write. A value that is not finite (an overflow somewhere upstream) is not
    // written: the field keeps its last good figure rather than showing a made-up 0. A value the
    // field does not take (a price from a damaged catalogue) is refused like a typed one.
    void setValue(double v);
    // The text a formula's write of `v` would give.
    std::string format(double v) const;

    const NumberRules &rules() const { return rules_; }
    // Sets the owner's own check; it runs after the rules.
    void setCheck(Check check) { check_ = std::move(check); }
    // Checks the value again after something it depends on changed; a value no longer taken is
    // marked (it stays the value calculated with: there is no earlier one that fits better). A
    // refused text the user is still editing is left alone.
    void recheck();

private:
    // Takes a text that passed the checks.
    bool take(const std::string &text);

    NumberRules rules_;
    Check check_;
    std::string text_;
};

// A duration held like the date-and-time value of a time picker: a time of day (hours, minutes,
// seconds) and a whole-day part that counts for nothing but is kept and stored with the settings.
// A field made for whole durations (the laser time per piece) holds 24 hours and more as they are
// instead. Formulas write durations without signalling a change; only the user's edits signal
// one, and only when the time changes.
class TimeField : public Field {
public:
    TimeField(std::string name, int hours, int minutes, int seconds, bool wholeDurations = false);

    FieldKind kind() const override { return FieldKind::Time; }
    // "H:MM:SS", seconds truncated after rounding to milliseconds as the picker shows them.
    std::string text() const override;
    // "H:MM" or "H:MM:SS" with minutes and seconds 0-59 and hours 0-23 (any number for whole
    // durations); a user's edit.
    bool setText(const std::string &text) override;
    std::optional<Refusal> check(const std::string &text) const override;
    // Why a stored date-and-time value would be refused: negative or not finite.
    static std::optional<Refusal> checkDateTime(double value);

    // The duration in days: the time of day as a fraction of a day (0 <= f < 1), or the whole
    // duration of a field made for whole durations.
    double dayFraction() const { return fraction_; }
    // The duration in hours.
    double hours() const { return fraction_ * 86400 / 3600; }
    // Whole days plus the time of day, as stored with the settings.
    double dateTime() const { return days_ + fraction_; }
    // The duration in whole seconds as shown; a double, as whole durations may be long.
    double shownSeconds() const;
    // Hours, minutes and seconds as shown; the hours saturate for durations beyond int.
    int hour() const;
    int minute() const;
    int second() const;

    // The user's edit.
    void setTime(int hours, int minutes, int seconds);
    // The user's edit of the whole value (the settings restore a field this way); a value
    // checkDateTime refuses is not taken.
    bool setDateTime(double value);
    // A formula's write of a duration in days, no change signalled: the whole days are dropped
    // and the date part kept, except in a field made for whole durations. A negative duration
    // (only nonsense input gives one) is held as 0 rather than wrapping to the evening; a value
    // that is not finite is not written.
    void setTimeOfDay(double days);

private:
    // The seconds a user's text gives, nullopt when it is no time.
    std::optional<double> parse(const std::string &text) const;
    void assign(double days, double fraction, bool signal,
                std::optional<std::string> typed = std::nullopt);

    bool wholeDurations_;
    double days_ = 0;
    double fraction_ = 0;
};

// Whole seconds as "H:MM:SS", the hours as many as there are ("25:00:00").
std::string durationText(double seconds);

// A check box. Setting it, by the user or the program, signals a change when the state changes.
class CheckField : public Field {
public:
    CheckField(std::string name, bool start) : Field(std::move(name)), checked_(start) {}

    FieldKind kind() const override { return FieldKind::Check; }
    // "True" or "False".
    std::string text() const override { return checked_ ? "True" : "False"; }
    // true/false, 1/0, yes/no, ja/nein in any case.
    bool setText(const std::string &text) override;
    std::optional<Refusal> check(const std::string &text) const override;

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
    std::optional<Refusal> check(const std::string &text) const override;

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
