// The geometry the creation operations compute from the points the user gave: arcs through three
// points, ellipse axes, regular polygons, arrowheads, dimension values and fitted splines.
#pragma once

#include "geometry/curves.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quentar::editor {

using render::Point3;

// A vertex of the polyline, polygon or spline being drawn (the window's polyline0). The bulge is
// in screen orientation (positive: clockwise in drawing coordinates) and kept at full precision.
struct DrawnVertex {
    double x = 0, y = 0, z = 0;
    double bulge = 0;
};

// A circle or arc as the drawing window holds the one being created: centre (arcmx, arcmy),
// radius, start and end angle in radians, counter-clockwise from start to end.
struct CircleArc {
    double arcmx = 0, arcmy = 0, arcradius = 0;
    double arcwinkel1 = 0, arcwinkel2 = 0;
};

// The distance of two points in space.
double spatialDistance(const Point3 &a, const Point3 &b);

// ArcDurch3Punkte: the circle through the three points; the arc runs from the first point
// through the second to the third, whichever way round they are given. False (and all fields 0)
// when the points are collinear.
bool ArcDurch3Punkte(double x1, double y1, double x2, double y2, double x3, double y3,
                     CircleArc &arc);

// The ARC of the arc tool's mode (arcmode): 0 from p1 through p2 to p3, 3 from p1 through p3 to
// p2, 1 about p1 from the direction of p2 to the direction of p3 with the radius |p1 - p2|.
// Nothing for collinear points or another mode.
std::optional<CircleArc> arcFromPoints(int arcmode, const Point3 &p1, const Point3 &p2,
                                       const Point3 &p3);

// Start and end angle of an ARC in degrees: 360 added to both while either is negative, so the
// end may exceed 360 (start -170, end 10 gives 190 and 370).
std::array<double, 2> arcAnglesInDegrees(const CircleArc &arc);

// An ELLIPSE: centre, major-axis end relative to the centre, ratio of the minor to the major
// axis, and for an elliptical arc its start and end parameter (radians).
struct EllipseAxes {
    Point3 centre, major;
    double ratio = 1;
    double start = 0, end = 0;
};

// Ellipse modes of the drawing tool (arcmode): P1-P2 is the whole major axis (0, 1) or P1 the
// centre and P2 the major-axis end (2, 3); 1 and 3 make elliptical arcs from `startParameter` to
// `endParameter`. The ratio is |P3 - C| / |P2 - C|; a third point beyond the major axis makes it
// the minor one, since a ratio above 1 is no valid ELLIPSE: the axes are swapped and the parameters
// turned back a quarter turn, so the curve stays the same. Nothing (nullopt) for an ellipse
// without extent (a zero axis or a ratio below 1E-6, which readers refuse).
std::optional<EllipseAxes> ellipseFromPoints(int arcmode, const Point3 &p1, const Point3 &p2,
                                             const Point3 &p3, double startParameter,
                                             double endParameter);

// The parameter of an ellipse (centre `centre`, major-axis end `major` relative to it, `ratio`
// of the minor to the major axis) at which the ray from the centre through `q` meets it, in
// [0, 2 pi): where an elliptical arc the user points at starts or ends.
double ellipseParameterToward(const Point3 &centre, const Point3 &major, double ratio,
                              const Point3 &q);

// Number of corners of a regular polygon from the corner field: rounded to the nearest integer
// (ties to even), kept within 3 ... 1000 as the field is.
int polygonCornerCount(double field);

// The closed regular polygon about `centre` with a corner given by `pointer`: n + 1 vertices, the
// last repeating the first. The first corner lies at the pointer turned a quarter turn
// counter-clockwise about the centre, the others follow clockwise.
std::vector<DrawnVertex> polygonCorners(const Point3 &centre, const Point3 &pointer, int corners);

// The corners of an arrowhead 0.17 drawing units long and 0.068 wide at its base, its tip at
// (tipx, tipy) and its base towards (fromx, fromy); nothing when the two points coincide.
std::optional<std::array<Point3, 3>> arrowheadCorners(double tipx, double tipy, double fromx,
                                                      double fromy);

// The dimension line of p1-p2 through m: its ends f1 and f2 on the perpendiculars through p1 and
// p2, and the text anchor halfway between them. Nothing when p1 and p2 coincide.
struct DimensionLine {
    Point3 f1, f2, anchor;
};
std::optional<DimensionLine> dimensionLineThrough(const Point3 &p1, const Point3 &p2,
                                                  const Point3 &m);

// The points strictly between a and b of the arc with the bulge `bulge` (the DXF's: positive
// counter-clockwise) in `steps` equal chords; none for a straight segment.
std::vector<Point3> bulgeArcPoints(const Point3 &a, const Point3 &b, double bulge, int steps);

// The bulge (screen orientation, as polyline0 holds it) of the arc from `from` to `to` that leaves
// `from` tangent to the direction (dx, dy) (drawing units): the polyline's tangent arcs. Zero for
// a chord along that direction; held below a full turn for one pointing back.
double tangentBulge(double dx, double dy, const Point3 &from, const Point3 &to);
// The direction in which the arc from `from` to `to` with bulge `bulge` (screen orientation)
// arrives at `to`: where the next tangent arc continues.
void arcEndDirection(const Point3 &from, const Point3 &to, double bulge, double &dx, double &dy);

// The text a new dimension shows: the distance |P1 - P2| with two decimals ("12.50").
std::string dimensionValueText(const Point3 &p1, const Point3 &p2);

// A spline as it is written: degree, knots and control points.
struct SplineDefinition {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Point3> control;
};

// The points a new spline is fitted to, from the points clicked (polyline0) and the input phase
// (splinemode: 0 fit points, 1 start tangent, 2 end tangent). In phase 2 the last two clicks are
// tangent points: they become handles beside the first and the last fit point. `fixed` receives
// the target indices that must keep their place besides the first and the last.
std::vector<Point3> splineTargets(const std::vector<DrawnVertex> &polyline0, int splinemode,
                                  std::vector<int> &fixed);

// The spline through the targets: cubic, its control points fitted (fitcontrolpoints, 1000
// tries), with the clamped uniform knots of makeknots. Two or three targets are too few for a
// cubic (its knot vector would have no domain): they give a line or the parabola through the
// middle target. Nothing for fewer than two.
std::optional<SplineDefinition> fitSpline(const std::vector<Point3> &targets,
                                          const std::vector<int> &fixed, render::RandomSource &rng);

} // namespace quentar::editor
