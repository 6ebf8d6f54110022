// Finding an entity's layer, the one rule for what is drawn, hidden and locked.
#pragma once

#include "document/drawing.h"

#include <string_view>
#include <unordered_map>

namespace quentar::document {

// The layer of an entity is the first LAYER entry whose trimmed name equals the entity's trimmed
// group 8 (compared exactly: "Cut" is not "CUT"). Valid while the drawing's layers are unchanged,
// i.e. until the next read.
class LayerLookup {
public:
    LayerLookup() = default;
    explicit LayerLookup(const Drawing &d);

    // Null when the entity names no layer or a layer the table does not have.
    const TLayer *layerOf(const tpoly &e) const;
    // On a locked layer (group 70 bit value 4): it can be seen and snapped to, not selected.
    bool locked(const tpoly &e) const {
        const TLayer *l = layerOf(e);
        return l && (l->flag & 4) != 0;
    }

    // Frozen (group 70 bit value 1): neither shown nor printed, as if it were not there.
    static bool frozen(const TLayer &l) { return (l.flag & 1) != 0; }
    // Printed: not the layer "Defpoints" (any letter case), which CAD programs keep for the
    // definition points of dimensions and never print, and not marked "no plot" (group 290 = 0).
    static bool plotted(const TLayer &l);

private:
    const Drawing *d_ = nullptr;
    std::unordered_map<std::string_view, int> index_; // trimmed name -> first entry
};

} // namespace quentar::document
