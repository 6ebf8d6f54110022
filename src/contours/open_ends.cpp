// Open ends: the stretches that bound no contour (loose lines, overshoots at corners, lead-ins),
// grouped into open contours, and the loose ends with the distance to the nearest other one.
#include "contours/work.h"

#include <algorithm>
#include <cmath>

namespace quentar::contours::detail {

namespace {

// How far each listed end is from the nearest other: the ends go into a grid of about one end
// per cell, and each looks at the rings of cells around its own until no nearer end can be. The
// grid holds the ends as floats about its corner (a million loose LINEs have two million ends);
// the gap found is measured again exactly.
template <class Exact>
void nearestGaps(std::size_t n, Exact &&exact, std::vector<OpenEnd> &listed) {
    if (n < 2) return;
    Node lo = exact(0), hi = lo;
    for (std::size_t i = 1; i < n; ++i) {
        const Node p = exact(i);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
    std::vector<float> xy(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const Node p = exact(i);
        xy[2 * i] = static_cast<float>(p.x - lo.x);
        xy[2 * i + 1] = static_cast<float>(p.y - lo.y);
    }
    const double w = std::max(hi.x - lo.x, 1e-12), h = std::max(hi.y - lo.y, 1e-12);
    const double cs = std::max({std::sqrt(w * h / double(n)), w / 2'000'000.0, h / 2'000'000.0});
    int64_t nx = std::clamp<int64_t>(static_cast<int64_t>(w / cs) + 1, 1, 2'000'001);
    int64_t ny = std::clamp<int64_t>(static_cast<int64_t>(h / cs) + 1, 1, 2'000'001);
    while (nx * ny > static_cast<int64_t>(n) + 16) {
        nx = std::max<int64_t>(1, nx / 2);
        ny = std::max<int64_t>(1, ny / 2);
    }
    const double cw = w / double(nx), ch = h / double(ny);
    auto cellX = [&](double x) { return std::clamp<int64_t>(cellOf(x, 0, cw), 0, nx - 1); };
    auto cellY = [&](double y) { return std::clamp<int64_t>(cellOf(y, 0, ch), 0, ny - 1); };
    auto cellAt = [&](std::size_t i) {
        return static_cast<std::size_t>(cellX(xy[2 * i]) * ny + cellY(xy[2 * i + 1]));
    };
    std::vector<uint32_t> first(static_cast<std::size_t>(nx * ny + 1), 0), slot(n);
    for (std::size_t i = 0; i < n; ++i) ++first[cellAt(i) + 1];
    for (std::size_t c = 1; c < first.size(); ++c) first[c] += first[c - 1];
    {
        std::vector<uint32_t> filled(first.begin(), first.end() - 1);
        for (std::size_t i = 0; i < n; ++i) slot[filled[cellAt(i)]++] = static_cast<uint32_t>(i);
    }
    const double step = std::min(cw, ch);
    for (std::size_t li = 0; li < listed.size(); ++li) {
        const double ex = xy[2 * li], ey = xy[2 * li + 1];
        const int64_t cx = cellX(ex), cy = cellY(ey);
        double best = -1;
        uint32_t nearest = 0;
        auto cell = [&](int64_t gx, int64_t gy) {
            if (gx < 0 || gy < 0 || gx >= nx || gy >= ny) return;
            const std::size_t c = static_cast<std::size_t>(gx * ny + gy);
            for (uint32_t k = first[c]; k < first[c + 1]; ++k) {
                if (slot[k] == li) continue;
                const double dd = std::hypot(ex - xy[2 * slot[k]], ey - xy[2 * slot[k] + 1]);
                if (best < 0 || dd < best) {
                    best = dd;
                    nearest = slot[k];
                }
            }
        };
        for (int64_t ring = 0;; ++ring) {
            // Every end in ring r is at least (r - 1) cells away.
            if (best >= 0 && static_cast<double>(ring - 1) * step > best) break;
            if (cx - ring < 0 && cy - ring < 0 && cx + ring >= nx && cy + ring >= ny) break;
            if (ring == 0) {
                cell(cx, cy);
                continue;
            }
            const int64_t xa = std::max<int64_t>(cx - ring, 0), xb = std::min(cx + ring, nx - 1);
            const int64_t ya = std::max<int64_t>(cy - ring + 1, 0),
                          yb = std::min(cy + ring - 1, ny - 1);
            for (int64_t gx = xa; gx <= xb; ++gx) {
                cell(gx, cy - ring);
                cell(gx, cy + ring);
            }
            for (int64_t gy = ya; gy <= yb; ++gy) {
                cell(cx - ring, gy);
                cell(cx + ring, gy);
            }
        }
        if (best >= 0) {
            const Node a = exact(li), b = exact(nearest);
            listed[li].nearest = std::hypot(a.x - b.x, a.y - b.y);
        }
    }
}

} // namespace

void findOpenEnds(Work &w) {
    ContourAnalysis &out = w.out;
    const std::vector<ContourEdge> &edges = out.edges;
    auto contourSide = [&](uint32_t h) {
        return !w.faceOfHalf.empty() && w.contourOfFace[w.faceOfHalf[h]] >= 0;
    };
    // Edges that bound no contour on either side, grouped by the nodes they share.
    Sets together(out.nodes.size());
    std::vector<char> openEdge(edges.size(), 0), onContour(out.nodes.size(), 0);
    for (uint32_t e = 0; e < edges.size(); ++e) {
        if (contourSide(2 * e) || contourSide(2 * e + 1)) {
            onContour[edges[e].u] = onContour[edges[e].v] = 1;
            continue;
        }
        openEdge[e] = 1;
        together.join(edges[e].u, edges[e].v);
    }
    std::vector<int32_t> groupOf(out.nodes.size(), -1);
    struct Group {
        std::vector<uint32_t> halves;
        double length = 0;
        Box box;
        bool attached = false;
    };
    std::vector<Group> groups;
    for (uint32_t e = 0; e < edges.size(); ++e) {
        if (!openEdge[e]) continue;
        const uint32_t root = together.find(edges[e].u);
        if (groupOf[root] < 0) {
            groupOf[root] = static_cast<int32_t>(groups.size());
            groups.emplace_back();
            groups.back().box = w.edgeBox[e];
        }
        Group &g = groups[static_cast<std::size_t>(groupOf[root])];
        g.halves.push_back(2 * e);
        g.length += w.edgeLength[e];
        g.box.take(w.edgeBox[e]);
        g.attached = g.attached || onContour[edges[e].u] || onContour[edges[e].v];
    }
    auto list = [&](Contour c) {
        if (out.contours.size() - static_cast<std::size_t>(out.closedCount) <
            ContourAnalysis::kMostListed)
            out.contours.push_back(c);
    };
    for (const Group &g : groups) {
        Contour c;
        c.attached = g.attached;
        c.length = g.length;
        c.minx = g.box.minx;
        c.miny = g.box.miny;
        c.maxx = g.box.maxx;
        c.maxy = g.box.maxy;
        if (g.attached) {
            ++out.attachedCount;
            out.attachedLength += g.length;
        } else {
            ++out.openCount;
        }
        if (out.contours.size() - static_cast<std::size_t>(out.closedCount) <
            ContourAnalysis::kMostListed) {
            c.firstHalf = static_cast<uint32_t>(out.halves.size());
            c.halfCount = static_cast<uint32_t>(g.halves.size());
            out.halves.insert(out.halves.end(), g.halves.begin(), g.halves.end());
        }
        list(c);
    }
    // Pieces that meet nothing: open contours of their own, their ends loose.
    for (uint32_t k : w.isolated) {
        const Piece &p = w.piece(k);
        const Box b = w.box(k);
        Contour c;
        c.piece = w.taking[k];
        c.length = p.length;
        c.minx = b.minx;
        c.miny = b.miny;
        c.maxx = b.maxx;
        c.maxy = b.maxy;
        ++out.openCount;
        list(c);
    }
    out.pierces = out.closedCount + out.openCount;

    // Loose ends of the graph: where one edge ends. An end hangs off a contour unless its open
    // contour is free.
    auto attachedEnd = [&](uint32_t n) {
        const int32_t g = groupOf[together.find(n)];
        return g < 0 || groups[static_cast<std::size_t>(g)].attached;
    };
    struct Loose {
        uint64_t order; // by the piece it ends, as the drawing lists them
        uint32_t node;
    };
    std::vector<Loose> graphEnds;
    std::vector<char> taken(out.nodes.size(), 0);
    auto take = [&](uint32_t n, uint64_t order) {
        if (n == Work::kNoNode || n >= w.degree.size() || w.degree[n] != 1 || taken[n]) return;
        taken[n] = 1;
        graphEnds.push_back({order, n});
    };
    for (uint32_t k = 0; k < w.taking.size(); ++k) {
        take(w.startNode[k], 2 * uint64_t{k});
        take(w.endNode[k], 2 * uint64_t{k} + 1);
    }
    for (const Split &sp : w.splits) take(sp.node, 2 * uint64_t{sp.k} + 1);
    std::stable_sort(graphEnds.begin(), graphEnds.end(),
                     [](const Loose &a, const Loose &b) { return a.order < b.order; });
    // All loose ends in drawing order: the graph's and the isolated pieces' (two each), merged.
    const std::size_t total = graphEnds.size() + 2 * w.isolated.size();
    std::vector<uint32_t> merged; // < graphEnds.size(): a graph end; else 2 * isolated + side
    merged.reserve(total);
    {
        std::size_t g = 0, i = 0;
        while (g < graphEnds.size() || i < 2 * w.isolated.size()) {
            const uint64_t io =
                i < 2 * w.isolated.size() ? 2 * uint64_t{w.isolated[i / 2]} + i % 2 : UINT64_MAX;
            if (g < graphEnds.size() && graphEnds[g].order <= io)
                merged.push_back(static_cast<uint32_t>(g++));
            else
                merged.push_back(static_cast<uint32_t>(graphEnds.size() + i++));
        }
    }
    auto exact = [&](std::size_t m) {
        const uint32_t r = merged[m];
        if (r < graphEnds.size()) return out.nodes[graphEnds[r].node];
        const uint32_t i = r - static_cast<uint32_t>(graphEnds.size());
        const double *e = w.ends(w.isolated[i / 2]) + 2 * (i % 2);
        return Node{e[0], e[1]};
    };
    out.openEndCount = static_cast<int64_t>(total);
    for (const Loose &l : graphEnds) out.attachedEndCount += attachedEnd(l.node);
    const std::size_t listed = std::min(total, ContourAnalysis::kMostListed);
    out.openEnds.resize(listed);
    for (std::size_t m = 0; m < listed; ++m) {
        const Node at = exact(m);
        const bool attached =
            merged[m] < graphEnds.size() && attachedEnd(graphEnds[merged[m]].node);
        out.openEnds[m] = {at.x, at.y, -1, attached};
    }
    nearestGaps(total, exact, out.openEnds);
}

} // namespace quentar::contours::detail
