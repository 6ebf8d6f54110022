// What kind of length an entity is, and the collector the render pass fills.
#include "contours/pieces.h"

#include <cstring>

namespace quentar::contours {

using document::EntityKind;

MeasureKind measureKindOf(const document::tpoly &e) {
    switch (e.kind) {
    case EntityKind::Dimension: return MeasureKind::Dimension;
    case EntityKind::Leader: return MeasureKind::Leader;
    case EntityKind::Hatch:
    case EntityKind::Wipeout: return MeasureKind::Hatch;
    case EntityKind::XLine:
    case EntityKind::Ray: return MeasureKind::Construction;
    case EntityKind::Viewport: return MeasureKind::ViewportFrame;
    default: return MeasureKind::Cut;
    }
}

const char *measureKindName(MeasureKind k) {
    switch (k) {
    case MeasureKind::Cut: return "cut";
    case MeasureKind::Dimension: return "dimension";
    case MeasureKind::Leader: return "leader";
    case MeasureKind::Hatch: return "hatch";
    case MeasureKind::Construction: return "construction";
    case MeasureKind::ViewportFrame: return "viewport";
    case MeasureKind::Dashed: return "dashed";
    case MeasureKind::Mesh: return "mesh";
    }
    return "cut";
}

void PieceCollector::clear() {
    pieces.clear();
    placements.assign(1, Placement{});
    linears.clear();
    ends.clear();
    boxOf.clear();
    boxes.clear();
}

void PieceCollector::reserve(std::size_t n) {
    pieces.reserve(n);
    ends.reserve(4 * n);
    boxOf.reserve(n);
}

void PieceCollector::add(const Piece &p, const PieceSpan &s) {
    pieces.push_back(p);
    ends.insert(ends.end(), {s.sx, s.sy, s.ex, s.ey});
    if (p.segments > 1 || p.closingSide) {
        boxOf.push_back(static_cast<uint32_t>(boxes.size() / 4));
        boxes.insert(boxes.end(), {s.minx, s.miny, s.maxx, s.maxy});
    } else {
        boxOf.push_back(kNoBox);
    }
}

void PieceCollector::truncate(std::size_t count) {
    if (count >= pieces.size()) return;
    // The boxes of the dropped pieces are the last ones.
    for (std::size_t i = count; i < boxOf.size(); ++i)
        if (boxOf[i] != kNoBox) {
            boxes.resize(4 * std::size_t{boxOf[i]});
            break;
        }
    pieces.resize(count);
    ends.resize(4 * count);
    boxOf.resize(count);
}

uint32_t PieceCollector::placementOf(double bx, double by, const geometry::Linear3 *linear) {
    const Placement &last = placements.back();
    const bool sameLinear =
        linear ? last.linear != Placement::kIdentity &&
                     std::memcmp(linears[last.linear].m, linear->m, sizeof linear->m) == 0
               : last.linear == Placement::kIdentity;
    if (sameLinear && last.bx == bx && last.by == by)
        return static_cast<uint32_t>(placements.size() - 1);
    Placement p;
    p.bx = bx;
    p.by = by;
    if (linear) {
        if (last.linear != Placement::kIdentity &&
            std::memcmp(linears[last.linear].m, linear->m, sizeof linear->m) == 0) {
            p.linear = last.linear;
        } else {
            p.linear = static_cast<uint32_t>(linears.size());
            linears.push_back(*linear);
        }
    }
    placements.push_back(p);
    return static_cast<uint32_t>(placements.size() - 1);
}

void PieceCollector::points(const document::Drawing &d, const Piece &p,
                            std::vector<double> &xy) const {
    forEachPoint(d, *this, p, [&](int32_t, double x, double y) {
        xy.push_back(x);
        xy.push_back(y);
    });
}

} // namespace quentar::contours
