// Geometry of new entities from the points the user gave.
#include "editor/creation_geometry.h"

#include "document/number_text.h"

#include <cmath>
#include <numbers>

namespace quentar::editor {

namespace {

constexpr double kPi = std::numbers::pi;
// Readers refuse flatter ellipses (ezdxf and the CAD programs agree on this bound).
constexpr double kMinEllipseRatio = 1e-6;
constexpr double kArrowLength = 0.17;   // drawing units, whatever the zoom
constexpr double kArrowHalfWidth = 0.2; // of the length
constexpr int kSplineTries = 1000;

double planarDistance(double x1, double y1, double x2, double y2) {
    return std::hypot(x2 - x1, y2 - y1);
}

// Into [0, 2 pi).
double wrapParameter(double t) {
    t = std::fmod(t, 2 * kPi);
    if (t < 0) t += 2 * kPi;
    return t;
}

Point3 at(const DrawnVertex &v) { return {v.x, v.y, v.z}; }

// A tangent handle beside the fit point `fa`, on the side away from the click `s`.
Point3 tangentHandle(const Point3 &fa, const Point3 &s, double dist) {
    const double phi = std::atan2(fa.y - s.y, fa.x - s.x);
    return {fa.x + dist * std::cos(phi), fa.y + dist * std::sin(phi), 0};
}

} // namespace

double spatialDistance(const Point3 &a, const Point3 &b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

bool ArcDurch3Punkte(double x1, double y1, double x2, double y2, double x3, double y3,
                     CircleArc &arc) {
    const double g = x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2);
    if (std::fabs(g) <= 1e-8 || !std::isfinite(g)) {
        arc = CircleArc{};
        return false;
    }
    const double s1 = x1 * x1 + y1 * y1, s2 = x2 * x2 + y2 * y2, s3 = x3 * x3 + y3 * y3;
    const double cx = (s1 * (y2 - y3) + s2 * (y3 - y1) + s3 * (y1 - y2)) * 0.5 / g;
    const double cy = (s1 * (x3 - x2) + s2 * (x1 - x3) + s3 * (x2 - x1)) * 0.5 / g;
    const double a1 = std::atan2(y1 - cy, x1 - cx), a3 = std::atan2(y3 - cy, x3 - cx);
    // Which side of the direction P1 -> P2 the third point lies on: the points run
    // counter-clockwise when it is on the left.
    const double theta = std::atan2(y2 - y1, x2 - x1);
    const double side = std::sin(-theta) * (x3 - x1) + std::cos(-theta) * (y3 - y1);
    arc.arcmx = cx;
    arc.arcmy = cy;
    arc.arcradius = planarDistance(x1, y1, cx, cy);
    arc.arcwinkel1 = side > 0 ? a1 : a3;
    arc.arcwinkel2 = side > 0 ? a3 : a1;
    return true;
}

std::array<double, 2> arcAnglesInDegrees(const CircleArc &arc) {
    double start = arc.arcwinkel1 * 180 / kPi, end = arc.arcwinkel2 * 180 / kPi;
    // atan2 gives at least -180 degrees, so one turn is enough; the bound keeps a caller's absurd
    // angle from looping.
    for (int i = 0; i < 4 && (start < 0 || end < 0); ++i) {
        start += 360;
        end += 360;
    }
    return {start, end};
}

std::optional<EllipseAxes> ellipseFromPoints(int arcmode, const Point3 &p1, const Point3 &p2,
                                             const Point3 &p3, double startParameter,
                                             double endParameter) {
    EllipseAxes e;
    const bool byCentre = arcmode == 2 || arcmode == 3;
    e.centre = byCentre ? p1 : Point3{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2, (p1.z + p2.z) / 2};
    e.major = {p2.x - e.centre.x, p2.y - e.centre.y, p2.z - e.centre.z};
    e.start = startParameter;
    e.end = endParameter;
    const double a = spatialDistance(p2, e.centre), b = spatialDistance(p3, e.centre);
    if (!(a > 0) || !(b > 0)) return std::nullopt;
    e.ratio = b / a;
    if (e.ratio > 1) {
        // The minor axis is the major axis turned a quarter turn counter-clockwise (about the
        // drawing's z axis, where the points lie).
        e.major = {-e.major.y * e.ratio, e.major.x * e.ratio, e.major.z * e.ratio};
        e.ratio = 1 / e.ratio;
        e.start = wrapParameter(e.start - kPi / 2);
        e.end = wrapParameter(e.end - kPi / 2);
    }
    if (!(e.ratio >= kMinEllipseRatio)) return std::nullopt;
    return e;
}

int polygonCornerCount(double field) {
    if (!(field >= 3)) return 3;
    if (field > 1000) return 1000;
    return static_cast<int>(std::nearbyint(field)); // ties to even in the default rounding mode
}

std::vector<DrawnVertex> polygonCorners(const Point3 &centre, const Point3 &pointer, int corners) {
    const int n = corners < 3 ? 3 : corners;
    const double r = planarDistance(centre.x, centre.y, pointer.x, pointer.y);
    const double t0 = -std::atan2(pointer.y - centre.y, pointer.x - centre.x);
    std::vector<DrawnVertex> out;
    out.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double t = t0 + 2 * kPi * i / n;
        out.push_back({centre.x + r * std::sin(t), centre.y + r * std::cos(t), centre.z, 0});
    }
    return out;
}

std::optional<std::array<Point3, 3>> arrowheadCorners(double tipx, double tipy, double fromx,
                                                      double fromy) {
    const double d = planarDistance(tipx, tipy, fromx, fromy);
    if (!(d > 0) || !std::isfinite(d)) return std::nullopt;
    const double ux = (fromx - tipx) / d * kArrowLength, uy = (fromy - tipy) / d * kArrowLength;
    const double wx = kArrowHalfWidth * ux, wy = kArrowHalfWidth * uy;
    return std::array<Point3, 3>{Point3{tipx, tipy, 0}, Point3{tipx + ux - wy, tipy + uy + wx, 0},
                                 Point3{tipx + ux + wy, tipy + uy - wx, 0}};
}

std::string dimensionValueText(const Point3 &p1, const Point3 &p2) {
    return document::fixedText(spatialDistance(p1, p2), 2);
}

std::vector<Point3> splineTargets(const std::vector<DrawnVertex> &polyline0, int splinemode,
                                  std::vector<int> &fixed) {
    fixed.clear();
    std::vector<Point3> t;
    const std::size_t n = polyline0.size();
    if (splinemode != 2 || n < 3) {
        for (const DrawnVertex &v : polyline0) t.push_back(at(v));
        if (splinemode >= 1 && t.size() > 2) fixed.push_back(1);
        return t;
    }
    // Phase 2: the fit points, then the start and the end tangent click.
    const std::size_t fitCount = n - 2;
    const Point3 startClick = at(polyline0[n - 2]), endClick = at(polyline0[n - 1]);
    const Point3 first = at(polyline0[0]), last = at(polyline0[fitCount - 1]);
    const double startDist =
        planarDistance(polyline0[0].x, polyline0[0].y, polyline0[1].x, polyline0[1].y) / 2;
    const double endDist =
        fitCount >= 2
            ? planarDistance(polyline0[fitCount - 2].x, polyline0[fitCount - 2].y, last.x, last.y) /
                  2
            : 10.0;
    t.push_back(first);
    t.push_back(tangentHandle(first, startClick, startDist));
    for (std::size_t i = 1; i + 1 < fitCount; ++i) t.push_back(at(polyline0[i]));
    t.push_back(tangentHandle(last, endClick, endDist));
    t.push_back(last);
    fixed = {1, static_cast<int>(t.size()) - 2};
    return t;
}

std::optional<SplineDefinition> fitSpline(const std::vector<Point3> &targets,
                                          const std::vector<int> &fixed,
                                          render::RandomSource &rng) {
    const std::size_t m = targets.size();
    if (m < 2 || m > static_cast<std::size_t>(render::kMaxSplineControlPoints)) return std::nullopt;
    SplineDefinition s;
    const int n = static_cast<int>(m) - 1;
    if (m >= 4) {
        s.degree = 3;
        s.control = render::fitcontrolpoints(targets, kSplineTries, fixed, rng);
    } else if (m == 3) {
        // The parabola through the middle target at the middle of its domain.
        s.degree = 2;
        const Point3 &a = targets[0], &b = targets[1], &c = targets[2];
        s.control = {
            a,
            {2 * b.x - (a.x + c.x) / 2, 2 * b.y - (a.y + c.y) / 2, 2 * b.z - (a.z + c.z) / 2},
            c};
    } else {
        s.degree = 1;
        s.control = targets;
    }
    render::makeknots(s.knots, n, s.degree + 1);
    return s;
}

} // namespace quentar::editor
