// Ear clipping, the merge of its triangles into convex pieces, and convex Minkowski sums, on
// exact integer coordinates.
#include "nesting/convex_parts.h"

#include <algorithm>
#include <map>

namespace quentar::nesting::detail {

namespace cl = ClipperLib;

namespace {

using Wide = __int128;

Wide cross(const cl::IntPoint &o, const cl::IntPoint &a, const cl::IntPoint &b) {
    return Wide(a.X - o.X) * Wide(b.Y - o.Y) - Wide(a.Y - o.Y) * Wide(b.X - o.X);
}

// p inside or on triangle a b c (counter-clockwise).
bool inTriangle(const cl::IntPoint &p, const cl::IntPoint &a, const cl::IntPoint &b,
                const cl::IntPoint &c) {
    return cross(a, b, p) >= 0 && cross(b, c, p) >= 0 && cross(c, a, p) >= 0;
}

// Ear clipping: triangles as indices into `ring`. Only reflex corners can lie in an ear, and the
// walk goes on from the last ear, so a ring of n corners with r reflex ones costs about n·r.
bool triangulate(const cl::Path &ring, std::vector<std::vector<int>> &out) {
    const int n = static_cast<int>(ring.size());
    std::vector<int> prev(n), next(n);
    for (int i = 0; i < n; ++i) {
        prev[i] = (i + n - 1) % n;
        next[i] = (i + 1) % n;
    }
    auto reflex = [&](int i) { return cross(ring[prev[i]], ring[i], ring[next[i]]) < 0; };
    std::vector<int> reflexes;
    for (int i = 0; i < n; ++i)
        if (reflex(i)) reflexes.push_back(i);
    std::vector<bool> gone(n, false);
    int left = n, at = 0, sinceClip = 0;
    while (left > 3) {
        if (sinceClip > left) return false; // no ear: not a simple ring
        const int ia = prev[at], ib = at, ic = next[at];
        const cl::IntPoint &a = ring[ia], &b = ring[ib], &c = ring[ic];
        const Wide turn = cross(a, b, c);
        bool ear = turn >= 0;
        if (turn > 0)
            for (int ip : reflexes) {
                if (gone[ip] || ip == ia || ip == ib || ip == ic) continue;
                const cl::IntPoint &p = ring[ip];
                if (p == a || p == b || p == c) continue;
                if (!reflex(ip)) continue;
                if (inTriangle(p, a, b, c)) {
                    ear = false;
                    break;
                }
            }
        if (!ear) {
            at = next[at];
            ++sinceClip;
            continue;
        }
        if (turn > 0) out.push_back({ia, ib, ic});
        gone[ib] = true;
        next[ia] = ic;
        prev[ic] = ia;
        --left;
        sinceClip = 0;
        // A reflex neighbour may have turned convex; a convex one never turns reflex here.
        at = ia;
    }
    const int ib = at, ia = prev[ib], ic = next[ib];
    if (cross(ring[ia], ring[ib], ring[ic]) > 0) out.push_back({ia, ib, ic});
    return !out.empty();
}

bool convexAt(const cl::Path &ring, const std::vector<int> &poly, std::size_t k) {
    const std::size_t n = poly.size();
    return cross(ring[poly[(k + n - 1) % n]], ring[poly[k]], ring[poly[(k + 1) % n]]) >= 0;
}

int findRoot(std::vector<int> &parent, int i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

} // namespace

std::vector<cl::Path> convexParts(const cl::Path &ring) {
    std::vector<std::vector<int>> polys;
    if (ring.size() < 3 || !triangulate(ring, polys)) return {};
    // Rings that touch themselves can fool the ear test; triangles that do not add up to the
    // ring exactly would make a no-fit polygon too small, so the caller sweeps the ring instead.
    Wide twice = 0, sum = 0;
    for (std::size_t i = 0; i < ring.size(); ++i)
        twice += cross({0, 0}, ring[i], ring[(i + 1) % ring.size()]);
    for (const auto &t : polys) sum += cross(ring[t[0]], ring[t[1]], ring[t[2]]);
    if (sum != twice) return {};
    // Merge neighbours across each diagonal, once, while both ends of it stay convex
    // (Hertel–Mehlhorn: at most four times the fewest convex pieces).
    std::map<std::pair<int, int>, int> edgeOwner;
    for (std::size_t p = 0; p < polys.size(); ++p)
        for (std::size_t k = 0; k < 3; ++k)
            edgeOwner[{polys[p][k], polys[p][(k + 1) % 3]}] = static_cast<int>(p);
    std::vector<int> parent(polys.size());
    for (std::size_t p = 0; p < polys.size(); ++p) parent[p] = static_cast<int>(p);
    for (const auto &[edge, owner] : edgeOwner) {
        const auto [a, b] = edge;
        if (a > b) continue; // each diagonal once
        const auto other = edgeOwner.find({b, a});
        if (other == edgeOwner.end()) continue;
        const int p = findRoot(parent, owner), q = findRoot(parent, other->second);
        if (p == q) continue;
        const auto &v = polys[static_cast<std::size_t>(p)];
        const auto &w = polys[static_cast<std::size_t>(q)];
        // P holds a -> b, Q holds b -> a; the merge runs P from b round to a, then Q past a to b.
        std::size_t k = 0;
        while (k < v.size() && !(v[k] == a && v[(k + 1) % v.size()] == b)) ++k;
        const auto at = std::find(w.begin(), w.end(), a) - w.begin();
        if (k == v.size() || at == static_cast<std::ptrdiff_t>(w.size())) continue;
        std::vector<int> joined;
        for (std::size_t i = 0; i < v.size(); ++i) joined.push_back(v[(k + 1 + i) % v.size()]);
        for (std::size_t i = 1; i + 1 < w.size(); ++i)
            joined.push_back(w[(static_cast<std::size_t>(at) + i) % w.size()]);
        const std::size_t ia = v.size() - 1; // where a sits in `joined`
        if (!convexAt(ring, joined, 0) || !convexAt(ring, joined, ia)) continue;
        polys[static_cast<std::size_t>(p)] = std::move(joined);
        polys[static_cast<std::size_t>(q)].clear();
        parent[static_cast<std::size_t>(q)] = p;
    }
    std::vector<cl::Path> out;
    for (std::size_t p = 0; p < polys.size(); ++p) {
        if (findRoot(parent, static_cast<int>(p)) != static_cast<int>(p)) continue;
        cl::Path piece;
        for (int i : polys[p]) piece.push_back(ring[static_cast<std::size_t>(i)]);
        out.push_back(std::move(piece));
    }
    return out;
}

cl::Path convexSum(const cl::Path &a, const cl::Path &b) {
    auto lowest = [](const cl::Path &p) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < p.size(); ++i)
            if (p[i].Y < p[best].Y || (p[i].Y == p[best].Y && p[i].X < p[best].X)) best = i;
        return best;
    };
    const std::size_t n = a.size(), m = b.size();
    std::size_t i = lowest(a), j = lowest(b), ci = 0, cj = 0;
    cl::Path out;
    out.reserve(n + m);
    while (ci < n || cj < m) {
        const cl::IntPoint &pa = a[(i + ci) % n], &pb = b[(j + cj) % m];
        out.push_back({pa.X + pb.X, pa.Y + pb.Y});
        const cl::IntPoint &na = a[(i + ci + 1) % n], &nb = b[(j + cj + 1) % m];
        const cl::IntPoint ea{na.X - pa.X, na.Y - pa.Y}, eb{nb.X - pb.X, nb.Y - pb.Y};
        const Wide turn = Wide(ea.X) * eb.Y - Wide(ea.Y) * eb.X;
        if (cj >= m || (ci < n && turn > 0))
            ++ci;
        else if (ci >= n || turn < 0)
            ++cj;
        else {
            ++ci;
            ++cj;
        }
    }
    return out;
}

} // namespace quentar::nesting::detail
