// Where the entities of a read lie: their bounds and a grid that finds the few near a point.
#pragma once

#include "document/drawing.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quentar::editor {

// A rectangle in drawing units, borders included.
struct WorldBox {
    double minx = 0, miny = 0, maxx = -1, maxy = -1; // empty while maxx < minx
    bool empty() const { return !(maxx >= minx && maxy >= miny); }
    bool meets(const WorldBox &o) const {
        return !empty() && !o.empty() && minx <= o.maxx && o.minx <= maxx && miny <= o.maxy &&
               o.miny <= maxy;
    }
    void add(double x, double y);
};

// The bounds of every entity's vertices and snap points (those with finite coordinates: no other
// can come near a pointer), and a grid of cells in several sizes: an entity sits in the cells of
// the size that fits it, so a query near a point looks at a few cells per size, whatever the
// drawing's extent. The pointer tests then check the candidates exactly, in record order, so the
// grid changes how fast they run, never what they find.
class EntityGrid {
public:
    // Indexes the entities of a read. Bounds of entities whose sampled geometry the reader took
    // over from the previous read are taken over too.
    void build(const document::Drawing &d);
    // Forgets everything (another document).
    void clear();
    // After a read: lets go of the geometry of entities the read did not take over, which only
    // the grid still held, so that a big deletion frees its memory at once.
    void releaseUnused();

    std::size_t size() const { return bounds_.size(); }
    const WorldBox &bounds(std::size_t i) const { return bounds_[i]; }

    // Appends the entities whose bounds meet `box`, ascending, to `out` (cleared first).
    void query(const WorldBox &box, std::vector<uint32_t> &out) const;

private:
    static constexpr int kLevels = 24; // cell sizes c, 2c, 4c, ... 2^23 c
    uint64_t bucketOf(int level, int64_t ix, int64_t iy) const;
    int64_t cellIndex(double v, int level) const;

    std::vector<WorldBox> bounds_;
    std::vector<int8_t> level_; // per entity: -1 not in the grid, kLevels: too big
    std::vector<document::GeometryRef> geometry_; // what bounds_ are of
    double cell0_ = 1;                   // smallest cell size, drawing units
    double perCell_[kLevels] = {};       // cells per drawing unit, per level
    uint32_t usedLevels_ = 0;            // bit per level holding entities
    // Hashed cells, a power of two of them: bucket b holds members_[starts_[b] ... starts_[b+1]).
    std::vector<uint32_t> starts_;
    std::vector<uint32_t> members_;      // entity indices, grouped by bucket
    std::vector<uint32_t> huge_;         // entities too big for any cell: always candidates
    mutable std::vector<uint32_t> seen_; // per entity: the query that last took it
    mutable uint32_t queryStamp_ = 0;
};

} // namespace quentar::editor
