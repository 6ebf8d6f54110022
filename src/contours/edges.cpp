// Edges: each piece cut at its nodes, the stretches drawn over earlier pieces left out, with the
// length, shoelace sum, arc area and box of every edge. A piece that meets nothing stays whole
// and outside the graph (a million loose LINEs make no graph at all).
#include "contours/work.h"

#include <algorithm>
#include <cmath>

namespace quentar::contours::detail {

double segmentArea(double chord, double turn) {
    // The arc over a chord c turning by d: radius c / (2 sin(d/2)), area r^2/2 (d - sin d).
    const double d = std::fabs(turn);
    if (!(d > 0) || !(chord > 0)) return 0;
    double a;
    if (d < 1e-4) {
        a = chord * chord * d / 12;
    } else {
        const double s = std::sin(d / 2);
        a = chord * chord / (8 * s * s) * (d - std::sin(d));
    }
    return turn < 0 ? -a : a;
}

namespace {

struct Walked {
    std::vector<double> xy;
    std::vector<int32_t> at;
    std::vector<char> curve;
    std::vector<double> area; // per step: signed area between its arc and its chord
};

double turnBetween(const std::vector<double> &xy, std::size_t a, std::size_t b, std::size_t c) {
    const double ux = xy[2 * b] - xy[2 * a], uy = xy[2 * b + 1] - xy[2 * a + 1];
    const double vx = xy[2 * c] - xy[2 * b], vy = xy[2 * c + 1] - xy[2 * b + 1];
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

// The piece's points and the arc area of each step: from the turn to the neighbouring steps of
// the same curve, scaled so that the piece's steps add up to its entity's exact arc area.
void walk(const Work &w, uint32_t k, Walked &out) {
    out.xy.clear();
    out.at.clear();
    out.curve.clear();
    w.points(k, out.xy, &out.at);
    const Piece &p = w.piece(k);
    const document::tpoly &e = w.d.polys[p.entity];
    for (int32_t v : out.at) out.curve.push_back(v <= p.to && e.p(v).curve);
    const std::size_t n = out.at.size();
    out.area.assign(n > 0 ? n - 1 : 0, 0.0);
    // The arcs' area belongs to the entity's first piece (the walk put it there).
    int32_t firstShown = 0;
    while (firstShown < e.anzp && e.p(firstShown).donotdraw) ++firstShown;
    const double total = p.from == firstShown ? e.curvearea * w.col.areaFactor(p) : 0;
    if (total == 0 || n < 2) return;
    auto len = [&](std::size_t m) {
        return std::hypot(out.xy[2 * m + 2] - out.xy[2 * m], out.xy[2 * m + 3] - out.xy[2 * m + 1]);
    };
    auto curved = [&](std::size_t m) { return m + 1 < n && out.curve[m + 1] && len(m) > 0; };
    double sum = 0, curvedLength = 0;
    for (std::size_t m = 0; m + 1 < n; ++m) {
        if (!curved(m)) continue;
        double turn = 0;
        int sides = 0;
        if (m > 0 && curved(m - 1)) {
            turn += turnBetween(out.xy, m - 1, m, m + 1);
            ++sides;
        }
        if (m + 2 < n && curved(m + 1)) {
            turn += turnBetween(out.xy, m, m + 1, m + 2);
            ++sides;
        }
        out.area[m] = sides ? segmentArea(len(m), turn / sides) : 0;
        sum += out.area[m];
        curvedLength += len(m);
    }
    if (sum != 0) {
        const double scale = total / sum;
        for (double &a : out.area) a *= scale;
    } else if (curvedLength > 0) {
        for (std::size_t m = 0; m + 1 < n; ++m)
            if (curved(m)) out.area[m] = total * len(m) / curvedLength;
    }
}

} // namespace

bool buildEdges(Work &w) {
    ContourAnalysis &out = w.out;
    const std::vector<Node> &nodes = out.nodes;
    // How many ends and splits each node joins.
    std::vector<uint32_t> use(nodes.size(), 0);
    for (std::size_t k = 0; k < w.taking.size(); ++k) {
        if (w.startNode[k] == Work::kNoNode) continue;
        ++use[w.startNode[k]];
        ++use[w.endNode[k]];
    }
    for (const Split &s : w.splits) ++use[s.node];
    std::sort(w.splits.begin(), w.splits.end(), [](const Split &a, const Split &b) {
        return a.k < b.k || (a.k == b.k && a.at < b.at);
    });
    std::sort(w.removals.begin(), w.removals.end(), [](const Removal &a, const Removal &b) {
        return a.k < b.k || (a.k == b.k && a.a < b.a);
    });

    Walked pts;
    struct Cut {
        Position at;
        uint32_t node;
    };
    std::vector<Cut> cuts;
    std::size_t si = 0, ri = 0;
    w.degree.assign(nodes.size(), 0);
    for (uint32_t k = 0; k < w.taking.size(); ++k) {
        const std::size_t s0 = si, r0 = ri;
        while (si < w.splits.size() && w.splits[si].k == k) ++si;
        while (ri < w.removals.size() && w.removals[ri].k == k) ++ri;
        const uint32_t us = w.startNode[k], ue = w.endNode[k];
        if (us == Work::kNoNode) continue; // met nothing: isolated already
        if (si == s0 && ri == r0 && us != ue && use[us] == 1 && use[ue] == 1) {
            w.isolated.push_back(k);
            continue;
        }
        walk(w, k, pts);
        const std::size_t n = pts.at.size();
        if (n < 2) continue;
        // A place at the very end of a step is the next point.
        auto normal = [&](Position p) {
            if (p.t < 1) return p;
            auto it = std::upper_bound(pts.at.begin(), pts.at.end(), p.vertex);
            return it == pts.at.end() ? Position{pts.at.back(), 0} : Position{*it, 0};
        };
        cuts.clear();
        cuts.push_back({{pts.at.front(), 0}, us});
        for (std::size_t i = s0; i < si; ++i)
            cuts.push_back({normal(w.splits[i].at), w.splits[i].node});
        cuts.push_back({{pts.at.back(), 0}, ue});
        std::stable_sort(cuts.begin() + 1, cuts.end() - 1,
                         [](const Cut &a, const Cut &b) { return a.at < b.at; });
        // Splits before the start or beyond the end (rounding) fold onto them.
        for (Cut &c : cuts) {
            if (c.at < cuts.front().at) c.at = cuts.front().at;
            if (cuts.back().at < c.at) c.at = cuts.back().at;
        }
        // Every end of a removal is a cut, so a stretch lies within one or outside all (up to
        // the rounding of places found two ways).
        auto atOrBefore = [](Position p, Position q) {
            return p.vertex < q.vertex || (p.vertex == q.vertex && p.t <= q.t + 1e-5f);
        };
        auto removed = [&](Position a, Position b) {
            for (std::size_t i = r0; i < ri; ++i)
                if (atOrBefore(normal(w.removals[i].a), a) &&
                    atOrBefore(b, normal(w.removals[i].b)))
                    return true;
            return false;
        };
        // Index of the point at or before a place.
        auto pointAt = [&](Position p) {
            auto it = std::upper_bound(pts.at.begin(), pts.at.end(), p.vertex);
            return static_cast<std::size_t>(it - pts.at.begin()) - 1;
        };
        for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
            const Cut &ca = cuts[c], &cb = cuts[c + 1];
            if (!(ca.at < cb.at)) continue;
            if (ri > r0 && removed(ca.at, cb.at)) continue;
            const Node &na = nodes[ca.node], &nb = nodes[cb.node];
            // Walk from a to b: node a, the points strictly between, node b.
            const std::size_t ia = pointAt(ca.at), ib = pointAt(cb.at);
            double length = 0, shoelace = 0, curve = 0;
            double lx = na.x, ly = na.y;
            Box box = Box::at(na.x, na.y);
            auto step = [&](double x, double y) {
                length += std::hypot(x - lx, y - ly);
                shoelace += (lx - w.ox) * (y - w.oy) - (x - w.ox) * (ly - w.oy);
                box.take(x, y);
                lx = x;
                ly = y;
            };
            double leaveU = NAN, leaveV = NAN;
            const double away = w.tol * 0.5;
            auto towards = [&](double x, double y) {
                if (std::isnan(leaveU) && std::hypot(x - na.x, y - na.y) > away)
                    leaveU = std::atan2(y - na.y, x - na.x);
            };
            double backX = na.x, backY = na.y; // the last point away from node b
            for (std::size_t m = ia + 1; m <= ib && m < n; ++m) {
                // Point m lies inside the edge unless it is b itself.
                if (m == ib && cb.at.t == 0 && cb.at.vertex == pts.at[m]) break;
                const double x = pts.xy[2 * m], y = pts.xy[2 * m + 1];
                towards(x, y);
                if (std::hypot(x - nb.x, y - nb.y) > away) {
                    backX = x;
                    backY = y;
                }
                step(x, y);
            }
            towards(nb.x, nb.y);
            step(nb.x, nb.y);
            // Arc areas: whole steps inside, parts of the first and last.
            const double ta = ca.at.t, tb = cb.at.t;
            if (ia == ib) {
                if (ia + 1 < n) curve = pts.area[ia] * (tb - ta);
            } else {
                if (ia + 1 < n) curve += pts.area[ia] * (1 - ta);
                for (std::size_t m = ia + 1; m < ib && m + 1 < n; ++m) curve += pts.area[m];
                if (ib + 1 < n) curve += pts.area[ib] * tb;
            }
            if (ca.node == cb.node && length <= w.tol) continue; // nothing but a point
            if (std::isnan(leaveU)) leaveU = std::atan2(nb.y - na.y, nb.x - na.x);
            if (std::hypot(backX - nb.x, backY - nb.y) > away)
                leaveV = std::atan2(backY - nb.y, backX - nb.x);
            else
                leaveV = std::atan2(na.y - nb.y, na.x - nb.x);
            ContourEdge e;
            e.piece = w.taking[k];
            e.a = ca.at;
            e.b = cb.at;
            e.u = ca.node;
            e.v = cb.node;
            out.edges.push_back(e);
            w.edgeLength.push_back(length);
            w.edgeShoelace.push_back(shoelace);
            w.edgeCurve.push_back(curve);
            w.edgeBox.push_back(box);
            w.edgeK.push_back(k);
            w.leave.push_back(leaveU);
            w.leave.push_back(leaveV);
            ++w.degree[e.u];
            ++w.degree[e.v];
            if (static_cast<int64_t>(out.edges.size()) > w.budget.edges) {
                out.unfinished |= kTooManyEdges;
                return false;
            }
        }
    }
    return true;
}

} // namespace quentar::contours::detail
