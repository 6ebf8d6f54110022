// The pieces a render collects for the contour analysis: stretches of entities' walks, each with
// where its entity lies in the drawing. Their points stay in the drawing; a piece only names them.
#pragma once

#include "document/drawing.h"
#include "geometry/placement.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quentar::contours {

// What an entity's measured length is: the contours the laser cuts, or something drawn with them.
enum class MeasureKind : uint8_t {
    Cut,           // lines, arcs, circles, ellipses, polylines, splines, solids
    Dimension,     // dimension lines and extension lines
    Leader,        // leaders
    Hatch,         // hatch and wipeout boundaries
    Construction,  // construction lines and rays (drawn 20,000 units long)
    ViewportFrame, // the frames of paper-space viewports
    Dashed,        // centre marks, bend and hidden edges: drawn with a broken line type
    Mesh,          // polygon and polyface meshes: surfaces
};
inline constexpr int kMeasureKinds = 8;
MeasureKind measureKindOf(const document::tpoly &e);
// Name for reports: "cut", "dimension", "leader", "hatch", "construction", "viewport", "dashed",
// "mesh".
const char *measureKindName(MeasureKind k);

// Where an entity's stored coordinates lie in the drawing: x' = linear(x) + offset.
struct Placement {
    double bx = 0, by = 0;
    uint32_t linear = kIdentity; // index into PieceCollector::linears
    static constexpr uint32_t kIdentity = UINT32_MAX;
};

// One stretch of an entity's walk between jumps, as the render pass measured it. 32 bytes: a
// million LINEs make a million pieces.
struct Piece {
    uint32_t entity = 0;      // index into the drawing's polys
    uint32_t placement = 0;   // index into PieceCollector::placements
    int32_t from = 0, to = 0; // first and last vertex walked (hidden vertices in between skip)
    MeasureKind kind = MeasureKind::Cut;
    bool measured = true; // counted in the cut length (not with "cut contours only")
    // The walk closed it with a straight side back to its first vertex (a SOLID lists its
    // corners only): the side is cut and counted like the others.
    bool closingSide = false;
    int32_t segments = 0; // steps walked (the closing side not among them)
    double length = 0;    // sum of the steps (and the closing side), drawing units
};

// Where a piece runs in the drawing: its first and last point (the first again when it closes with
// a side of its own) and the box of its points.
struct PieceSpan {
    double sx = 0, sy = 0, ex = 0, ey = 0;
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
};

// The pieces of one render, filled by the render pass when it is given one.
class PieceCollector {
  public:
    std::vector<Piece> pieces;
    std::vector<Placement> placements; // [0]: the drawing itself
    std::vector<geometry::Linear3> linears;
    // Per piece its ends (x y x y), and a box for the pieces of more than one step (boxOf,
    // kNoBox for the others: their ends span them).
    std::vector<double> ends;
    std::vector<uint32_t> boxOf;
    std::vector<double> boxes; // minx miny maxx maxy
    static constexpr uint32_t kNoBox = UINT32_MAX;

    PieceCollector() { clear(); }
    void clear();
    void reserve(std::size_t pieces);
    void add(const Piece &p, const PieceSpan &span);
    // Drops the pieces from `count` on (an entity that turned out to have no length).
    void truncate(std::size_t count);
    // The placement index of an offset and a linear part (null: none), the last one again when
    // it is the same (the pieces of one insert come one after the other).
    uint32_t placementOf(double bx, double by, const geometry::Linear3 *linear);

    // An entity's point in the drawing as placed for `p`.
    void world(const Piece &p, const document::Tmypoi &v, double &x, double &y) const {
        const Placement &pl = placements[p.placement];
        if (pl.linear == Placement::kIdentity) {
            x = v.x + pl.bx;
            y = v.y + pl.by;
            return;
        }
        const auto &m = linears[pl.linear].m;
        x = m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + pl.bx;
        y = m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + pl.by;
    }
    // The factor by which the placement of `p` grows areas, signed (negative: mirrored).
    double areaFactor(const Piece &p) const {
        const Placement &pl = placements[p.placement];
        return pl.linear == Placement::kIdentity ? 1.0 : linears[pl.linear].det2();
    }
    // The points of a piece in drawing coordinates, in walking order (its closing side not
    // repeated), appended to `xy` as x, y pairs.
    void points(const document::Drawing &d, const Piece &p, std::vector<double> &xy) const;
};

// Calls f(vertexIndex, x, y) for each point of a piece in walking order.
template <class F>
void forEachPoint(const document::Drawing &d, const PieceCollector &c, const Piece &p, F &&f) {
    if (p.entity >= d.polys.size()) return;
    const document::tpoly &e = d.polys[p.entity];
    const int32_t last = std::min(p.to, e.anzp - 1);
    for (int32_t i = p.from; i <= last; ++i) {
        const auto &v = e.p(i);
        if (v.donotdraw) continue;
        double x, y;
        c.world(p, v, x, y);
        f(i, x, y);
    }
}

} // namespace quentar::contours
