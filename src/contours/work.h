// The state the named steps of one analysis hand on to each other (inside the library only).
#pragma once

#include "contours/analysis.h"
#include "contours/spatial.h"

#include <cstdint>
#include <vector>

namespace quentar::contours::detail {

// A place where a piece of the graph is split: a crossing, another piece's point lying on it,
// or where a stretch drawn over an earlier piece begins or ends.
struct Split {
    uint32_t k = 0; // the piece taking part (index into Work::taking)
    Position at;
    double x = 0, y = 0; // where the node goes
    uint32_t node = 0;   // filled by joinNodes
};

// A stretch of a piece taking part that runs over an earlier piece: not in the graph.
struct Removal {
    uint32_t k = 0;
    Position a, b;
};

// A straight stretch of a piece (on the step from `vertex`, from t0 to t1 of the way) that lies
// over an earlier piece, as the noding finds it.
struct Overlap {
    uint32_t k = 0;
    int32_t vertex = 0;
    double t0 = 0, t1 = 0;
};

// A face of the graph: a closed walk of half-edges with the face on its left.
struct Face {
    uint32_t first = 0, count = 0; // in Work::faceHalves
    double area = 0;               // signed: positive for a bounded face
    uint32_t component = 0;        // the connected part of the graph it belongs to
};

struct Work {
    Work(const document::Drawing &d, const PieceCollector &col, const AnalysisBudget &budget,
         ContourAnalysis &out)
        : d(d), col(col), budget(budget), out(out) {}

    const document::Drawing &d;
    const PieceCollector &col;
    const AnalysisBudget &budget;
    ContourAnalysis &out;
    double tol = 0;        // ends closer than this meet
    double ox = 0, oy = 0; // shoelace sums are taken about this point, near the drawing

    // The pieces taking part in the graph: cut, longer than the tolerance, not wholly drawn over
    // earlier ones (indices into the collector's pieces).
    std::vector<uint32_t> taking;
    // Per piece taking part: a box of another piece comes near one of its own (the noding);
    // a piece that is not near any and does not close on itself meets nothing at all.
    std::vector<char> near;
    std::vector<Removal> removals;
    std::vector<Split> splits;
    // Per piece taking part: its start and end node (joinNodes); kNoNode for a piece that meets
    // nothing (it stays out of the graph).
    std::vector<uint32_t> startNode, endNode;
    static constexpr uint32_t kNoNode = UINT32_MAX;

    // Per edge: its length, shoelace sum about (ox, oy), signed area between its arcs and
    // their chords, and its box.
    std::vector<double> edgeLength, edgeShoelace, edgeCurve;
    std::vector<Box> edgeBox;
    // Per half-edge (2 * edge, + 1 from v): the direction it leaves its node in, radians.
    std::vector<double> leave;
    // Pieces that meet nothing (no other end, no split): open contours of their own, outside
    // the graph.
    std::vector<uint32_t> isolated;
    // Per node: how many edge ends meet there.
    std::vector<uint32_t> degree;

    std::vector<uint32_t> edgeK; // per edge: the piece taking part it comes from

    // Half-edges by the node they leave, counter-clockwise (aroundStart[n] .. aroundStart[n+1]),
    // and each half-edge's place in that list.
    std::vector<uint32_t> around, aroundStart, position;
    std::vector<Face> faces;
    std::vector<uint32_t> faceHalves;
    std::vector<uint32_t> faceOfHalf;  // per half-edge
    std::vector<uint32_t> componentOf; // per node
    // Per face: the contour it belongs to (a part, or a hole it was merged into), or -1.
    std::vector<int32_t> contourOfFace;
    double noArea = 0; // faces enclosing no more than this enclose nothing

    uint32_t origin(uint32_t h) const {
        return (h & 1) ? out.edges[h >> 1].v : out.edges[h >> 1].u;
    }
    // The half-edge after h on the face to h's left, among the half-edges `keep` accepts.
    template <class Keep> uint32_t nextOf(uint32_t h, Keep &&keep) const {
        const uint32_t back = h ^ 1u;
        const uint32_t n = origin(back);
        const uint32_t b = aroundStart[n], count = aroundStart[n + 1] - b;
        uint32_t at = position[back];
        for (uint32_t i = 0; i < count; ++i) {
            at = b + (at - b + count - 1) % count;
            if (keep(around[at])) return around[at];
        }
        return back;
    }
    // The points of half-edge h from its first node up to (not including) its last, appended.
    void halfPoints(uint32_t h, std::vector<double> &xy) const;
    // The closed walk of face f, its first point not repeated (replaces `xy`).
    void facePolygon(uint32_t f, std::vector<double> &xy) const;

    const Piece &piece(uint32_t k) const { return col.pieces[taking[k]]; }
    // The first and last point of piece k in the drawing.
    const double *ends(uint32_t k) const { return &col.ends[4 * std::size_t{taking[k]}]; }
    void start(uint32_t k, double &x, double &y) const {
        x = ends(k)[0];
        y = ends(k)[1];
    }
    void end(uint32_t k, double &x, double &y) const {
        x = ends(k)[2];
        y = ends(k)[3];
    }
    Box box(uint32_t k) const;
    // The points of piece k (appended) and the vertex index of each (appended to `at` if given).
    void points(uint32_t k, std::vector<double> &xy, std::vector<int32_t> *at = nullptr) const;
};

// The steps of analyseContours, in the order it runs them.
void gatherPieces(Work &w);   // chaining.cpp: the pieces taking part, the tolerance
void findDuplicates(Work &w); // duplicates.cpp: stretches drawn twice
bool nodePieces(Work &w);     // noding.cpp: crossings and points on pieces (false: budget)
void takeOverlaps(Work &w, std::vector<Overlap> &overlaps); // duplicates.cpp, for nodePieces
void joinNodes(Work &w);    // chaining.cpp: ends and splits within the tolerance meet
bool buildEdges(Work &w);   // edges.cpp: the pieces cut at their nodes (false: budget)
void buildFaces(Work &w);   // faces.cpp: the faces of the plane graph
void nestContours(Work &w); // nesting.cpp: parts, holes and islands, the net area
void findOpenEnds(Work &w); // open_ends.cpp: open contours, loose ends and their gaps

// Inside one connected part of the graph with several faces (rings.cpp): each face's depth from
// the loops drawn there, starting at `base`; faces outside the part's material are marked.
void classifyFaces(Work &w, const std::vector<uint32_t> &faces, int32_t base,
                   std::vector<int32_t> &depth, std::vector<char> &outside);
// Even-odd test of a point against a closed polygon of x, y pairs.
bool insidePolygon(const std::vector<double> &poly, double px, double py);

// The signed area between a step's arc and its chord, for each step of a run of points of one
// piece, from the turn of the neighbouring steps that sample the same curve (see edges.cpp).
double segmentArea(double chord, double turn);

} // namespace quentar::contours::detail
