// The values of material.dat and staffel.dat that the calculation refuses, each named by file,
// row and field, for the warnings of the commands and the calculator window.
#pragma once

#include "costing/catalogue.h"
#include "costing/tiers.h"

#include <string>
#include <vector>

namespace quentar::costing {

// One refused value, said in one line: "material.dat, material 2 (Stahl), price: abc is not a
// number; the material cannot be priced as it is".
struct DamagedValue {
    std::string english, german;
    // The material whose price or weight it is (its row index), so that choosing it can be
    // refused with this line; -1 for a feed entry or a tier, which are simply not used.
    int material = -1;
};

// Prices and weights that are no numbers or negative, feed entries whose thickness or rate is no
// number above 0; `file` is the path the lines name.
std::vector<DamagedValue> damagedValues(const Catalogue &catalogue, const std::string &file);
// Tiers that tierRefusal refuses.
std::vector<DamagedValue> damagedValues(const TierList &tiers, const std::string &file);

} // namespace quentar::costing
