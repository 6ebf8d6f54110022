// Walking the measured contours' edges into rings of points, scaled to millimetres.
#include "costing/part_outline.h"

#include <cmath>

namespace quentar::costing {

namespace {

nesting::Ring ringOf(const document::Drawing &d, const render::DrawingMeasurement &m,
                     const contours::Contour &c) {
    std::vector<double> xy;
    contours::contourPoints(d, m.figures.pieces, m.figures.analysis, c, xy);
    nesting::Ring ring;
    for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
        const nesting::Point p{xy[i] * m.scale, xy[i + 1] * m.scale};
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        if (ring.empty() || !(ring.back() == p)) ring.push_back(p);
    }
    while (ring.size() > 1 && ring.front() == ring.back()) ring.pop_back();
    return ring;
}

} // namespace

DrawingOutlines outlinesOf(const document::Drawing &d, const render::DrawingMeasurement &m,
                           bool islandsInPlace) {
    DrawingOutlines out;
    const auto &found = m.figures.analysis.contours;
    out.openContours = m.figures.analysis.openCount;
    std::vector<int> partOf(found.size(), -1);
    // Parents come before their children (larger first), so one pass sees every parent first.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < found.size(); ++i)
        if (found[i].closed) order.push_back(i);
    std::vector<int> root(found.size(), -1); // the part a carried island belongs to
    for (std::size_t i : order) {
        const contours::Contour &c = found[i];
        if (c.hole()) continue;
        const int parentHole = c.parent;
        const bool island = c.depth > 0 && parentHole >= 0;
        if (island && islandsInPlace) {
            // Its parent hole belongs to a part; that part (or the part carrying it) carries it.
            const int holder = found[static_cast<std::size_t>(parentHole)].parent;
            const int into = holder >= 0 ? (partOf[static_cast<std::size_t>(holder)] >= 0
                                                ? partOf[static_cast<std::size_t>(holder)]
                                                : root[static_cast<std::size_t>(holder)])
                                         : -1;
            if (into >= 0) {
                root[i] = into;
                out.parts[static_cast<std::size_t>(into)].carriedArea += c.area * m.scale * m.scale;
                continue;
            }
        }
        partOf[i] = static_cast<int>(out.parts.size());
        out.parts.push_back({ringOf(d, m, c), {}, 0});
    }
    for (std::size_t i : order) {
        const contours::Contour &c = found[i];
        if (!c.hole() || c.parent < 0) continue;
        const std::size_t parent = static_cast<std::size_t>(c.parent);
        if (partOf[parent] >= 0) {
            out.parts[static_cast<std::size_t>(partOf[parent])].holes.push_back(ringOf(d, m, c));
        } else if (root[parent] >= 0) {
            // A hole in a carried island is scrap of that island, not of the carrier.
            out.parts[static_cast<std::size_t>(root[parent])].carriedArea -=
                c.area * m.scale * m.scale;
        }
    }
    return out;
}

} // namespace quentar::costing
