// The calculator values kept between runs: keys in store order, stored texts, restoring.
#pragma once

#include "costing/calculator.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

// The 33 keys ("StundensatzEd_Value", "InitialEd_Time", "Edit1_Text" ...), in the order the
// values are written and restored. Material, thickness, allowance, quantity, discount,
// surcharge, transport and the drawing figures are not kept.
const std::vector<std::string> &persistedKeys();

// The stored text of a key: numbers in general notation with "." ("250", "0.5"), times as the
// whole date-and-time value in days with 15 significant digits, check boxes "True"/"False",
// texts trimmed of blanks. nullopt for an unknown key.
std::optional<std::string> persistedValue(Calculator &calculator, std::string_view key);

// Assigns a stored text, running the field's change handler as an edit would (a time included:
// a restored piercing time must reach the laser time). For an unknown key, or a text the field
// refuses as it would the user's typing (a negative rate, text that is no number), nothing
// changes and the reason comes back.
std::optional<Refusal> restorePersisted(Calculator &calculator, std::string_view key,
                                        const std::string &value);

// A stored value that was not taken.
struct RefusedSetting {
    std::string key, value;
    Refusal refusal;
};

// Restores every kept value in store order; `stored` gives the text of a key, nullopt when the
// store has none (the start value stays). The refused ones keep their start value and are
// returned, for the caller to report: the calculator window and `quote` alike.
std::vector<RefusedSetting>
restoreAllPersisted(Calculator &calculator,
                    const std::function<std::optional<std::string>(const std::string &)> &stored);

} // namespace quentar::costing
