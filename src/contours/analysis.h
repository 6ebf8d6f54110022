// What a shop can check by hand: the cut contours of a drawing made from its pieces, split where
// they cross, closed or open, nested into parts and holes, with exact areas, pierces, open ends
// and the cuts drawn twice.
#pragma once

#include "contours/pieces.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quentar::contours {

// A place on a piece: on the step from its point `vertex` to the next point walked, `t` of the
// way (0: the point itself).
struct Position {
    int32_t vertex = 0;
    float t = 0;
    bool operator<(const Position &o) const {
        return vertex < o.vertex || (vertex == o.vertex && t < o.t);
    }
    bool operator==(const Position &o) const = default;
};

// A point where edges meet: ends that meet, crossings, an end lying on another piece.
struct Node {
    double x = 0, y = 0;
};

// A stretch of a piece between two nodes of the graph the cut contours form, or a piece's
// closing side (from its last point back to its first).
struct ContourEdge {
    uint32_t piece = 0;
    Position a, b;         // where on the piece it starts and ends, in walking order
    uint32_t u = 0, v = 0; // the nodes at a and b
    bool closingSide = false;
};

// A contour: a face of the graph (closed), or a connected set of edges that encloses nothing
// (open). Its half-edges (2 * edge, + 1 when walked from v to u) lie in ContourAnalysis::halves.
struct Contour {
    uint32_t firstHalf = 0, halfCount = 0;
    // An open contour of one whole piece that meets nothing has no edge: this is its piece.
    uint32_t piece = UINT32_MAX;
    bool closed = false;
    // Open: it hangs off a closed contour (a stretch overshooting a corner, a lead-in), so it is
    // cut from there rather than pierced on its own.
    bool attached = false;
    double area = 0;   // enclosed area (closed contours), drawing units squared
    double length = 0; // drawing units
    double minx = 0, miny = 0, maxx = 0, maxy = 0; // the box of its own points
    int32_t parent = -1;                           // the contour of the part or hole it lies in
    int32_t depth = 0; // 0 outer edge of a part, 1 hole, 2 island in a hole, ...
    bool hole() const { return closed && depth % 2 == 1; }
};

struct OpenEnd {
    double x = 0, y = 0;
    double nearest = -1;   // distance to the nearest other open end, -1 when there is none
    bool attached = false; // the end of a stretch hanging off a closed contour
};

struct DuplicateCut {
    uint32_t piece = 0;  // the later of two pieces drawn over each other
    double length = 0;   // the length of it that runs over an earlier piece
    double x = 0, y = 0; // a point on it, for showing
};

// Why parts of the analysis were not computed: the bound of work each stands for was reached.
enum Unfinished : uint32_t {
    kTooManyCrossings = 1 << 0, // the cut contours cross each other too often
    kTooManyTests = 1 << 1,     // too many stretches lie over each other to be searched
    kTooManyEdges = 1 << 2,     // the graph grew beyond its bound
    kTooManyPieces = 1 << 3,    // the drawing repeats blocks too often to collect them all
};

struct ContourAnalysis {
    double tolerance = 0; // ends closer than this meet, drawing units
    std::vector<Node> nodes;
    std::vector<ContourEdge> edges;
    std::vector<uint32_t> halves; // the contours' half-edges, contour after contour
    // Closed contours first (largest first), then open ones; at most kMostListed open ones are
    // kept (the counts below hold them all).
    std::vector<Contour> contours;
    std::vector<OpenEnd> openEnds; // at most kMostListed of them
    std::vector<DuplicateCut> duplicates;
    double duplicateLength = 0;   // cut twice in the drawing, cut once by the laser
    int64_t openEndCount = 0;     // all of them
    int64_t attachedEndCount = 0; // of them, the ends of attached open contours
    int32_t closedCount = 0, openCount = 0, attachedCount = 0, parts = 0, holes = 0, pierces = 0;
    double attachedLength = 0; // of the attached open contours
    double netArea = 0;        // sum of parts minus their holes, never negative
    bool overlapping = false;  // holes of a part cover more than the part: clamped
    // Loops crossing in a connected part too intricate to sort out: its faces were taken as
    // parts (or holes) without looking at the loops.
    bool simplified = false;
    uint32_t unfinished = 0; // Unfinished bits: parts, holes, areas and ends not found
    int64_t crossings = 0;   // where pieces cross (as far as they were searched)
    std::array<double, kMeasureKinds> lengthByKind{}; // all pieces, measured or not
    std::array<bool, kMeasureKinds> kindMeasured{};   // the kind entered the cut length

    // Details of more open contours and ends than this help no one; they are counted only.
    static constexpr std::size_t kMostListed = 20000;

    std::vector<double> areas() const; // areas of the closed contours, largest first
};

// Bounds of the work one analysis may do: a drawing beyond them gets its length and box, and
// a warning that its contours were not made.
struct AnalysisBudget {
    // Pieces crossing each other: far beyond any part, and the graph they make stays within
    // some 30 MB.
    int64_t crossings = 50'000;
    int64_t segmentTests = 150'000'000; // pairs of steps looked at for crossings
    int64_t edges = 4'000'000;          // edges of the graph
    bool contours = true;               // false: the lengths by kind only
};

// Makes the cut pieces collected by a render into a plane graph (ends within the tolerance meet,
// an end lying on another piece splits it, crossing pieces split each other, a stretch drawn over
// an earlier piece is cut once), takes the faces of that graph as the closed contours, nests them
// into parts and holes and measures them. About linear in the pieces and their points.
ContourAnalysis analyseContours(const document::Drawing &d, const PieceCollector &collected,
                                const AnalysisBudget &budget = {});

// The points of half-edge h (2 * edge, + 1 backwards) in drawing coordinates, appended to `xy`.
void edgePoints(const document::Drawing &d, const PieceCollector &collected,
                const ContourAnalysis &a, uint32_t h, std::vector<double> &xy);
// The points of a contour in drawing coordinates, in order, appended to `xy`: a closed one's
// outline once round (its first point not repeated), an open one's edges one after the other.
void contourPoints(const document::Drawing &d, const PieceCollector &collected,
                   const ContourAnalysis &a, const Contour &c, std::vector<double> &xy);

} // namespace quentar::contours
