// Faces: the half-edges round each node in the order they leave it, and the closed walks that
// keep a face on their left, with the exact area each encloses (chords plus arcs).
#include "contours/work.h"

#include <algorithm>
#include <numeric>

namespace quentar::contours::detail {

void buildFaces(Work &w) {
    const std::vector<ContourEdge> &edges = w.out.edges;
    const std::size_t nodes = w.out.nodes.size();
    const uint32_t halves = static_cast<uint32_t>(edges.size() * 2);
    auto origin = [&](uint32_t h) { return w.origin(h); };

    // Half-edges by node, counter-clockwise by the direction they leave in.
    std::vector<uint32_t> &start = w.aroundStart;
    start.assign(nodes + 1, 0);
    for (uint32_t h = 0; h < halves; ++h) ++start[origin(h) + 1];
    for (std::size_t n = 0; n < nodes; ++n) start[n + 1] += start[n];
    std::vector<uint32_t> &around = w.around;
    around.resize(halves);
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (uint32_t h = 0; h < halves; ++h) around[fill[origin(h)]++] = h;
    std::vector<uint32_t>().swap(fill);
    std::vector<uint32_t> &position = w.position;
    position.resize(halves);
    for (std::size_t n = 0; n < nodes; ++n) {
        const auto b = around.begin() + start[n], e = around.begin() + start[n + 1];
        if (e - b >= 3)
            std::sort(b, e, [&](uint32_t x, uint32_t y) {
                return w.leave[x] < w.leave[y] || (w.leave[x] == w.leave[y] && x < y);
            });
        for (uint32_t i = start[n]; i < start[n + 1]; ++i) position[around[i]] = i;
    }
    // The face to the left of h goes on with the half-edge leaving h's end just clockwise of the
    // way back.
    auto nextOf = [&](uint32_t h) { return w.nextOf(h, [](uint32_t) { return true; }); };

    // Connected parts of the graph.
    Sets together(nodes);
    for (const ContourEdge &e : edges) together.join(e.u, e.v);
    w.componentOf.resize(nodes);
    for (std::size_t n = 0; n < nodes; ++n)
        w.componentOf[n] = together.find(static_cast<uint32_t>(n));

    w.faceOfHalf.assign(halves, UINT32_MAX);
    w.faceHalves.reserve(halves);
    for (uint32_t h0 = 0; h0 < halves; ++h0) {
        if (w.faceOfHalf[h0] != UINT32_MAX) continue;
        Face f;
        f.first = static_cast<uint32_t>(w.faceHalves.size());
        double shoelace = 0, curves = 0;
        uint32_t h = h0;
        for (uint32_t guard = 0; guard <= halves && w.faceOfHalf[h] == UINT32_MAX; ++guard) {
            w.faceOfHalf[h] = static_cast<uint32_t>(w.faces.size());
            w.faceHalves.push_back(h);
            const uint32_t e = h >> 1;
            shoelace += (h & 1) ? -w.edgeShoelace[e] : w.edgeShoelace[e];
            curves += (h & 1) ? -w.edgeCurve[e] : w.edgeCurve[e];
            h = nextOf(h);
        }
        f.count = static_cast<uint32_t>(w.faceHalves.size()) - f.first;
        f.area = shoelace / 2 + curves;
        f.component = w.componentOf[origin(h0)];
        w.faces.push_back(f);
    }
}

} // namespace quentar::contours::detail
