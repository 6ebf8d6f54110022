// The calculator values kept between runs: keys in store order, stored texts, restoring.
#pragma once

#include "costing/calculator.h"

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
// a restored piercing time must reach the laser time). False, and nothing changes, for an
// unknown key or a text that cannot be read; the caller skips it.
bool restorePersisted(Calculator &calculator, std::string_view key, const std::string &value);

} // namespace quentar::costing
