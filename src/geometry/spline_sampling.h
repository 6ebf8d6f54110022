// Splines as read from a drawing: rational B-spline evaluation over the knot domain, sampled
// densely enough that the measured length is that of the curve.
#pragma once

#include "geometry/curves.h"

#include <cstdint>
#include <vector>

namespace quentar::render {

// Bound on the samples of one spline (the read's vertex budget bounds them further). A spline of
// the largest size evaluated needs about a tenth of it.
inline constexpr int64_t kMaxSplineSamples = 2'000'000;

// A spline as the file gives it.
struct SplineData {
    int degree = 3;
    std::vector<Point3> control;
    // Used when there are control.size() + degree + 1 of them; otherwise a clamped uniform vector
    // is generated (makeknots).
    std::vector<double> knots;
    // One per control point makes the spline rational; otherwise (none, or a count that does not
    // match) the spline is non-rational.
    std::vector<double> weights;
    bool closed = false; // closed or periodic flag: the outline must end where it starts
};

// What the samples of a spline stand for.
enum class SplineShape : uint8_t {
    Curve,          // the curve over its knot domain
    ControlPolygon, // no valid knot domain: the control points joined by straight sides
    Unsupported,    // degree below 1 or above kMaxSplineDegree, or too many control points: none
    TooFewPoints,   // fewer than two control points: nothing to draw
};

struct SplineSampling {
    SplineShape shape = SplineShape::Curve;
    bool weightsIgnored = false; // weights were given but unusable (count, zero or negative)
    bool cut = false;            // the sample budget cut the sampling short
};

// The knot domain [knots[degree], knots[count]] of a spline of `count` control points exists: at
// least degree + 1 control points, count + degree + 1 finite knots that never decrease, and a
// domain of positive width.
bool hasKnotDomain(int degree, std::size_t count, const std::vector<double> &knots);

// The point at u of the spline (rational when `weights` holds one positive weight per control
// point), u clamped to the knot domain, whose end belongs to the last span. De Boor's algorithm,
// O(degree^2). P_0 (the origin without control points) when there is no knot domain or the degree
// is beyond kMaxSplineDegree.
Point3 splinePointAt(int degree, const std::vector<Point3> &control,
                     const std::vector<double> &knots, const std::vector<double> &weights,
                     double u);

// Samples a spline over its knot domain into `out` (cleared first), at most `maxSamples` points:
// each knot span gets steps by the turning of its control polygon, and each step is halved until
// its chords are within about 1e-4 of the curve's length. A closed spline's samples end exactly on
// its first one (its remaining gap, if the curve does not return, becomes a straight side).
// Without a knot domain the samples are the control points. Never allocates per sample beyond the
// growth of `out`.
SplineSampling sampleSplineCurve(const SplineData &spline, int64_t maxSamples,
                                 std::vector<Point3> &out);

} // namespace quentar::render
