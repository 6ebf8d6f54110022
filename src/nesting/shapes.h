// Part outlines in the nesting's integer units and their no-fit polygons (Clipper underneath).
#pragma once

#include "nesting/outline.h"

#include <polyclipping/clipper.hpp>

namespace quentar::nesting::detail {

namespace cl = ClipperLib;

// Integer units per millimetre: micrometres, far below any laser's kerf.
constexpr double kUnitsPerMm = 1000;
// Parts that touch may overlap by this much, and a part may lie this far over the usable area:
// exact fits (three 1000 mm parts across 3000 mm) leave a free region of no area, which the
// polygon operations would drop, so the free space is counted generously by this amount.
constexpr cl::cInt kTouch = 2;
// Outlines sampled finer than this (arcs) are thinned to it, and grown by it so that the thinned
// outline still covers the part: a tenth of a millimetre, below any part gap a shop would use.
constexpr double kThinning = 100;

cl::cInt toUnits(double mm);
double toMm(cl::cInt units);

// A part in one rotation, grown by half the gap, as the sheet sees it.
struct OrientedShape {
    double rotation = 0; // degrees
    cl::Paths solid;     // outer contour (counter-clockwise) and, where holes may take parts,
                         // its holes (clockwise)
    cl::Path outer;      // the outer contour alone
    cl::IntRect box{};   // of `outer`
    std::vector<cl::Path> pieces; // convex pieces of `outer`; empty when it would not split
};

// `p` turned by `degrees`, grown by `grow` mm (holes shrink by it), thinned where finely sampled.
// Empty `outer` when nothing of area is left.
OrientedShape orient(const Polygon &p, double degrees, double grow, bool keepHoles);

// The translations of `moving` at which it overlaps `fixed` (lying at the origin), shrunk by
// kTouch so that touching positions stay free.
cl::Paths noFitPolygon(const OrientedShape &fixed, const OrientedShape &moving);

void translate(cl::Paths &paths, cl::IntPoint by);

} // namespace quentar::nesting::detail
