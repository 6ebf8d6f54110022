// What a shop can check by hand: the cut contours of a drawing chained from their pieces, closed or
// open, nested into parts and holes, with exact areas, pierces, open ends and duplicate cuts.
#pragma once

#include "document/drawing.h"
#include "geometry/placement.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quentar::render {

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
struct WorldPlacement {
    double bx = 0, by = 0;
    bool identity = true;
    geometry::Linear3 linear;
    void world(const document::Tmypoi &v, double &wx, double &wy) const {
        if (identity) {
            wx = v.x + bx;
            wy = v.y + by;
            return;
        }
        const auto &m = linear.m;
        wx = m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + bx;
        wy = m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + by;
    }
};

// One stretch of an entity's walk between jumps, as the render pass measured it, in drawing
// coordinates. Its points are not kept: they come back from the entity and the placement.
struct Piece {
    uint32_t entity = 0;        // index into the drawing's polys
    int32_t from = 0, to = 0;   // first and last vertex walked (hidden vertices in between skip)
    MeasureKind kind = MeasureKind::Cut;
    bool closedEntity = false;  // the entity says it is closed
    bool measured = true;       // counted in the cut length (not with "cut contours only")
    double sx = 0, sy = 0, ex = 0, ey = 0; // start and end point
    double length = 0;          // sum of the chords
    double curvedLength = 0;    // the part of it that samples curves
    double shoelace = 0;        // sum of x1 y2 - x2 y1 over its chords, relative to the origin
    double curveArea = 0;       // signed area between its arcs and their chords
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    int32_t segments = 0;
    WorldPlacement place;
};

// The pieces of one render, filled by the render pass when it is given one.
struct PieceCollector {
    std::vector<Piece> pieces;
    bool originSet = false;
    double ox = 0, oy = 0; // the shoelace sums are taken about this point (the first one walked)
    void clear() {
        pieces.clear();
        originSet = false;
        ox = oy = 0;
    }
};

// A stretch of a piece between two nodes of the drawing's graph (pieces are split where another
// piece ends on them), or the closing side of a closed entity that does not return to its start.
struct ContourEdge {
    uint32_t piece = UINT32_MAX; // UINT32_MAX: a straight closing side from (ax, ay) to (bx, by)
    int32_t i0 = 0, i1 = -1;     // the piece's points i0 ... i1 (walking order) lie on it
    bool head = false, tail = false; // it starts / ends at a split point (a, b) off the points
    double ax = 0, ay = 0, bx = 0, by = 0; // its two ends
    uint32_t u = 0, v = 0;       // the nodes at a and b
    double length = 0, shoelace = 0, curveArea = 0;
};

// A contour: a face of the graph the cut contours form (closed), or a connected set of edges
// that encloses nothing (open).
struct Contour {
    std::vector<uint32_t> halfEdges; // closed: 2 * edge + (1 when walked from b to a), in order;
                                     // open: 2 * edge
    bool closed = false;
    double area = 0;              // enclosed area (closed contours), drawing units squared
    double length = 0;
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    int32_t parent = -1;          // the contour of the part or hole it lies in
    int32_t depth = 0;            // 0 outer edge of a part, 1 hole, 2 island in a hole, ...
    bool hole() const { return closed && depth % 2 == 1; }
};

struct OpenEnd {
    double x = 0, y = 0;
    double nearest = -1; // distance to the nearest other open end, -1 when there is none
};

struct DuplicateCut {
    uint32_t piece = 0; // the later of two pieces drawn over each other
    double length = 0;  // the length of it that runs over an earlier piece
    double x = 0, y = 0; // a point on it, for showing
};

struct ContourAnalysis {
    double tolerance = 0;              // ends closer than this meet, drawing units
    std::vector<ContourEdge> edges;
    std::vector<Contour> contours;     // closed contours first (largest first), then open chains
    std::vector<OpenEnd> openEnds;
    std::vector<DuplicateCut> duplicates;
    double duplicateLength = 0;
    int32_t closedCount = 0, openCount = 0, parts = 0, holes = 0, pierces = 0;
    double netArea = 0;                // sum of parts minus their holes, never negative
    bool overlapping = false;          // holes of a part cover more than the part: clamped
    bool simplified = false;           // crowded spots were not searched in full (see bounds)
    std::array<double, kMeasureKinds> lengthByKind{}; // all pieces, measured or not
    std::array<bool, kMeasureKinds> kindMeasured{};   // the kind entered the cut length
    std::vector<double> areas() const; // areas of the closed contours, largest first
};

// Joins the cut pieces collected by a render into a graph (ends that meet become one node, an end
// lying on another piece splits it), takes the faces of that graph as the closed contours (parts
// sharing an edge are two contours), nests them into parts and holes and measures them. Cost
// about linear in the pieces and their vertices: ends meet through a grid, parents are looked up
// through a grid.
ContourAnalysis analyseContours(const document::Drawing &d, const PieceCollector &collected);

// The points of a piece in drawing coordinates, in walking order.
void piecePoints(const document::Drawing &d, const Piece &p, std::vector<double> &xy);
// The points of an edge walked forwards (or backwards), appended to `xy`.
void edgePoints(const document::Drawing &d, const PieceCollector &collected,
                const ContourEdge &e, bool backwards, std::vector<double> &xy);

} // namespace quentar::render
