// Chaining: which pieces take part, how near ends must be to meet, and the nodes where ends, and
// the points where pieces are split, meet within that tolerance.
#include "contours/work.h"
#include "geometry/curves.h"

#include <algorithm>
#include <cmath>

namespace quentar::contours::detail {

namespace {

// A piece of one step has no box of its own: its ends span it.
Box endsBox(double x0, double y0, double x1, double y1) {
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

} // namespace

Box Work::box(uint32_t k) const {
    const uint32_t slot = col.boxOf[taking[k]];
    if (slot != PieceCollector::kNoBox) {
        const double *b = &col.boxes[4 * std::size_t{slot}];
        return {b[0], b[1], b[2], b[3]};
    }
    const double *e = ends(k);
    return endsBox(e[0], e[1], e[2], e[3]);
}

void Work::points(uint32_t k, std::vector<double> &xy, std::vector<int32_t> *at) const {
    const Piece &p = piece(k);
    double fx = 0, fy = 0;
    bool first = true;
    forEachPoint(d, col, p, [&](int32_t i, double x, double y) {
        if (first) {
            fx = x;
            fy = y;
            first = false;
        }
        xy.push_back(x);
        xy.push_back(y);
        if (at) at->push_back(i);
    });
    // The closing side ends where the piece began, at a vertex one past its last.
    if (p.closingSide && !first) {
        xy.push_back(fx);
        xy.push_back(fy);
        if (at) at->push_back(p.to + 1);
    }
}

void gatherPieces(Work &w) {
    ContourAnalysis &out = w.out;
    const std::vector<Piece> &pieces = w.col.pieces;
    for (const Piece &p : pieces) {
        out.lengthByKind[static_cast<int>(p.kind)] += p.length;
        if (p.measured) out.kindMeasured[static_cast<int>(p.kind)] = true;
    }
    // The cut pieces.
    w.taking.reserve(pieces.size());
    Box all;
    bool any = false;
    for (uint32_t i = 0; i < pieces.size(); ++i) {
        const Piece &p = pieces[i];
        if (p.kind != MeasureKind::Cut || !p.measured || p.segments == 0) continue;
        if (p.entity >= w.d.polys.size()) continue;
        w.taking.push_back(i);
        const Box b = w.box(static_cast<uint32_t>(w.taking.size() - 1));
        if (!any) {
            all = b;
            any = true;
        }
        all.take(b);
    }
    // Ends meet within a tolerance relative to the size of what is cut.
    const double size = any ? std::max(all.maxx - all.minx, all.maxy - all.miny) : 0;
    w.tol = render::chordTolerance(size); // of geometry/curves.h
    out.tolerance = w.tol;
    w.ox = any ? (all.minx + all.maxx) / 2 : 0;
    w.oy = any ? (all.miny + all.maxy) / 2 : 0;
}

void joinNodes(Work &w) {
    // A piece that comes near no other, is not split and does not come back to its start meets
    // nothing: it stays out of the graph (a million loose LINEs make no graph at all).
    std::vector<char> split(w.taking.size(), 0);
    for (const Split &s : w.splits) split[s.k] = 1;
    w.startNode.assign(w.taking.size(), Work::kNoNode);
    w.endNode.assign(w.taking.size(), Work::kNoNode);
    std::vector<uint32_t> inGraph;
    for (uint32_t k = 0; k < w.taking.size(); ++k) {
        const double *e = w.ends(k);
        const bool closes = std::hypot(e[2] - e[0], e[3] - e[1]) <= w.tol;
        if (w.near[k] || split[k] || closes)
            inGraph.push_back(k);
        else
            w.isolated.push_back(k);
    }
    std::vector<char>().swap(split);
    // The points that become nodes: both ends of every piece in the graph, then every split.
    const std::size_t ends = 2 * inGraph.size();
    const std::size_t count = ends + w.splits.size();
    auto pointAt = [&](std::size_t i, double &x, double &y) {
        if (i < ends) {
            if (i % 2 == 0)
                w.start(inGraph[i / 2], x, y);
            else
                w.end(inGraph[i / 2], x, y);
        } else {
            x = w.splits[i - ends].x;
            y = w.splits[i - ends].y;
        }
    };
    // Points sorted by their cell of the tolerance's size: points within the tolerance of each
    // other lie in the same or neighbouring cells. The drawing spans about 10^5 tolerances, so a
    // cell's coordinates fit 32 bits each.
    const double cell = w.tol;
    auto cellCoord = [&](double v, double o) {
        return static_cast<uint32_t>(std::clamp<int64_t>(cellOf(v, o, cell), -(1 << 30), 1 << 30) +
                                     (1 << 30));
    };
    const double x0 = w.ox, y0 = w.oy;
    std::vector<std::pair<uint64_t, uint32_t>> keyed(count);
    for (std::size_t i = 0; i < count; ++i) {
        double x, y;
        pointAt(i, x, y);
        keyed[i] = {uint64_t{cellCoord(x, x0)} << 32 | cellCoord(y, y0), static_cast<uint32_t>(i)};
    }
    std::sort(keyed.begin(), keyed.end());
    Sets same(count);
    for (std::size_t a = 0; a < keyed.size(); ++a) {
        const uint64_t key = keyed[a].first;
        const uint32_t cx = static_cast<uint32_t>(key >> 32), cy = static_cast<uint32_t>(key);
        double px, py;
        pointAt(keyed[a].second, px, py);
        // The cells at and after this one in sort order: (cx, cy..cy+1) and (cx+1, cy-1..cy+1).
        // Pairs in the other neighbours are met from the other point.
        auto scan = [&](uint32_t gx, uint32_t gyLow, uint32_t gyHigh, std::size_t from) {
            const uint64_t lo = uint64_t{gx} << 32 | gyLow, hi = uint64_t{gx} << 32 | gyHigh;
            auto it = std::lower_bound(keyed.begin() + static_cast<std::ptrdiff_t>(from),
                                       keyed.end(), std::pair<uint64_t, uint32_t>{lo, 0});
            for (; it != keyed.end() && it->first <= hi; ++it) {
                double qx, qy;
                pointAt(it->second, qx, qy);
                if ((px - qx) * (px - qx) + (py - qy) * (py - qy) <= w.tol * w.tol)
                    same.join(keyed[a].second, it->second);
            }
        };
        scan(cx, cy, cy + 1, a + 1);
        scan(cx + 1, cy - 1, cy + 1, a + 1);
    }
    std::vector<std::pair<uint64_t, uint32_t>>().swap(keyed);
    // A node per set, at its first point.
    std::vector<uint32_t> nodeOf(count, UINT32_MAX);
    std::vector<Node> &nodes = w.out.nodes;
    std::size_t roots = 0;
    for (std::size_t i = 0; i < count; ++i) roots += same.find(static_cast<uint32_t>(i)) == i;
    nodes.reserve(roots);
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t root = same.find(static_cast<uint32_t>(i));
        if (nodeOf[root] == UINT32_MAX) {
            nodeOf[root] = static_cast<uint32_t>(nodes.size());
            Node n;
            pointAt(root, n.x, n.y);
            nodes.push_back(n);
        }
        nodeOf[i] = nodeOf[root];
    }
    for (std::size_t i = 0; i < inGraph.size(); ++i) {
        w.startNode[inGraph[i]] = nodeOf[2 * i];
        w.endNode[inGraph[i]] = nodeOf[2 * i + 1];
    }
    for (std::size_t s = 0; s < w.splits.size(); ++s) w.splits[s].node = nodeOf[ends + s];
}

} // namespace quentar::contours::detail
