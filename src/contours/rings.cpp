// Rings: inside one connected part of the graph, the loops as drawn decide what is material.
// The loops are the closed pieces (a circle, a closed polyline, a polyline that comes back to its
// start) and the faces the open pieces make among themselves; which faces lie in which loop says
// how the loops lie to each other. Loops nest by containment; a loop crossing a part's outline
// cuts into it (a notch), loops crossing inside a hole make one hole. A face then lies as deep as
// the deepest loop around it whose loops above are around it too; a face in a loop but not in
// that loop's parent is outside the material.
#include "contours/work.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace quentar::contours::detail {

namespace {

// Beyond this many loops times faces a connected part is taken as its faces are.
constexpr std::size_t kMostRingWork = 20'000'000;

bool interiorPoint(const std::vector<double> &poly, double &px, double &py) {
    const std::size_t n = poly.size() / 2;
    if (n < 3) return false;
    std::vector<std::pair<double, std::size_t>> sides;
    sides.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        sides.emplace_back(
            -std::hypot(poly[2 * j] - poly[2 * i], poly[2 * j + 1] - poly[2 * i + 1]), i);
    }
    const std::size_t tries = std::min<std::size_t>(sides.size(), 8);
    std::partial_sort(sides.begin(), sides.begin() + static_cast<std::ptrdiff_t>(tries),
                      sides.end());
    for (std::size_t s = 0; s < tries; ++s) {
        const std::size_t i = sides[s].second, j = (i + 1) % n;
        const double len = -sides[s].first;
        if (!(len > 0)) break;
        const double mx = (poly[2 * i] + poly[2 * j]) / 2,
                     my = (poly[2 * i + 1] + poly[2 * j + 1]) / 2;
        const double nx = -(poly[2 * j + 1] - poly[2 * i + 1]) / len,
                     ny = (poly[2 * j] - poly[2 * i]) / len;
        for (double away : {1e-3, 1e-5})
            for (double side : {1.0, -1.0}) {
                px = mx + side * nx * away * len;
                py = my + side * ny * away * len;
                if (insidePolygon(poly, px, py)) return true;
            }
    }
    return false;
}

struct Ring {
    std::vector<double> poly;
    double area = 0;
    Box box;
    int32_t depth = 0, parent = -1;
};

Box boxOf(const std::vector<double> &poly) {
    Box b = Box::at(poly[0], poly[1]);
    for (std::size_t i = 2; i + 1 < poly.size(); i += 2) b.take(poly[i], poly[i + 1]);
    return b;
}

double polygonArea(const std::vector<double> &poly) {
    double s = 0;
    const std::size_t n = poly.size() / 2;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        s += poly[2 * j] * poly[2 * i + 1] - poly[2 * i] * poly[2 * j + 1];
    return std::fabs(s) / 2;
}

} // namespace

void classifyFaces(Work &w, const std::vector<uint32_t> &compFaces, int32_t base,
                   std::vector<int32_t> &depth, std::vector<char> &outside) {
    const std::vector<Face> &faces = w.faces;
    // The edges of the part, and whether each comes from a closed piece.
    std::vector<uint32_t> edges;
    for (uint32_t f : compFaces)
        for (uint32_t i = 0; i < faces[f].count; ++i)
            edges.push_back(w.faceHalves[faces[f].first + i] >> 1);
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    auto closedPiece = [&](uint32_t k) { return w.startNode[k] == w.endNode[k]; };
    auto inPart = [&](uint32_t e) { return std::binary_search(edges.begin(), edges.end(), e); };

    std::vector<Ring> rings;
    // Closed pieces: their whole outline, the stretches drawn over others included.
    std::vector<uint32_t> closedKs;
    for (uint32_t e : edges)
        if (closedPiece(w.edgeK[e])) closedKs.push_back(w.edgeK[e]);
    std::sort(closedKs.begin(), closedKs.end());
    closedKs.erase(std::unique(closedKs.begin(), closedKs.end()), closedKs.end());
    for (uint32_t k : closedKs) {
        Ring r;
        w.points(k, r.poly);
        if (r.poly.size() < 6) continue;
        r.area = polygonArea(r.poly);
        if (r.area <= w.noArea) continue;
        rings.push_back(std::move(r));
    }
    // The faces the open pieces make among themselves.
    auto open = [&](uint32_t h) { return inPart(h >> 1) && !closedPiece(w.edgeK[h >> 1]); };
    std::vector<char> walked;
    std::vector<uint32_t> halves, walk;
    for (uint32_t e : edges)
        if (!closedPiece(w.edgeK[e])) {
            halves.push_back(2 * e);
            halves.push_back(2 * e + 1);
        }
    walked.assign(halves.size(), 0);
    auto slot = [&](uint32_t h) {
        return static_cast<std::size_t>(std::lower_bound(halves.begin(), halves.end(), h) -
                                        halves.begin());
    };
    for (std::size_t i = 0; i < halves.size(); ++i) {
        if (walked[i]) continue;
        walk.clear();
        double shoelace = 0, curves = 0;
        uint32_t h = halves[i];
        for (std::size_t guard = 0; guard <= halves.size(); ++guard) {
            const std::size_t s = slot(h);
            if (walked[s]) break;
            walked[s] = 1;
            walk.push_back(h);
            shoelace += (h & 1) ? -w.edgeShoelace[h >> 1] : w.edgeShoelace[h >> 1];
            curves += (h & 1) ? -w.edgeCurve[h >> 1] : w.edgeCurve[h >> 1];
            h = w.nextOf(h, open);
        }
        if (shoelace / 2 + curves <= w.noArea) continue;
        Ring r;
        for (uint32_t x : walk) w.halfPoints(x, r.poly);
        if (r.poly.size() < 6) continue;
        r.area = shoelace / 2 + curves;
        rings.push_back(std::move(r));
    }
    if (rings.empty()) return;
    const std::size_t nf = compFaces.size(), nr = rings.size();
    if (nr * (nr + nf) > kMostRingWork) {
        w.out.simplified = true;
        return;
    }
    // Which loops each face lies in. How loops lie to each other follows from the faces: one
    // holds another when it holds all of its faces, they cross when they share some and not
    // others (touching loops share none).
    for (Ring &r : rings) r.box = boxOf(r.poly);
    std::vector<char> in(nf * nr, 0);
    std::vector<char> known(nf, 0);
    std::vector<double> poly;
    for (std::size_t i = 0; i < nf; ++i) {
        w.facePolygon(compFaces[i], poly);
        double px, py;
        if (!interiorPoint(poly, px, py)) continue;
        known[i] = 1;
        for (std::size_t r = 0; r < nr; ++r)
            in[i * nr + r] =
                rings[r].box.meets(Box::at(px, py), 0) && insidePolygon(rings[r].poly, px, py);
    }
    enum class Lie { Apart, Within, Holds, Same, Cross };
    auto relation = [&](std::size_t r, std::size_t o) {
        bool both = false, onlyR = false, onlyO = false;
        for (std::size_t i = 0; i < nf; ++i) {
            if (!known[i]) continue;
            const bool a = in[i * nr + r], b = in[i * nr + o];
            both = both || (a && b);
            onlyR = onlyR || (a && !b);
            onlyO = onlyO || (b && !a);
        }
        if (!both) return Lie::Apart;
        if (!onlyR && !onlyO) return Lie::Same;
        if (!onlyR) return Lie::Within;
        if (!onlyO) return Lie::Holds;
        return Lie::Cross;
    };

    // The loops from the largest down, each as deep as what holds or crosses it says.
    std::vector<uint32_t> order(nr);
    for (uint32_t i = 0; i < nr; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return rings[a].area > rings[b].area; });
    for (std::size_t i = 0; i < nr; ++i) {
        Ring &r = rings[order[i]];
        r.depth = base;
        r.parent = -1;
        for (std::size_t j = 0; j < i; ++j) {
            const Ring &o = rings[order[j]];
            int32_t d = -1, parent = -1;
            switch (relation(order[i], order[j])) {
            case Lie::Apart:
            case Lie::Holds: break;
            case Lie::Same: // the same loop drawn again (lines under a polyline)
                d = o.depth;
                parent = o.parent;
                break;
            case Lie::Within:
                d = o.depth + 1;
                parent = static_cast<int32_t>(order[j]);
                break;
            case Lie::Cross:
                // Crossing a part's outline cuts into it; crossing a hole widens it.
                if (o.depth % 2 == 0) {
                    d = o.depth + 1;
                    parent = static_cast<int32_t>(order[j]);
                } else {
                    d = o.depth;
                    parent = o.parent;
                }
                break;
            }
            if (d >= r.depth) {
                r.depth = d;
                r.parent = parent;
            }
        }
    }

    // Each face: the deepest loop around it whose loops above are around it too.
    for (std::size_t i = 0; i < nf; ++i) {
        if (!known[i]) continue;
        const uint32_t f = compFaces[i];
        const char *around = &in[i * nr];
        int32_t best = -1;
        bool any = false;
        for (std::size_t r = 0; r < nr; ++r) {
            if (!around[r]) continue;
            any = true;
            bool whole = true;
            for (int32_t up = rings[r].parent; up >= 0 && whole;
                 up = rings[static_cast<std::size_t>(up)].parent)
                whole = around[up];
            if (whole) best = std::max(best, rings[r].depth);
        }
        if (!any) continue;
        if (best < 0) {
            outside[f] = 1;
            depth[f] = base - 1;
        } else {
            depth[f] = best;
        }
    }
    // Not material next to the outside is outside too (the inner part of a notch).
    std::deque<uint32_t> queue;
    for (uint32_t f : compFaces)
        if (outside[f]) queue.push_back(f);
    while (!queue.empty()) {
        const uint32_t f = queue.front();
        queue.pop_front();
        for (uint32_t i = 0; i < faces[f].count; ++i) {
            const uint32_t g = w.faceOfHalf[w.faceHalves[faces[f].first + i] ^ 1u];
            if (g == f || outside[g] || !(faces[g].area > w.noArea)) continue;
            if ((depth[g] - base) % 2 == 0) continue;
            outside[g] = 1;
            depth[g] = base - 1;
            queue.push_back(g);
        }
    }
}

} // namespace quentar::contours::detail
