// Reading, writing and change signalling of the calculator's fields.
#include "costing/fields.h"

#include "costing/decimal_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>

namespace quentar::costing {

namespace {

constexpr double kMillisecondsPerDay = 86400000;

std::string lowerCase(std::string s) {
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A non-negative number of at most `digits` digits, the whole text.
std::optional<long long> smallNumber(const std::string &s, std::size_t digits) {
    if (s.empty() || s.size() > digits) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Whole seconds as a time field shows them: rounded to milliseconds as the picker holds them, then
// truncated. A double: whole durations may run beyond any integer.
double shownSecondsOf(double days, bool wholeDurations) {
    double ms = std::round(days * kMillisecondsPerDay);
    if (!wholeDurations && ms >= kMillisecondsPerDay) ms -= kMillisecondsPerDay;
    return std::floor(ms / 1000);
}

} // namespace

std::string durationText(double seconds) {
    seconds = std::floor(std::max(seconds, 0.0));
    auto two = [](double v) {
        const int i = static_cast<int>(v);
        return std::string(1, char('0' + i / 10)) + char('0' + i % 10);
    };
    return formatFixed(std::floor(seconds / 3600), 0) + ":" +
           two(std::fmod(std::floor(seconds / 60), 60)) + ":" + two(std::fmod(seconds, 60));
}

int Field::subscribe(Listener listener) {
    listeners_.emplace_back(nextId_, std::move(listener));
    return nextId_++;
}

void Field::unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto &l) { return l.first == id; });
}

void Field::shown() const {
    // A copy: a listener may subscribe or unsubscribe while it is told.
    const auto listeners = listeners_;
    for (const auto &l : listeners) l.second(*this);
}

void Field::signalChange() const {
    if (handler_) handler_();
}

bool Field::setTyped(std::optional<std::string> typed, std::optional<Refusal> refusal) {
    if (typed == typed_ && refusal == refusal_) return false;
    typed_ = std::move(typed);
    refusal_ = refusal;
    return true;
}

void Field::refuse(const std::string &text, const Refusal &why) {
    if (setTyped(text, why)) shown();
}

void Field::unmark(std::optional<std::string> typed) {
    if (setTyped(std::move(typed), std::nullopt)) shown();
}

NumberField::NumberField(std::string name, double start, NumberRules rules)
    : Field(std::move(name)), rules_(rules), text_(format(start)) {}

std::optional<Refusal> NumberField::checkValue(double v) const {
    using R = Refusal::Reason;
    if (!std::isfinite(v)) return Refusal{R::NotANumber};
    if (rules_.whole && v != std::trunc(v)) return Refusal{R::NotAWholeNumber};
    if (rules_.leastExcluded ? v <= rules_.least : v < rules_.least)
        return Refusal{rules_.leastExcluded ? R::NotAboveLeast : R::BelowLeast, rules_.least};
    if (v > rules_.most) return Refusal{R::AboveMost, rules_.most};
    return check_ ? check_(v) : std::nullopt;
}

std::optional<Refusal> NumberField::check(const std::string &text) const {
    const std::optional<double> v = tryParseDecimal(text);
    if (!v) return Refusal{Refusal::Reason::NotANumber};
    if (auto why = checkValue(*v)) return why;
    // What a user types is held to figures the calculation can carry; results may grow beyond.
    if (*v > kLargestNumber) return Refusal{Refusal::Reason::AboveMost, kLargestNumber};
    if (*v < -kLargestNumber) return Refusal{Refusal::Reason::BelowLeast, -kLargestNumber};
    return std::nullopt;
}

bool NumberField::setText(const std::string &text) {
    if (auto why = check(text)) {
        refuse(text, *why);
        return false;
    }
    return take(text);
}

bool NumberField::take(const std::string &text) {
    std::string taken = text;
    std::optional<std::string> typed;
    // A whole number written another way ("1e3", "7.0") is calculated and shown as its digits.
    if (rules_.whole && !tryParseInt32(text)) {
        taken = format(*tryParseDecimal(text));
        typed = text;
    }
    if (taken == text_) {
        unmark(std::move(typed));
        return true;
    }
    text_ = std::move(taken);
    setTyped(std::move(typed), std::nullopt);
    shown();
    signalChange();
    return true;
}

double NumberField::value() const {
    // Only texts that were checked are taken, so this always reads.
    return tryParseDecimal(text_).value_or(0);
}

std::string NumberField::format(double v) const {
    if (rules_.ranged) v = std::clamp(v, rules_.low, rules_.high);
    if (rules_.whole) {
        // A whole-number field holds 32 bits; a larger text would no longer read as a number.
        v = std::clamp(v, double{INT32_MIN}, double{INT32_MAX});
        return formatFixed(v, 0);
    }
    return formatFixed(v, 2);
}

void NumberField::setValue(double v) {
    if (!std::isfinite(v)) return;
    const std::string text = format(v);
    if (auto why = checkValue(*tryParseDecimal(text))) {
        refuse(text, *why);
        return;
    }
    take(text);
}

void NumberField::recheck() {
    if (editText() != text_) return;
    if (auto why = checkValue(value()))
        refuse(text_, *why);
    else
        unmark();
}

TimeField::TimeField(std::string name, int hours, int minutes, int seconds, bool wholeDurations)
    : Field(std::move(name)), wholeDurations_(wholeDurations) {
    fraction_ = (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

double TimeField::shownSeconds() const { return shownSecondsOf(fraction_, wholeDurations_); }

int TimeField::hour() const {
    const double h = std::floor(shownSeconds() / 3600);
    return h >= INT32_MAX ? INT32_MAX : static_cast<int>(h);
}
int TimeField::minute() const {
    return static_cast<int>(std::fmod(std::floor(shownSeconds() / 60), 60));
}
int TimeField::second() const { return static_cast<int>(std::fmod(shownSeconds(), 60)); }

std::string TimeField::text() const { return durationText(shownSeconds()); }

std::optional<double> TimeField::parse(const std::string &text) const {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else if (c != ' ')
            parts.back() += c;
    }
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    double v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        // Hours of a whole duration may run to any count a calculation can give.
        const std::size_t digits = i == 0 && wholeDurations_ ? 9 : 2;
        auto n = smallNumber(parts[i], digits);
        if (!n || *n > (i > 0 ? 59 : wholeDurations_ ? 999999999 : 23)) return std::nullopt;
        v[i] = *n;
    }
    return v[0] * 3600 + v[1] * 60 + v[2];
}

std::optional<Refusal> TimeField::check(const std::string &text) const {
    if (parse(text)) return std::nullopt;
    return Refusal{Refusal::Reason::NotATime};
}

std::optional<Refusal> TimeField::checkDateTime(double value) {
    if (!std::isfinite(value)) return Refusal{Refusal::Reason::NotANumber};
    if (value < 0) return Refusal{Refusal::Reason::BelowLeast, 0};
    return std::nullopt;
}

bool TimeField::setText(const std::string &text) {
    const std::optional<double> seconds = parse(text);
    if (!seconds) {
        refuse(text, Refusal{Refusal::Reason::NotATime});
        return false;
    }
    const double f = *seconds / 86400;
    // The user's way of writing it ("1:5") stays in the editor while it is the value shown.
    const bool plain = text == durationText(shownSecondsOf(f, wholeDurations_));
    assign(days_, f, true, plain ? std::nullopt : std::optional(text));
    return true;
}

void TimeField::setTime(int hours, int minutes, int seconds) {
    const double total = hours * 3600.0 + minutes * 60.0 + seconds;
    double f = total / 86400;
    if (!wholeDurations_) f -= std::floor(f);
    assign(days_, std::max(f, 0.0), true);
}

bool TimeField::setDateTime(double value) {
    if (checkDateTime(value)) return false;
    if (wholeDurations_) {
        assign(0, value, true);
        return true;
    }
    const double days = std::floor(value);
    assign(days, value - days, true);
    return true;
}

void TimeField::setTimeOfDay(double days) {
    if (!std::isfinite(days)) return;
    double f = std::max(days, 0.0);
    if (!wholeDurations_) f -= std::floor(f);
    assign(days_, f, false);
}

void TimeField::assign(double days, double fraction, bool signal,
                       std::optional<std::string> typed) {
    // Rounding inside floor() can leave a fraction of exactly 1 for values just below a whole day.
    if (!wholeDurations_ && fraction >= 1) fraction = 0;
    const bool moved = days != days_ || fraction != fraction_;
    days_ = days;
    fraction_ = fraction;
    const bool remarked = setTyped(std::move(typed), std::nullopt);
    if (moved || remarked) shown();
    if (moved && signal) signalChange();
}

std::optional<Refusal> CheckField::check(const std::string &text) const {
    const std::string t = lowerCase(text);
    for (const char *word : {"true", "1", "yes", "ja", "false", "0", "no", "nein"})
        if (t == word) return std::nullopt;
    return Refusal{Refusal::Reason::NotACheck};
}

bool CheckField::setText(const std::string &text) {
    const std::string t = lowerCase(text);
    if (t == "true" || t == "1" || t == "yes" || t == "ja") {
        setChecked(true);
    } else if (t == "false" || t == "0" || t == "no" || t == "nein") {
        setChecked(false);
    } else {
        return false;
    }
    return true;
}

void CheckField::setChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    shown();
    signalChange();
}

std::string ChoiceField::text() const {
    return index_ >= 0 && index_ < static_cast<int>(items_.size())
               ? items_[static_cast<std::size_t>(index_)]
               : std::string();
}

std::optional<Refusal> ChoiceField::check(const std::string &text) const {
    if (std::find(items_.begin(), items_.end(), text) != items_.end()) return std::nullopt;
    return Refusal{Refusal::Reason::NotAnItem};
}

bool ChoiceField::setText(const std::string &text) {
    auto it = std::find(items_.begin(), items_.end(), text);
    return it != items_.end() && choose(static_cast<int>(it - items_.begin()));
}

bool ChoiceField::choose(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return false;
    const bool moved = index != index_;
    index_ = index;
    if (moved) shown();
    signalChange();
    return true;
}

void ChoiceField::setItems(std::vector<std::string> items, int index) {
    items_ = std::move(items);
    index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    shown();
}

} // namespace quentar::costing
