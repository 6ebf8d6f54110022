// The grip and segment passes of a click, the box selection, select all.
#include "editor/picking.h"

#include <cmath>
#include <cstdlib>

namespace quentar::editor {

namespace {

using document::Tmypoi;
using document::tpoly;
using render::Pixel;

std::size_t vertexCount(const tpoly &e) {
    if (!e.geom) return 0;
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzp, 0)),
                                 e.geom->ps().size());
}

bool within(Pixel p, int x, int y, int tolerance) {
    return std::abs(static_cast<int64_t>(p.x) - x) <= tolerance &&
           std::abs(static_cast<int64_t>(p.y) - y) <= tolerance;
}

// The click M hits segment A-B: A and B differ, M lies less than 3 pixels from the line through
// them, and no farther than |AB| + 3 from either end.
bool hitsSegment(Pixel a, Pixel b, int mx, int my) {
    if (a == b) return false;
    const double abx = static_cast<double>(b.x) - a.x, aby = static_cast<double>(b.y) - a.y;
    const double amx = static_cast<double>(mx) - a.x, amy = static_cast<double>(my) - a.y;
    const double bmx = static_cast<double>(mx) - b.x, bmy = static_cast<double>(my) - b.y;
    const double len = std::hypot(abx, aby);
    if (!(std::fabs(abx * amy - aby * amx) / len < kPickTolerance)) return false;
    const double reach = len + kPickTolerance;
    return std::hypot(amx, amy) <= reach && std::hypot(bmx, bmy) <= reach;
}

// Walks an entity's vertices on screen as the segment pass and the box selection do: a hidden
// construction point only becomes the segment start, the first drawn vertex is `first`, every
// later vertex ends a segment from the last start, and a closed entity's closing segment runs
// from the last start back to its first vertex. Stops when a call returns true.
template <class First, class Segment>
bool walkSegments(const PointerScene &scene, const tpoly &e, First &&first, Segment &&segment) {
    const std::size_t n = vertexCount(e);
    bool started = false;
    Pixel s;
    for (std::size_t i = 0; i < n; ++i) {
        const Tmypoi &v = e.geom->ps()[i];
        const Pixel p = scene.view.pixel(v.x, v.y);
        if (v.donotdraw) {
            s = p;
            continue;
        }
        if (!started) {
            started = true;
            if (first(p)) return true;
        } else if (segment(s, p, v.moveonly)) {
            return true;
        }
        s = p;
    }
    if (e.isclosed && n > 0) {
        const Tmypoi &v0 = e.geom->ps()[0];
        if (segment(s, scene.view.pixel(v0.x, v0.y), false)) return true;
    }
    return false;
}

} // namespace

PickResult pick(const PointerScene &scene, Selection &selection, int x, int y, bool shift) {
    const bool s = !shift;
    PickResult r;
    bool hit = false;
    // One set of candidates for both passes: a segment hit lies at most about 4.3 pixels from
    // the segment's end points (3 beyond an end and 3 aside), a grip hit at most 5.
    std::vector<uint32_t> candidates;
    scene.near(x, y, kSelectedGripTolerance, candidates);

    // Grip pass. A click on a vertex that several entities share takes every one of them.
    for (uint32_t i : candidates) {
        if (!scene.selectable(i)) continue;
        const tpoly &e = scene.entity(i);
        const bool before = selection.selected(i);
        const int tolerance = before ? kSelectedGripTolerance : kPickTolerance;
        const std::size_t n = vertexCount(e);
        for (std::size_t k = 0; k < n; ++k) {
            const Tmypoi &v = e.geom->ps()[k];
            if (v.linex <= 0 || !within(scene.view.pixel(v.x, v.y), x, y, tolerance)) continue;
            selection.setSelected(i, s);
            selection.setMassSelected(i, false);
            hit = true;
            if (before && s) {
                r.outcome = PickOutcome::GripDrag;
                r.moveobjnr = i;
                r.movepointnr = static_cast<int>(k);
                r.linesx = v.x;
                r.linesy = v.y;
                return r;
            }
            break;
        }
    }

    // Segment pass.
    for (uint32_t i : candidates) {
        if (!scene.selectable(i)) continue;
        const tpoly &e = scene.entity(i);
        const bool before = selection.selected(i);
        const bool onSegment = walkSegments(
            scene, e, [](Pixel) { return false; },
            [&](Pixel a, Pixel b, bool) { return hitsSegment(a, b, x, y); });
        if (!onSegment) continue;
        selection.setSelected(i, s);
        selection.setMassSelected(i, false);
        hit = true;
        if (before && s) {
            r.outcome = PickOutcome::SelectionDrag;
            return r;
        }
    }
    r.outcome = hit ? PickOutcome::Hit : PickOutcome::Nothing;
    return r;
}

bool MassSelect(const PointerScene &scene, Selection &selection, int screenx1, int screeny1,
                int screenx2, int screeny2, bool shift) {
    const int left = std::min(screenx1, screenx2), right = std::max(screenx1, screenx2);
    const int top = std::min(screeny1, screeny2), bottom = std::max(screeny1, screeny2);
    auto inside = [&](Pixel p) {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    };
    // Only an entity with a vertex in the box can be caught: the grid gives those that may.
    WorldBox box;
    double wx, wy;
    scene.view.world(left - 1.0, top - 1.0, wx, wy);
    box.add(wx, wy);
    scene.view.world(right + 1.0, bottom + 1.0, wx, wy);
    box.add(wx, wy);
    std::vector<uint32_t> candidates;
    scene.grid.query(box, candidates);
    bool caught = false;
    for (uint32_t i : candidates) {
        if (!scene.selectable(i)) continue;
        const bool counts = walkSegments(
            scene, scene.entity(i), [&](Pixel p) { return inside(p); },
            [&](Pixel a, Pixel b, bool jump) { return !jump && (inside(a) || inside(b)); });
        if (!counts) continue;
        selection.setSelected(i, !shift);
        selection.setMassSelected(i, true);
        caught = true;
    }
    return caught;
}

void selectAll(const PointerScene &scene, Selection &selection) {
    const std::size_t n = scene.entityCount();
    for (std::size_t i = 0; i < n; ++i)
        if (scene.selectable(i)) selection.setSelected(i, true);
}

bool IsSelected(const PointerScene &scene, const Selection &selection) {
    for (std::size_t i : selection.indices())
        if (i < scene.entityCount() && scene.shown(i)) return true;
    return false;
}

} // namespace quentar::editor
