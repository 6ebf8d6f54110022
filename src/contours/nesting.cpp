// Nesting: which faces are parts, holes and islands, and the net area. A connected part of the
// graph lies in the smallest face of another around it; inside one connected part the drawn
// loops decide (rings.cpp). Holes that touch make one hole; parts sharing an edge stay two.
#include "contours/work.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace quentar::contours::detail {

bool insidePolygon(const std::vector<double> &poly, double px, double py) {
    bool in = false;
    const std::size_t n = poly.size() / 2;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double ax = poly[2 * j], ay = poly[2 * j + 1], bx = poly[2 * i], by = poly[2 * i + 1];
        if ((ay > py) != (by > py) && px < ax + (py - ay) * (bx - ax) / (by - ay)) in = !in;
    }
    return in;
}

void Work::facePolygon(uint32_t f, std::vector<double> &xy) const {
    xy.clear();
    for (uint32_t i = 0; i < faces[f].count; ++i) halfPoints(faceHalves[faces[f].first + i], xy);
}

void nestContours(Work &w) {
    ContourAnalysis &out = w.out;
    std::vector<Face> &faces = w.faces;
    double size = 0;
    for (double l : w.edgeLength) size += l;
    w.noArea = std::max(w.tol * w.tol, 1e-12 * size * size);
    auto bounded = [&](uint32_t f) { return faces[f].area > w.noArea; };

    // Components: their bounded faces and the area their outline encloses.
    struct Component {
        std::vector<uint32_t> faces;
        double outer = 0;
        Box box;
        int32_t parentFace = -1;
        int32_t base = 0;
    };
    std::unordered_map<uint32_t, uint32_t> compIndex;
    std::vector<Component> comps;
    std::vector<uint32_t> compOfFace(faces.size());
    std::vector<Box> faceBox(faces.size());
    for (uint32_t f = 0; f < faces.size(); ++f) {
        auto [it, fresh] =
            compIndex.emplace(faces[f].component, static_cast<uint32_t>(comps.size()));
        if (fresh) comps.emplace_back();
        compOfFace[f] = it->second;
        Component &c = comps[it->second];
        Box b = w.edgeBox[w.faceHalves[faces[f].first] >> 1];
        for (uint32_t i = 1; i < faces[f].count; ++i)
            b.take(w.edgeBox[w.faceHalves[faces[f].first + i] >> 1]);
        faceBox[f] = b;
        if (bounded(f)) {
            if (c.faces.empty()) c.box = b;
            c.box.take(b);
            c.faces.push_back(f);
        } else {
            c.outer += -faces[f].area;
        }
    }
    std::vector<int32_t> depth(faces.size(), 0);
    std::vector<char> outside(faces.size(), 0);

    // -- Largest first, each connected part in the smallest face of a larger one around it.
    std::vector<uint32_t> order;
    for (uint32_t c = 0; c < comps.size(); ++c)
        if (!comps[c].faces.empty()) order.push_back(c);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return comps[a].outer > comps[b].outer || (comps[a].outer == comps[b].outer && a < b);
    });
    std::vector<Box> boundedBoxes;
    std::vector<uint32_t> boundedFace;
    for (uint32_t f = 0; f < faces.size(); ++f)
        if (bounded(f)) {
            boundedBoxes.push_back(faceBox[f]);
            boundedFace.push_back(f);
        }
    const BoxTree tree(boundedBoxes);
    std::vector<char> placed(comps.size(), 0);
    // The outline of a large part is tested for each of its holes: it is kept once made.
    std::unordered_map<uint32_t, std::vector<double>> polygons;
    std::size_t cached = 0;
    constexpr std::size_t kPolygonCache = 8'000'000; // coordinates, 64 MB
    std::vector<double> poly;
    std::vector<uint32_t> candidates;
    for (uint32_t ci : order) {
        Component &c = comps[ci];
        // A point on the part: the middle of the first step of its first face.
        poly.clear();
        const uint32_t h0 = w.faceHalves[faces[c.faces[0]].first];
        w.halfPoints(h0, poly);
        const Node &next = out.nodes[w.origin(h0 ^ 1u)];
        const double qx = poly.size() >= 4 ? poly[2] : next.x,
                     qy = poly.size() >= 4 ? poly[3] : next.y;
        const double px = (poly[0] + qx) / 2, py = (poly[1] + qy) / 2;
        candidates.clear();
        tree.query(Box::at(px, py), w.tol, [&](uint32_t i) {
            const uint32_t f = boundedFace[i];
            if (compOfFace[f] != ci && placed[compOfFace[f]] && faceBox[f].holds(c.box, w.tol))
                candidates.push_back(f);
            return true;
        });
        std::sort(candidates.begin(), candidates.end(),
                  [&](uint32_t a, uint32_t b) { return faces[a].area < faces[b].area; });
        for (uint32_t f : candidates) {
            const std::vector<double> *outline = &poly;
            auto it = polygons.find(f);
            if (it != polygons.end()) {
                outline = &it->second;
            } else {
                w.facePolygon(f, poly);
                if (cached + poly.size() <= kPolygonCache) {
                    cached += poly.size();
                    outline = &polygons.emplace(f, poly).first->second;
                }
            }
            if (insidePolygon(*outline, px, py)) {
                c.parentFace = static_cast<int32_t>(f);
                break;
            }
        }
        c.base = c.parentFace < 0 ? 0 : depth[static_cast<std::size_t>(c.parentFace)] + 1;
        for (uint32_t f : c.faces) depth[f] = c.base;
        if (c.faces.size() > 1) classifyFaces(w, c.faces, c.base, depth, outside);
        placed[ci] = 1;
    }

    // -- Contours: every part face, and the hole faces that touch merged into one hole.
    std::vector<Contour> closed;
    std::vector<uint32_t> holeGroup(faces.size());
    std::iota(holeGroup.begin(), holeGroup.end(), 0u);
    Sets holesTogether(faces.size());
    for (uint32_t f = 0; f < faces.size(); ++f) {
        if (!bounded(f) || outside[f] || depth[f] % 2 == 0) continue;
        for (uint32_t i = 0; i < faces[f].count; ++i) {
            const uint32_t g = w.faceOfHalf[w.faceHalves[faces[f].first + i] ^ 1u];
            if (g != f && bounded(g) && !outside[g] && depth[g] % 2 == 1) holesTogether.join(f, g);
        }
    }
    w.contourOfFace.assign(faces.size(), -1);
    std::vector<std::vector<uint32_t>> members;
    for (uint32_t f = 0; f < faces.size(); ++f) {
        if (!bounded(f) || outside[f]) continue;
        const uint32_t root = depth[f] % 2 == 1 ? holesTogether.find(f) : f;
        if (w.contourOfFace[root] < 0) {
            w.contourOfFace[root] = static_cast<int32_t>(closed.size());
            Contour c;
            c.closed = true;
            c.depth = depth[f];
            closed.push_back(c);
            members.emplace_back();
        }
        w.contourOfFace[f] = w.contourOfFace[root];
        members[static_cast<std::size_t>(w.contourOfFace[f])].push_back(f);
    }
    // Outlines (a merged hole's: the half-edges whose other side is not in it), lengths, boxes.
    std::vector<std::vector<uint32_t>> outline(closed.size());
    std::vector<uint32_t> own;
    for (std::size_t ci = 0; ci < closed.size(); ++ci) {
        Contour &c = closed[ci];
        bool first = true;
        own.clear();
        for (uint32_t f : members[ci]) {
            c.area += faces[f].area;
            for (uint32_t i = 0; i < faces[f].count; ++i) {
                const uint32_t h = w.faceHalves[faces[f].first + i];
                const uint32_t g = w.faceOfHalf[h ^ 1u];
                if (g != f && w.contourOfFace[g] == static_cast<int32_t>(ci)) continue;
                outline[ci].push_back(h);
                own.push_back(h >> 1);
                const Box &b = w.edgeBox[h >> 1];
                if (first) {
                    c.minx = b.minx;
                    c.miny = b.miny;
                    c.maxx = b.maxx;
                    c.maxy = b.maxy;
                    first = false;
                } else {
                    c.minx = std::min(c.minx, b.minx);
                    c.miny = std::min(c.miny, b.miny);
                    c.maxx = std::max(c.maxx, b.maxx);
                    c.maxy = std::max(c.maxy, b.maxy);
                }
            }
        }
        // An edge with the contour on both sides (a slit) is cut once.
        std::sort(own.begin(), own.end());
        own.erase(std::unique(own.begin(), own.end()), own.end());
        for (uint32_t e : own) c.length += w.edgeLength[e];
    }
    // Parents: within a connected part the face next to it one level up; otherwise the face the
    // part lies in.
    for (std::size_t ci = 0; ci < closed.size(); ++ci) {
        Contour &c = closed[ci];
        for (uint32_t f : members[ci]) {
            for (uint32_t i = 0; i < faces[f].count && c.parent < 0; ++i) {
                const uint32_t g = w.faceOfHalf[w.faceHalves[faces[f].first + i] ^ 1u];
                if (g != f && bounded(g) && !outside[g] && depth[g] == depth[f] - 1)
                    c.parent = w.contourOfFace[g];
            }
            const Component &comp = comps[compOfFace[f]];
            if (c.parent < 0 && depth[f] == comp.base && comp.parentFace >= 0)
                c.parent = w.contourOfFace[static_cast<std::size_t>(comp.parentFace)];
            if (c.parent >= 0) break;
        }
    }
    // The net area: every part face less the outlines of the parts of the graph that lie in it
    // (holes of the same connected part are outside its face already).
    std::vector<double> nested(faces.size(), 0);
    for (const Component &comp : comps)
        if (comp.parentFace >= 0 && !comp.faces.empty())
            nested[static_cast<std::size_t>(comp.parentFace)] += comp.outer;
    for (std::size_t ci = 0; ci < closed.size(); ++ci) {
        const Contour &c = closed[ci];
        ++out.closedCount;
        if (c.depth % 2 == 1) {
            ++out.holes;
            continue;
        }
        ++out.parts;
        double net = 0;
        for (uint32_t f : members[ci]) net += faces[f].area - nested[f];
        if (net < -w.noArea) out.overlapping = true;
        out.netArea += std::max(net, 0.0);
    }

    // Largest first, as the calculator lists them.
    std::vector<uint32_t> rank(closed.size());
    std::iota(rank.begin(), rank.end(), 0u);
    std::stable_sort(rank.begin(), rank.end(),
                     [&](uint32_t a, uint32_t b) { return closed[a].area > closed[b].area; });
    std::vector<int32_t> newIndex(closed.size());
    for (uint32_t r = 0; r < rank.size(); ++r) newIndex[rank[r]] = static_cast<int32_t>(r);
    for (int32_t &cf : w.contourOfFace)
        if (cf >= 0) cf = newIndex[static_cast<std::size_t>(cf)];
    for (uint32_t i : rank) {
        Contour c = closed[i];
        if (c.parent >= 0) c.parent = newIndex[static_cast<std::size_t>(c.parent)];
        c.firstHalf = static_cast<uint32_t>(out.halves.size());
        c.halfCount = static_cast<uint32_t>(outline[i].size());
        out.halves.insert(out.halves.end(), outline[i].begin(), outline[i].end());
        out.contours.push_back(c);
    }
}

} // namespace quentar::contours::detail
