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

constexpr long long kMillisecondsPerDay = 86400000;

std::string lowerCase(std::string s) {
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A non-negative number of at most two digits, the whole text.
std::optional<int> smallNumber(const std::string &s) {
    if (s.empty() || s.size() > 2) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

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

NumberField::NumberField(std::string name, double start, NumberRules rules)
    : Field(std::move(name)), rules_(rules), text_(format(start)) {}

bool NumberField::setText(const std::string &text) {
    if (text == text_) return true;
    text_ = text;
    shown();
    signalChange();
    return true;
}

double NumberField::value() const {
    if (rules_.whole) {
        if (auto v = tryParseInt32(text_)) return *v;
        return rules_.minimum;
    }
    return tryParseDecimal(text_).value_or(rules_.minimum);
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
    setText(format(v));
}

TimeField::TimeField(std::string name, int hours, int minutes, int seconds)
    : Field(std::move(name)) {
    fraction_ = (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

long long TimeField::milliseconds() const {
    long long ms = std::llround(fraction_ * kMillisecondsPerDay);
    return ms >= kMillisecondsPerDay ? ms - kMillisecondsPerDay : ms;
}

int TimeField::hour() const { return static_cast<int>(milliseconds() / 3600000); }
int TimeField::minute() const { return static_cast<int>(milliseconds() / 60000 % 60); }
int TimeField::second() const { return static_cast<int>(milliseconds() / 1000 % 60); }

std::string TimeField::text() const {
    auto two = [](int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); };
    return std::to_string(hour()) + ":" + two(minute()) + ":" + two(second());
}

bool TimeField::setText(const std::string &text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else if (c != ' ')
            parts.back() += c;
    }
    if (parts.size() < 2 || parts.size() > 3) return false;
    int v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto n = smallNumber(parts[i]);
        if (!n || *n > (i == 0 ? 23 : 59)) return false;
        v[i] = *n;
    }
    setTime(v[0], v[1], v[2]);
    return true;
}

void TimeField::setTime(int hours, int minutes, int seconds) {
    const double total = hours * 3600.0 + minutes * 60.0 + seconds;
    double f = total / 86400;
    f -= std::floor(f);
    assign(days_, std::max(f, 0.0), true);
}

void TimeField::setDateTime(double value) {
    if (!std::isfinite(value)) return;
    const double days = std::floor(value);
    assign(days, value - days, true);
}

void TimeField::setTimeOfDay(double days) {
    if (!std::isfinite(days)) return;
    const double f = days <= 0 ? 0 : days - std::floor(days);
    assign(days_, f, false);
}

void TimeField::assign(double days, double fraction, bool signal) {
    // Rounding inside floor() can leave a fraction of exactly 1 for values just below a whole day.
    if (fraction >= 1) fraction = 0;
    if (days == days_ && fraction == fraction_) return;
    days_ = days;
    fraction_ = fraction;
    shown();
    if (signal) signalChange();
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
