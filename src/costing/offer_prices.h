// The "Angebotspreise" text: the price per piece at every tier quantity.
#pragma once

#include "costing/engine.h"
#include "costing/tiers.h"

#include <string>
#include <vector>

namespace quentar::costing {

// Drives the engine through the from-quantity of every tier (smallest first; texts that are not
// whole numbers are skipped, duplicates kept), once as calculated and once for repeat orders
// without the programming effort, and returns the lines of the text. `currency` follows each
// price. Afterwards every field shows what it showed before, a discount set by hand included.
std::vector<std::string> CalcAngebotspreise(Engine &engine, const TierList &tiers,
                                            const std::string &currency);

} // namespace quentar::costing
