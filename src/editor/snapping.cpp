// The alignment and the nearest snap candidate.
#include "editor/snapping.h"

#include <cstdlib>

namespace quentar::editor {

void alignWithReference(int xx, int yy, int &x, int &y) {
    const int dx = std::abs(xx - x), dy = std::abs(yy - y);
    if (dx <= kSnapTolerance) x = xx;
    if (dy <= kSnapTolerance) y = yy;
    // Diagonal: the pointer keeps its x and goes to the 45-degree line through the reference.
    if (std::abs(dx - dy) <= kSnapTolerance) {
        const int run = std::abs(xx - x);
        y = yy <= y ? yy + run : yy - run;
    }
}

SnapResult SnapPoints(const PointerScene &scene, int xx, int yy, int x, int y, bool ctrl) {
    SnapResult r{x, y, 0, 0, false};
    if (ctrl) return r;
    alignWithReference(xx, yy, r.x, r.y);

    // Candidates are measured from the pointer as given, not as aligned.
    const int mx = x, my = y;
    int64_t best = -1;
    auto consider = [&](const document::Tmypoi &v) {
        const render::Pixel p = scene.view.pixel(v.x, v.y);
        const int64_t dx = static_cast<int64_t>(p.x) - mx, dy = static_cast<int64_t>(p.y) - my;
        if (std::abs(dx) > kSnapTolerance || std::abs(dy) > kSnapTolerance) return;
        const int64_t d2 = dx * dx + dy * dy;
        if (best >= 0 && d2 >= best) return; // the first found keeps a tie
        best = d2;
        r.x = p.x;
        r.y = p.y;
        r.ex = v.x;
        r.ey = v.y;
        r.setted = true;
    };
    std::vector<uint32_t> candidates;
    scene.near(mx, my, kSnapTolerance, candidates);
    for (uint32_t i : candidates) {
        const document::tpoly &e = scene.entity(i);
        if (!e.geom || !scene.tab.shows(e)) continue;
        const auto np = std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzp, 0)),
                                              e.geom->ps().size());
        const auto ns = std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzs, 0)),
                                              e.geom->snap().size());
        for (std::size_t k = 0; k < np; ++k) consider(e.geom->ps()[k]);
        for (std::size_t k = 0; k < ns; ++k) consider(e.geom->snap()[k]);
    }
    return r;
}

} // namespace quentar::editor
