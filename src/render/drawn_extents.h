// Where each entity's drawing lies (inserted blocks included) and an index of the top-level
// entities by it, so that a paint visits only what can show in its view.
#pragma once

#include "document/drawing.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quentar::render {

// A rectangle in drawing units.
struct ExtentBox {
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    bool meets(const ExtentBox &o) const {
        return minx <= o.maxx && o.minx <= maxx && miny <= o.maxy && o.miny <= maxy;
    }
};

// What the render pass draws of every entity, found by drawing it once on a surface that only
// keeps the bounds of what reaches it: whatever the pass draws (texts, arrows, fills, the
// contents of inserted blocks, a viewport's frame) is inside, however it comes to be drawn.
//
// The boxes are in the entity's own coordinates as a pass without an offset places them: for a
// top-level entity the drawing's, for an entity of a block relative to the block's base point,
// so a block's entities can be placed by each insert. Pixel-sized marks (grips, points, pen
// widths of line weights) are left to a margin of the paint; everything else scales with the
// zoom. An entity that drew nothing measurable (no vertices, a text too large to draw at the
// zoom the bounds were taken at, a block that inserts itself) has no box and is always visited.
//
// Valid for one read of the drawing: build it again after every read.
class DrawnExtents {
public:
    void build(const document::Drawing &d);
    void clear();

    // Built for a drawing of this many entities (a cheap check that it is still the one).
    bool builtFor(const document::Drawing &d) const {
        return built_ && static_cast<std::size_t>(d.anzpoly) == bounded_.size();
    }
    // The bounds could not be taken whole (a bound of the pass cut them short): nothing may be
    // left out of a paint by them.
    bool usable() const { return built_ && usable_; }

    bool bounded(std::size_t i) const { return i < bounded_.size() && bounded_[i]; }
    const ExtentBox &box(std::size_t i) const { return boxes_[i]; }
    // A plain stroked outline (no fill, width, arrow, text or jump) is kept here with at most
    // kCoarsePoints of its vertices, evenly spread, in the coordinates of its box: drawn small,
    // it looks the same, and a paint need not reach for the entity's own vertices (a cache miss
    // each, where these lie side by side).
    struct CoarseOutline {
        const float *xy = nullptr; // x, y pairs relative to the box's lower left corner
        uint32_t count = 0;        // points; 0: the entity has none
        bool closed = false;
    };
    CoarseOutline coarseOutline(std::size_t i) const;
    // How many points a coarse outline keeps at most.
    static constexpr uint32_t kCoarsePoints = 27;

    // The widest line weight of any entity or layer, hundredths of a millimetre (pens of line
    // weights keep their width in pixels at every zoom).
    int32_t widestLineweight() const { return widestLineweight_; }

    // The top-level entities (not of a block) that may show in `view` (drawing units), in
    // ascending index order: those whose box meets it and those without a box.
    void topLevelIn(const ExtentBox &view, std::vector<uint32_t> &out) const;

private:
    struct Node {
        ExtentBox box;
        uint32_t first = 0, count = 0; // children: nodes of the level below, or leaf items
    };
    void buildTree(std::vector<uint32_t> items);
    void keepCoarse(const document::tpoly &e, std::size_t i);

    bool built_ = false, usable_ = false;
    int32_t widestLineweight_ = 0;
    std::vector<ExtentBox> boxes_;   // per entity
    std::vector<uint8_t> bounded_;   // per entity: boxes_ holds its bounds
    std::vector<uint32_t> coarseAt_; // per entity: its first point in coarse_, or kNone
    std::vector<uint8_t> coarseCount_;
    std::vector<float> coarse_;
    static constexpr uint32_t kNone = UINT32_MAX;
    // A packed R-tree over the bounded top-level entities: levels_[0] are the leaves, whose
    // children are entries of items_; the last level holds the root.
    std::vector<std::vector<Node>> levels_;
    std::vector<uint32_t> items_;
    std::vector<uint32_t> unbounded_;     // top-level entities without a box, ascending
    mutable std::vector<uint64_t> marks_; // per entity, one bit: taken by the current query
};

// The extent of all that tab `tab` draws, drawing units, as the fit finds it (drawnBounds in
// drawn_bounds.h): false when it draws nothing.
bool drawnExtentOfTab(const document::Drawing &d, int tab, ExtentBox &out);

} // namespace quentar::render
