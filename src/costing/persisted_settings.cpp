// Mapping the kept calculator values to their keys and texts.
#include "costing/persisted_settings.h"

#include "costing/decimal_text.h"
#include "document/number_text.h"


namespace quentar::costing {

namespace {

std::string trimmed(const std::string &s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The shortest text that reads back as the same double: at most 17 significant digits.
std::string shortestText(double v) { return document::shortestText(v); }

// "Edit<i>_Text" -> i (1 to 10), else 0.
int editIndex(std::string_view key) {
    constexpr std::string_view prefix = "Edit", suffix = "_Text";
    if (!key.starts_with(prefix) || !key.ends_with(suffix)) return 0;
    auto i = tryParseInt32(key.substr(prefix.size(), key.size() - prefix.size() - suffix.size()));
    return i && *i >= 1 && *i <= 10 ? *i : 0;
}

Field *fieldOf(Calculator &calculator, std::string_view key, std::string_view property) {
    if (!key.ends_with(property) || key.size() <= property.size()) return nullptr;
    return calculator.engine().field(key.substr(0, key.size() - property.size()));
}

} // namespace

const std::vector<std::string> &persistedKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k = {
            "WaehrEd_Text",           "mataufschlagEd_Value",    "StundensatzEd_Value",
            "ProgramStundenEd_Value", "GewinnAufschlagEd_Value", "FabrikationsStundensatzEd_Value",
            "InitialEd_Time",         "ProgrammierEd_Time",      "TransportproStueckCheck_Checked"};
        // The store has always sorted 10 between 1 and 2.
        for (int i : {1, 10, 2, 3, 4, 5, 6, 7, 8, 9})
            k.push_back("Edit" + std::to_string(i) + "_Text");
        for (int i : {1, 10, 2, 3, 4, 5, 6, 7, 8, 9})
            k.push_back("DateTimePicker" + std::to_string(i) + "_Time");
        for (const char *s :
             {"StundeEd_Value", "AnzLochEd_Value", "DurchMesserEd_Value", "EinstechzeitEd_Time"})
            k.push_back(s);
        // Whether the drawing's own contours are pierced in the laser time.
        k.push_back("PierceContoursCheck_Checked");
        return k;
    }();
    return keys;
}

namespace {

bool isPersisted(std::string_view key) {
    for (const auto &k : persistedKeys())
        if (k == key) return true;
    return false;
}

} // namespace

std::optional<std::string> persistedValue(Calculator &calculator, std::string_view key) {
    if (!isPersisted(key)) return std::nullopt;
    if (key == "WaehrEd_Text") return trimmed(calculator.WaehrEd);
    if (int i = editIndex(key))
        return trimmed(calculator.effortNames[static_cast<std::size_t>(i - 1)]);
    if (auto *f = dynamic_cast<NumberField *>(fieldOf(calculator, key, "_Value")))
        return shortestText(f->value());
    if (auto *f = dynamic_cast<TimeField *>(fieldOf(calculator, key, "_Time")))
        return formatGeneral(f->dateTime());
    if (auto *f = dynamic_cast<CheckField *>(fieldOf(calculator, key, "_Checked")))
        return f->text();
    return std::nullopt;
}

std::optional<Refusal> restorePersisted(Calculator &calculator, std::string_view key,
                                        const std::string &value) {
    if (!isPersisted(key)) return Refusal{Refusal::Reason::NotASetting};
    if (key == "WaehrEd_Text") {
        calculator.WaehrEd = trimmed(value);
        return std::nullopt;
    }
    if (int i = editIndex(key)) {
        calculator.effortNames[static_cast<std::size_t>(i - 1)] = trimmed(value);
        return std::nullopt;
    }
    if (auto *f = dynamic_cast<NumberField *>(fieldOf(calculator, key, "_Value"))) {
        if (auto why = f->check(value)) return why;
        // Shown as the field writes numbers ("250.00"), not as stored ("250").
        f->setValue(*tryParseDecimal(value));
        return std::nullopt;
    }
    if (auto *f = dynamic_cast<TimeField *>(fieldOf(calculator, key, "_Time"))) {
        const std::optional<double> v = tryParseDecimal(value);
        if (!v) return Refusal{Refusal::Reason::NotANumber};
        if (auto why = TimeField::checkDateTime(*v)) return why;
        f->setDateTime(*v);
        return std::nullopt;
    }
    if (auto *f = dynamic_cast<CheckField *>(fieldOf(calculator, key, "_Checked"))) {
        if (auto why = f->check(value)) return why;
        f->setText(value);
        return std::nullopt;
    }
    return Refusal{Refusal::Reason::NotASetting};
}

std::vector<RefusedSetting>
restoreAllPersisted(Calculator &calculator,
                    const std::function<std::optional<std::string>(const std::string &)> &stored) {
    std::vector<RefusedSetting> refused;
    for (const std::string &key : persistedKeys()) {
        const std::optional<std::string> value = stored(key);
        if (!value) continue;
        if (auto why = restorePersisted(calculator, key, *value))
            refused.push_back({key, *value, *why});
    }
    return refused;
}

} // namespace quentar::costing
