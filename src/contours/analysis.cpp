// The contour analysis in its named steps, and the points of what it found.
#include "contours/analysis.h"

#include "contours/work.h"

#include <algorithm>

namespace quentar::contours {

std::vector<double> ContourAnalysis::areas() const {
    std::vector<double> out;
    for (const Contour &c : contours)
        if (c.closed) out.push_back(c.area);
    return out;
}

namespace {

// The points of an edge strictly between its two nodes, in walking order.
void innerPoints(const document::Drawing &d, const PieceCollector &col, const ContourEdge &e,
                 std::vector<double> &xy) {
    const Piece &p = col.pieces[e.piece];
    if (p.entity >= d.polys.size()) return;
    const document::tpoly &en = d.polys[p.entity];
    // Points after a, up to b (b itself only when b lies inside its step).
    const int32_t hi =
        std::min(e.b.t > 0 ? e.b.vertex : e.b.vertex - 1, std::min(p.to, en.anzp - 1));
    for (int32_t i = e.a.vertex + 1; i <= hi; ++i) {
        const auto &v = en.p(i);
        if (v.donotdraw) continue;
        double x, y;
        col.world(p, v, x, y);
        xy.push_back(x);
        xy.push_back(y);
    }
}

void appendHalf(const document::Drawing &d, const PieceCollector &col, const ContourAnalysis &a,
                uint32_t h, bool withLast, std::vector<double> &xy) {
    const ContourEdge &e = a.edges[h >> 1];
    const Node &from = a.nodes[(h & 1) ? e.v : e.u], &to = a.nodes[(h & 1) ? e.u : e.v];
    xy.push_back(from.x);
    xy.push_back(from.y);
    const std::size_t at = xy.size();
    innerPoints(d, col, e, xy);
    if (h & 1) {
        // Backwards: the inner points in reverse, pair by pair.
        const std::size_t n = (xy.size() - at) / 2;
        for (std::size_t i = 0; i < n / 2; ++i) {
            std::swap(xy[at + 2 * i], xy[at + 2 * (n - 1 - i)]);
            std::swap(xy[at + 2 * i + 1], xy[at + 2 * (n - 1 - i) + 1]);
        }
    }
    if (withLast) {
        xy.push_back(to.x);
        xy.push_back(to.y);
    }
}

} // namespace

void edgePoints(const document::Drawing &d, const PieceCollector &col, const ContourAnalysis &a,
                uint32_t h, std::vector<double> &xy) {
    appendHalf(d, col, a, h, true, xy);
}

void contourPoints(const document::Drawing &d, const PieceCollector &col, const ContourAnalysis &a,
                   const Contour &c, std::vector<double> &xy) {
    if (c.piece != UINT32_MAX) {
        col.points(d, col.pieces[c.piece], xy);
        return;
    }
    for (uint32_t i = 0; i < c.halfCount; ++i)
        appendHalf(d, col, a, a.halves[c.firstHalf + i], !c.closed, xy);
}

namespace detail {

void Work::halfPoints(uint32_t h, std::vector<double> &xy) const {
    appendHalf(d, col, out, h, false, xy);
}

} // namespace detail

ContourAnalysis analyseContours(const document::Drawing &d, const PieceCollector &collected,
                                const AnalysisBudget &budget) {
    ContourAnalysis out;
    detail::Work w(d, collected, budget, out);
    detail::gatherPieces(w);
    if (!budget.contours) return out;
    detail::findDuplicates(w);
    if (!detail::nodePieces(w)) {
        // Beyond the bound: what the noding found is partial, so are the stretches drawn twice
        // it found; the whole copies found before it stand.
        return out;
    }
    detail::joinNodes(w);
    if (!detail::buildEdges(w)) {
        out.nodes.clear();
        out.edges.clear();
        return out;
    }
    detail::buildFaces(w);
    detail::nestContours(w);
    detail::findOpenEnds(w);
    return out;
}

} // namespace quentar::contours
