// What the pointer tests of the shown tab work on: one read's records, the tab's rule of which
// entities it shows, the layer lookup, the entity grid and the view.
#pragma once

#include "document/drawing.h"
#include "document/layer_lookup.h"
#include "editor/entity_grid.h"
#include "render/view.h"
#include "render/view_transform.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quentar::editor {

// Pointer tolerances, pixels of the drawing surface whatever the zoom.
inline constexpr int kSnapTolerance = 5;         // snapping, and the orthogonal alignment
inline constexpr int kPickTolerance = 3;         // an unselected entity's grip, any segment
inline constexpr int kSelectedGripTolerance = 5; // a grip of a selected entity

struct PointerScene {
    const document::Drawing &d;
    const render::TabView &tab;
    const document::LayerLookup &layers;
    const EntityGrid &grid;
    render::ViewTransform view;

    std::size_t entityCount() const {
        return std::min(static_cast<std::size_t>(std::max(d.anzpoly, 0)), d.polys.size());
    }
    const document::tpoly &entity(std::size_t i) const { return d.polys[i]; }
    // The entity is shown on the tab.
    bool shown(std::size_t i) const { return tab.shows(d.polys[i]); }
    // The entity takes part in picking, box selection and select all.
    bool selectable(std::size_t i) const {
        const document::tpoly &e = d.polys[i];
        return tab.shows(e) && !layers.locked(e);
    }

    // The entities that may have a vertex within `pixels` of pixel (x, y), ascending: the grid's
    // candidates for the world box of that square, widened by a pixel for the rounding.
    void near(int x, int y, int pixels, std::vector<uint32_t> &out) const {
        WorldBox box;
        double wx, wy;
        view.world(x - pixels - 1.0, y - pixels - 1.0, wx, wy);
        box.add(wx, wy);
        view.world(x + pixels + 1.0, y + pixels + 1.0, wx, wy);
        box.add(wx, wy);
        grid.query(box, out);
    }
};

} // namespace quentar::editor
