// Open ends: the stretches that bound no contour (loose lines, overshoots at corners, lead-ins),
// grouped into open contours, and the loose ends with the distance to the nearest other one.
#include "contours/work.h"

#include <algorithm>
#include <cmath>

namespace quentar::contours::detail {

namespace {

// How far each listed end is from the nearest other: the ends go into a grid of about one end
// per cell, and each looks at the rings of cells around its own until no nearer end can be.
void nearestGaps(const std::vector<Node> &nodes, const std::vector<uint32_t> &loose,
                 std::vector<OpenEnd> &listed) {
    const std::size_t n = loose.size();
    if (n < 2) return;
    double x0 = nodes[loose[0]].x, y0 = nodes[loose[0]].y, x1 = x0, y1 = y0;
    for (uint32_t i : loose) {
        x0 = std::min(x0, nodes[i].x);
        y0 = std::min(y0, nodes[i].y);
        x1 = std::max(x1, nodes[i].x);
        y1 = std::max(y1, nodes[i].y);
    }
    const double w = std::max(x1 - x0, 1e-12), h = std::max(y1 - y0, 1e-12);
    const double cs = std::max({std::sqrt(w * h / double(n)), w / 2'000'000.0, h / 2'000'000.0});
    int64_t nx = std::clamp<int64_t>(static_cast<int64_t>(w / cs) + 1, 1, 2'000'001);
    int64_t ny = std::clamp<int64_t>(static_cast<int64_t>(h / cs) + 1, 1, 2'000'001);
    while (nx * ny > static_cast<int64_t>(n) + 16) {
        nx = std::max<int64_t>(1, nx / 2);
        ny = std::max<int64_t>(1, ny / 2);
    }
    const double cw = w / double(nx), ch = h / double(ny);
    auto cellX = [&](double x) { return std::clamp<int64_t>(cellOf(x, x0, cw), 0, nx - 1); };
    auto cellY = [&](double y) { return std::clamp<int64_t>(cellOf(y, y0, ch), 0, ny - 1); };
    std::vector<uint32_t> first(static_cast<std::size_t>(nx * ny + 1), 0), slot(n);
    for (uint32_t i : loose) ++first[static_cast<std::size_t>(cellX(nodes[i].x) * ny + cellY(nodes[i].y)) + 1];
    for (std::size_t c = 1; c < first.size(); ++c) first[c] += first[c - 1];
    {
        std::vector<uint32_t> filled(first.begin(), first.end() - 1);
        for (uint32_t i : loose)
            slot[filled[static_cast<std::size_t>(cellX(nodes[i].x) * ny + cellY(nodes[i].y))]++] = i;
    }
    const double step = std::min(cw, ch);
    for (std::size_t li = 0; li < listed.size(); ++li) {
        OpenEnd &e = listed[li];
        const uint32_t self = loose[li];
        const int64_t cx = cellX(e.x), cy = cellY(e.y);
        double best = -1;
        auto cell = [&](int64_t gx, int64_t gy) {
            if (gx < 0 || gy < 0 || gx >= nx || gy >= ny) return;
            const std::size_t c = static_cast<std::size_t>(gx * ny + gy);
            for (uint32_t k = first[c]; k < first[c + 1]; ++k) {
                if (slot[k] == self) continue;
                const double dd = std::hypot(e.x - nodes[slot[k]].x, e.y - nodes[slot[k]].y);
                if (best < 0 || dd < best) best = dd;
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
            const int64_t ya = std::max<int64_t>(cy - ring + 1, 0), yb = std::min(cy + ring - 1, ny - 1);
            for (int64_t gx = xa; gx <= xb; ++gx) {
                cell(gx, cy - ring);
                cell(gx, cy + ring);
            }
            for (int64_t gy = ya; gy <= yb; ++gy) {
                cell(cx - ring, gy);
                cell(cx + ring, gy);
            }
        }
        e.nearest = best;
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
        if (out.contours.size() - static_cast<std::size_t>(out.closedCount) < ContourAnalysis::kMostListed)
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
        if (out.contours.size() - static_cast<std::size_t>(out.closedCount) < ContourAnalysis::kMostListed) {
            c.firstHalf = static_cast<uint32_t>(out.halves.size());
            c.halfCount = static_cast<uint32_t>(g.halves.size());
            out.halves.insert(out.halves.end(), g.halves.begin(), g.halves.end());
        }
        list(c);
    }
    // Pieces that meet nothing: open contours of their own.
    std::vector<char> loose(out.nodes.size(), 0);
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
        loose[w.startNode[k]] = loose[w.endNode[k]] = 1;
    }
    out.pierces = out.closedCount + out.openCount;

    // Loose ends: where one edge ends, or a piece that meets nothing.
    std::vector<uint32_t> ends;
    for (uint32_t n = 0; n < out.nodes.size(); ++n)
        if (loose[n] || (n < w.degree.size() && w.degree[n] == 1)) ends.push_back(n);
    out.openEndCount = static_cast<int64_t>(ends.size());
    // An end hangs off a contour unless its open contour is free (or a piece of its own).
    auto attachedEnd = [&](uint32_t n) {
        if (loose[n]) return false;
        const int32_t g = groupOf[together.find(n)];
        return g < 0 || groups[static_cast<std::size_t>(g)].attached;
    };
    for (uint32_t n : ends) out.attachedEndCount += attachedEnd(n);
    const std::size_t listed = std::min(ends.size(), ContourAnalysis::kMostListed);
    out.openEnds.resize(listed);
    for (std::size_t i = 0; i < listed; ++i)
        out.openEnds[i] = {out.nodes[ends[i]].x, out.nodes[ends[i]].y, -1, attachedEnd(ends[i])};
    nearestGaps(out.nodes, ends, out.openEnds);
}

} // namespace quentar::contours::detail
