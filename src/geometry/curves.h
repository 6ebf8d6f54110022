// Curve evaluation: arcs, ellipses, bulge arcs and B-splines become lists of points.
#pragma once

#include "document/records.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace quentar::render {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// Number of points of an arc, circle or ellipse sampling (100 equal steps).
inline constexpr int kCurveSamples = 101;
// Points inserted for one bulge arc of a polyline.
inline constexpr int kBulgePoints = 50;
// Samples of a spline drawn by the editor (a spline read from a drawing is sampled by its knot
// spans, spline_sampling.h).
inline constexpr int kSplineSamples = 100;

// Absurd input from a customer's file must not hang the reader: splines beyond these bounds are not
// sampled (their control points are still kept). No real drawing comes near them.
inline constexpr int kMaxSplineDegree = 25;
inline constexpr int kMaxSplineControlPoints = 200000;

// The program's random generator for the fit-point search. Seeded from the clock at program start;
// tests seed it themselves.
class RandomSource {
public:
    RandomSource();                       // seeded from the clock
    explicit RandomSource(uint64_t seed); // reproducible
    // An integer drawn uniformly from 0 ... n - 1; 0 when n <= 0.
    int64_t next(int64_t n);

private:
    std::mt19937_64 gen_;
};
RandomSource &programRandom();

// Arc and circle: 101 points from a0 to a1 degrees (a1 raised by 360 once when not greater than
// a0; a circle runs from 0 to 360).
void sampleArc(double cx, double cy, double cz, double r, double a0deg, double a1deg, bool circle,
               Point3 out[kCurveSamples]);

// One point of an ellipse at parameter t (radians); `mirrored` when the extrusion z is negative.
Point3 ellipsePoint(double cx, double cy, double cz, double a, double b, double rho, double t,
                    bool mirrored);
// Ellipse from parameter p0 to p1 (p1 raised by 2*pi when not greater than p0): 101 points.
void sampleEllipse(double cx, double cy, double cz, double a, double b, double rho, double p0,
                   double p1, bool mirrored, Point3 out[kCurveSamples]);

// The distance below which two points of what is drawn (`size`: its larger side, drawing units)
// count as one: CAD programs write their coordinates rounded, but a real gap of a twentieth of a
// millimetre must stay a gap. Contour ends closer than this meet, and a bulge whose arc leaves
// its chord by less than this is straight.
inline double chordTolerance(double size) { return std::max(size * 1e-5, 1e-9); }

// Bulge expansion in place: closes a closed list with a copy of its first vertex, then inserts
// 50 arc points into every bulged segment (last to first) and appends each arc centre to `snap`.
// A bulge whose arc's sagitta is below the chord tolerance of the list's own extent leaves its
// segment straight: 1e-17 is how CAD programs write a rounded 0, and the arc of such a bulge, a
// circle of astronomical radius, cannot be computed to any sense. (The extent of the whole
// drawing is not known while it is read; the list's own is never larger, so no bulge the
// contours would see as an arc is straightened.)
// `exactBulges` holds the bulge of each vertex by index (missing ones are 0); without it nothing
// is bulged. `curveArea`, when given, receives the signed area between the arcs and the chords
// that sample them, positive where the arcs run counter-clockwise: with the shoelace sum of the
// vertices it gives the exact enclosed area. `widths`, when given and not empty, holds the width
// of each vertex by index and follows the expansion: an arc point has its vertex's width.
void expandbulges(std::vector<document::Tmypoi> &ps, std::vector<document::Tmypoi> &snap,
                  bool isclosed, const std::vector<double> *exactBulges = nullptr,
                  double *curveArea = nullptr, std::vector<float> *widths = nullptr);

// The signed area between a circular arc of radius r sweeping `sweep` radians (negative:
// clockwise) and the `steps` equal chords that sample it.
double arcChordArea(double r, double sweep, int steps);

// Clamped uniform knot vector with integer knots: knots[0 ... n + t].
void makeknots(std::vector<double> &knots, int n, int t);

// N(k, t) at v by the Cox-de Boor recursion (0/0 := 0), evaluated directly. The reference
// definition; the samplers below use only the non-zero basis functions and agree with it.
// Exponential in t: for tests and single values only. 0 when a term would need a knot beyond the
// vector or t < 1.
double basisvalue(int k, int t, const std::vector<double> &knots, double v);

// The spline point at v: sum over k = 0 ... n of N(k, t, v) * P_k. O(t^2) for a non-decreasing
// knot vector, O(t * (n + t)) for one that is not (files have those). P_0 (or the origin when
// there are no control points) when t < 1, n < 0, or knots or control points are too few.
Point3 evalspline(const std::vector<double> &knots, int n, int t, double v,
                  const std::vector<Point3> &control);

// res samples at equal steps over the knot domain [u(t - 1), u(n + 1)] (v accumulated by addition
// from its start); the last sample is the domain's end, P_n for a clamped knot vector.
// When t < 1, n < 0, t - 1 > kMaxSplineDegree, n + 1 > kMaxSplineControlPoints, knots or control
// points are too few, or there is no knot domain (hasKnotDomain), nothing is evaluated: all res
// samples are P_0 (the origin without control points).
void samplespline(int n, int t, const std::vector<Point3> &control, int res,
                  std::vector<Point3> &out, const std::vector<double> &knots);

// Control points for a cubic spline through the targets: random search over `tries` tries, then
// ten correction rounds. Indices in `fixed` (and the first and last) keep their targets.
// The search costs about tries * m^2 for m targets; it is limited to 1000 * 50^2, so beyond 50
// targets fewer tries are made, and none at all from 1582 targets on (the correction still runs).
// Fewer than 2 targets, or more than kMaxSplineControlPoints, come back unchanged.
std::vector<Point3> fitcontrolpoints(const std::vector<Point3> &targets, int tries,
                                     const std::vector<int> &fixed, RandomSource &rng);

} // namespace quentar::render
