// The layer of an entity by name.
#include "document/layer_lookup.h"

#include <algorithm>

namespace quentar::document {

LayerLookup::LayerLookup(const Drawing &d) : d_(&d) {
    const int n = std::min(d.anzlayer, static_cast<int32_t>(d.layers.size()));
    index_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        index_.emplace(trimLine(d.layers[static_cast<std::size_t>(i)].name), i);
}

bool LayerLookup::plotted(const TLayer &l) {
    if (l.plotflag == 0) return false;
    const std::string_view name = trimLine(l.name);
    constexpr std::string_view kDefpoints = "defpoints";
    return !(name.size() == kDefpoints.size() &&
             std::equal(name.begin(), name.end(), kDefpoints.begin(), [](char a, char b) {
                 return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
             }));
}

const TLayer *LayerLookup::layerOf(const tpoly &e) const {
    if (!d_) return nullptr;
    const std::string_view name = e.layer(d_->dxf);
    if (name.empty()) return nullptr;
    auto it = index_.find(name);
    return it == index_.end() ? nullptr : &d_->layers[static_cast<std::size_t>(it->second)];
}

} // namespace quentar::document
