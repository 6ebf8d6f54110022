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

// Ear clipping, O(n²): triangles as indices into `ring`.
bool triangulate(const cl::Path &ring, std::vector<std::vector<int>> &out) {
    std::vector<int> idx(ring.size());
    for (std::size_t i = 0; i < ring.size(); ++i) idx[i] = static_cast<int>(i);
    // Collinear points in a row make ears of no area; they go first.
    std::size_t guard = 0;
    while (idx.size() > 3) {
        const std::size_t n = idx.size();
        bool clipped = false;
        for (std::size_t k = 0; k < n; ++k) {
            const int ia = idx[(k + n - 1) % n], ib = idx[k], ic = idx[(k + 1) % n];
            const cl::IntPoint &a = ring[ia], &b = ring[ib], &c = ring[ic];
            const Wide turn = cross(a, b, c);
            if (turn < 0) continue;
            bool ear = true;
            if (turn > 0)
                for (std::size_t m = 0; m < n && ear; ++m) {
                    const int ip = idx[m];
                    if (ip == ia || ip == ib || ip == ic) continue;
                    const cl::IntPoint &p = ring[ip];
                    if (p == a || p == b || p == c) continue;
                    ear = !inTriangle(p, a, b, c);
                }
            if (!ear) continue;
            if (turn > 0) out.push_back({ia, ib, ic});
            idx.erase(idx.begin() + static_cast<std::ptrdiff_t>(k));
            clipped = true;
            break;
        }
        if (!clipped || ++guard > 4 * ring.size()) return false;
    }
    if (idx.size() == 3 && cross(ring[idx[0]], ring[idx[1]], ring[idx[2]]) > 0)
        out.push_back({idx[0], idx[1], idx[2]});
    return !out.empty();
}

bool convexAt(const cl::Path &ring, const std::vector<int> &poly, std::size_t k) {
    const std::size_t n = poly.size();
    return cross(ring[poly[(k + n - 1) % n]], ring[poly[k]], ring[poly[(k + 1) % n]]) >= 0;
}

} // namespace

std::vector<cl::Path> convexParts(const cl::Path &ring) {
    std::vector<std::vector<int>> polys;
    if (ring.size() < 3 || !triangulate(ring, polys)) return {};
    // Merge neighbours across a shared edge while the two junctions stay convex
    // (Hertel–Mehlhorn: at most four times the fewest convex pieces).
    std::vector<bool> alive(polys.size(), true);
    bool merged = true;
    while (merged) {
        merged = false;
        std::map<std::pair<int, int>, int> edgeOwner;
        for (std::size_t p = 0; p < polys.size(); ++p) {
            if (!alive[p]) continue;
            const auto &v = polys[p];
            for (std::size_t k = 0; k < v.size(); ++k)
                edgeOwner[{v[k], v[(k + 1) % v.size()]}] = static_cast<int>(p);
        }
        for (std::size_t p = 0; p < polys.size(); ++p) {
            if (!alive[p]) continue;
            for (std::size_t k = 0; k < polys[p].size() && !merged; ++k) {
                const auto &v = polys[p];
                const int a = v[k], b = v[(k + 1) % v.size()];
                const auto it = edgeOwner.find({b, a});
                if (it == edgeOwner.end() || !alive[static_cast<std::size_t>(it->second)] ||
                    it->second == static_cast<int>(p))
                    continue;
                const auto &w = polys[static_cast<std::size_t>(it->second)];
                // P from b round to a, then Q from a round to b, without repeating a and b.
                std::vector<int> joined;
                for (std::size_t i = 0; i < v.size(); ++i)
                    joined.push_back(v[(k + 1 + i) % v.size()]);
                const auto at = std::find(w.begin(), w.end(), a) - w.begin();
                for (std::size_t i = 1; i + 1 < w.size(); ++i)
                    joined.push_back(w[(static_cast<std::size_t>(at) + i) % w.size()]);
                const std::size_t ia = v.size() - 1; // where a sits in `joined`
                if (!convexAt(ring, joined, 0) || !convexAt(ring, joined, ia)) continue;
                polys[p] = std::move(joined);
                alive[static_cast<std::size_t>(it->second)] = false;
                merged = true;
            }
            if (merged) break;
        }
    }
    std::vector<cl::Path> out;
    for (std::size_t p = 0; p < polys.size(); ++p) {
        if (!alive[p]) continue;
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
