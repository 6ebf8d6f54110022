// Splitting a simple polygon into few convex pieces, and the Minkowski sum of two convex ones:
// the no-fit polygon of two parts is then the union of small convex sums instead of one sweep.
#pragma once

#include <polyclipping/clipper.hpp>

#include <vector>

namespace quentar::nesting::detail {

// Convex pieces (counter-clockwise) that tile `ring` (a simple ring, counter-clockwise):
// triangles by ear clipping, merged while they stay convex. Empty when the ring is not simple
// enough to split (the caller then sweeps the whole ring).
std::vector<ClipperLib::Path> convexParts(const ClipperLib::Path &ring);

// a ⊕ b for convex counter-clockwise rings: the edges of both merged by direction.
ClipperLib::Path convexSum(const ClipperLib::Path &a, const ClipperLib::Path &b);

} // namespace quentar::nesting::detail
