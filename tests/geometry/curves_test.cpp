#include "geometry/curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace quentar::render {
namespace {

using document::Tmypoi;
constexpr double kPi = std::numbers::pi;

Tmypoi vertex(double x, double y)
{
    Tmypoi v;
    v.x = x;
    v.y = y;
    return v;
}

// Smallest distance (x, y) from f to any of the points.
double distanceToNearest(const std::vector<Point3> &pts, const Point3 &f)
{
    double best = INFINITY;
    for (const Point3 &p : pts) best = std::min(best, std::hypot(p.x - f.x, p.y - f.y));
    return best;
}

// ---------------------------------------------------------------------------------------------
// Arcs and ellipses

struct ArcCase {
    double a0, a1;
    bool circle;
    double start, sweep; // degrees the samples must run through
};

TEST(SampleArc, RunsCounterClockwiseFromStartToEnd)
{
    const ArcCase cases[] = {
        {350, 10, false, 350, 20},  // crosses 0 degrees the short way
        {30, 30, false, 30, 360},   // equal angles make a full circle
        {90, 45, false, 90, 315},   // end below start is raised by one turn only
        {10, 80, false, 10, 70},
        {123, 200, true, 0, 360},   // a circle ignores the angles
    };
    const double cx = 4, cy = -2, cz = 7, r = 3;
    for (const ArcCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.a0 << " -> " << c.a1);
        Point3 out[kCurveSamples];
        sampleArc(cx, cy, cz, r, c.a0, c.a1, c.circle, out);
        for (int i = 0; i < kCurveSamples; ++i) {
            const double a = (c.start + i * c.sweep / 100) * kPi / 180;
            EXPECT_NEAR(out[i].x, cx + r * std::cos(a), 1e-12);
            EXPECT_NEAR(out[i].y, cy + r * std::sin(a), 1e-12);
            EXPECT_EQ(out[i].z, cz);
        }
    }
}

TEST(SampleArc, ShortArcAcrossZeroPassesThroughZeroDegrees)
{
    Point3 out[kCurveSamples];
    sampleArc(0, 0, 0, 1, 350, 10, false, out);
    EXPECT_NEAR(out[50].x, 1, 1e-12);
    EXPECT_NEAR(out[50].y, 0, 1e-12);
    EXPECT_LT(out[25].y, 0);
    EXPECT_GT(out[75].y, 0);
}

TEST(SampleEllipse, FollowsAxesRotationAndWrap)
{
    const double cx = 1, cy = 2, cz = 3, a = 4, b = 2;
    Point3 out[kCurveSamples];

    // Quarter from the major axis end: rotation by 90 degrees turns it to point up.
    sampleEllipse(cx, cy, cz, a, b, kPi / 2, 0, kPi / 2, false, out);
    EXPECT_NEAR(out[0].x, cx, 1e-12);
    EXPECT_NEAR(out[0].y, cy + a, 1e-12);
    EXPECT_NEAR(out[100].x, cx - b, 1e-12);
    EXPECT_NEAR(out[100].y, cy, 1e-12);
    EXPECT_EQ(out[50].z, cz);

    // End parameter not above the start: one extra turn, so 3pi/2 -> pi/2 passes through 0.
    sampleEllipse(cx, cy, cz, a, b, 0, 3 * kPi / 2, kPi / 2, false, out);
    EXPECT_NEAR(out[50].x, cx + a, 1e-12);
    EXPECT_NEAR(out[50].y, cy, 1e-12);

    for (int i = 0; i < kCurveSamples; i += 10) {
        const Point3 e = ellipsePoint(cx, cy, cz, a, b, 0, 3 * kPi / 2 + i * kPi / 100, false);
        EXPECT_NEAR(out[i].x, e.x, 1e-12);
        EXPECT_NEAR(out[i].y, e.y, 1e-12);
    }
}

TEST(SampleEllipse, MirroredRunsTheOtherWay)
{
    Point3 plain[kCurveSamples], mirrored[kCurveSamples];
    sampleEllipse(0, 0, 0, 4, 2, 0, 0, kPi / 2, false, plain);
    sampleEllipse(0, 0, 0, 4, 2, 0, 0, kPi / 2, true, mirrored);
    for (int i = 0; i < kCurveSamples; ++i) {
        EXPECT_NEAR(mirrored[i].x, plain[i].x, 1e-12);
        EXPECT_NEAR(mirrored[i].y, -plain[i].y, 1e-12);
    }
    EXPECT_NEAR(mirrored[100].y, -2, 1e-12); // clockwise: ends at the bottom
}

// ---------------------------------------------------------------------------------------------
// Bulges

// The 50 inserted points lie on the circle and run monotonically from `from` to `to` (radians,
// unwrapped) in the given direction.
void expectArc(const std::vector<Tmypoi> &ps, std::size_t firstInserted, double cx, double cy,
               double r, double from, double to)
{
    for (int k = 0; k < kBulgePoints; ++k) {
        const Tmypoi &v = ps[firstInserted + k];
        const double a = from + k * (to - from) / (kBulgePoints - 1);
        EXPECT_NEAR(v.x, cx + r * std::cos(a), 1e-9) << "k=" << k;
        EXPECT_NEAR(v.y, cy + r * std::sin(a), 1e-9) << "k=" << k;
    }
}

TEST(ExpandBulges, ArcFollowsBulge)
{
    struct Case {
        double px, py, qx, qy, bulge;
        double cx, cy, r, from, to; // expected circle and unwrapped angles of the inserted points
    };
    const double quarter = std::tan(kPi / 8), threeQuarters = std::tan(3 * kPi / 8);
    const Case cases[] = {
        {0, 0, 10, 0, 1, 5, 0, 5, kPi, 2 * kPi},    // ccw through (5, -5)
        {0, 0, 10, 0, -1, 5, 0, 5, kPi, 0},         // cw through (5, 5)
        {10, 0, 0, 0, 1, 5, 0, 5, 0, kPi},          // ccw through (5, 5)
        {10, 0, 0, 0, -1, 5, 0, 5, 2 * kPi, kPi},   // cw through (5, -5)
        {10, 0, 0, 10, quarter, 0, 0, 10, 0, kPi / 2},
        {10, 0, 0, 10, -quarter, 10, 10, 10, -kPi / 2, -kPi},
        {10, 0, 0, 10, threeQuarters, 10, 10, 10, -kPi / 2, kPi}, // the long way round
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.px << "," << c.py << ") -> (" << c.qx << ","
                                        << c.qy << ") bulge " << c.bulge);
        std::vector<document::FarLines> far;
        Tmypoi p = vertex(c.px, c.py);
        p.z = 2.5;
        p.setwid = true;
        p.linex = 3;
        p.setLines(4, 5, far);
        p.mode = 3;
        Tmypoi q = vertex(c.qx, c.qy);
        q.linex = 9;
        std::vector<Tmypoi> ps{p, q}, snap;
        std::vector<float> widths{0.75f};
        const std::vector<double> exact{c.bulge, 0};
        expandbulges(ps, snap, false, &exact, nullptr, &widths);

        ASSERT_EQ(ps.size(), 52u);
        ASSERT_EQ(widths.size(), 52u);
        EXPECT_EQ(ps[0].linex, 3); // originals stay, lines included
        EXPECT_EQ(ps[0].liney(far), 4);
        EXPECT_EQ(ps[0].linez(far), 5);
        EXPECT_EQ(widths[0], 0.75f);
        EXPECT_EQ(ps[51].x, c.qx);
        EXPECT_EQ(ps[51].linex, 9);
        EXPECT_EQ(widths[51], 0);
        expectArc(ps, 1, c.cx, c.cy, c.r, c.from, c.to);
        for (int k = 1; k <= kBulgePoints; ++k) {
            const Tmypoi &v = ps[k];
            EXPECT_EQ(v.z, 2.5);
            EXPECT_TRUE(v.setwid);
            EXPECT_EQ(widths[static_cast<std::size_t>(k)], 0.75f);
            EXPECT_EQ(v.linex, 0);
            EXPECT_EQ(v.liney(far), 0);
            EXPECT_EQ(v.linez(far), 0);
            EXPECT_EQ(v.mode, 0);
        }
        ASSERT_EQ(snap.size(), 1u);
        EXPECT_NEAR(snap[0].x, c.cx, 1e-9);
        EXPECT_NEAR(snap[0].y, c.cy, 1e-9);
        EXPECT_EQ(snap[0].z, 0);
    }
}

TEST(ExpandBulges, ClosedPolylineExpandsItsClosingSegment)
{
    Tmypoi a = vertex(0, 0);
    a.donotdraw = true;
    a.linex = 7;
    std::vector<Tmypoi> ps{a, vertex(10, 0)}, snap;
    const std::vector<double> bulges{0, 1};
    expandbulges(ps, snap, true, &bulges);

    ASSERT_EQ(ps.size(), 3u + kBulgePoints);
    EXPECT_EQ(ps[1].x, 10); // the first segment has no bulge
    expectArc(ps, 2, 5, 0, 5, 0, kPi); // (10,0) -> (5,5) -> (0,0)
    const Tmypoi &closing = ps.back();
    EXPECT_EQ(closing.x, 0);
    EXPECT_EQ(closing.linex, 7);
    EXPECT_FALSE(closing.donotdraw);
    EXPECT_TRUE(ps.front().donotdraw);
    EXPECT_EQ(snap.size(), 1u);
}

TEST(ExpandBulges, SeveralArcsKeepOrderAndSnapLastFirst)
{
    std::vector<Tmypoi> ps{vertex(0, 0), vertex(10, 0), vertex(20, 0)};
    std::vector<Tmypoi> snap{vertex(-1, -1)}; // existing snap points are kept
    const std::vector<double> bulges{1, -1, 0};
    expandbulges(ps, snap, false, &bulges);

    ASSERT_EQ(ps.size(), 3u + 2 * kBulgePoints);
    expectArc(ps, 1, 5, 0, 5, kPi, 2 * kPi);
    EXPECT_EQ(ps[1 + kBulgePoints].x, 10);
    expectArc(ps, 2 + kBulgePoints, 15, 0, 5, kPi, 0);
    EXPECT_EQ(ps.back().x, 20);
    ASSERT_EQ(snap.size(), 3u);
    EXPECT_EQ(snap[0].x, -1);
    EXPECT_NEAR(snap[1].x, 15, 1e-12);
    EXPECT_NEAR(snap[2].x, 5, 1e-12);
}

TEST(ExpandBulges, StraightSegmentsStayUntouched)
{
    struct Case {
        std::vector<Tmypoi> input;
        std::vector<double> bulges;
    };
    const std::vector<Case> cases = {
        {{vertex(0, 0), vertex(10, 0)}, {}},      // no bulge
        {{vertex(3, 4), vertex(3, 4)}, {1}},      // coincident end points
        {{vertex(3, 4)}, {0.5}},                  // a single vertex has no segment
        {{}, {}},
    };
    for (const auto &c : cases) {
        std::vector<Tmypoi> ps = c.input, snap;
        expandbulges(ps, snap, false, &c.bulges);
        ASSERT_EQ(ps.size(), c.input.size());
        for (std::size_t i = 0; i < ps.size(); ++i) EXPECT_EQ(ps[i].x, c.input[i].x);
        EXPECT_TRUE(snap.empty());
    }
}

// A bulge whose arc leaves its chord by less than the chord tolerance of the polyline's size is a
// rounded 0: the segment stays straight. (At 1e-17 the arc's centre lay 2.5e18 away and its
// points anywhere; at 1e-300 they were NaN.)
TEST(ExpandBulges, ABulgeBelowTheChordToleranceIsStraight)
{
    // A chord of 100: the tolerance is 1e-3, a sagitta of bulge x 50.
    const struct {
        double bulge;
        bool straight;
    } cases[] = {{1e-17, true}, {-1e-17, true}, {1e-300, true}, {-1e-300, true},
                 {1.9e-5, true}, {2.1e-5, false}, {-1e-3, false}, {1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bulge);
        std::vector<Tmypoi> ps = {vertex(0, 0), vertex(100, 0)}, snap;
        const std::vector<double> bulges = {c.bulge};
        expandbulges(ps, snap, false, &bulges);
        EXPECT_EQ(ps.size(), c.straight ? 2u : 2u + kBulgePoints);
        for (const Tmypoi &v : ps) {
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
            // Whatever it is, the segment stays within its sagitta of the chord.
            EXPECT_LE(std::fabs(v.y), std::fabs(c.bulge) * 50 + 1e-9);
            EXPECT_GE(v.x, -1e-9);
            EXPECT_LE(v.x, 100 + 1e-9);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Splines

TEST(MakeKnots, ClampedAndDegenerate)
{
    struct Case {
        int n, t;
        std::vector<double> knots;
    };
    const Case cases[] = {
        {4, 4, {0, 0, 0, 0, 1, 2, 2, 2, 2}},
        {3, 4, {0, 0, 0, 0, 1, 1, 1, 1}},
        {1, 4, {0, 0, 0, 0, -1, -1}}, // fewer control points than the order
        {2, 2, {0, 0, 1, 2, 2}},
    };
    for (const Case &c : cases) {
        std::vector<double> knots(20, 99.0);
        makeknots(knots, c.n, c.t);
        EXPECT_EQ(knots, c.knots) << "n=" << c.n << " t=" << c.t;
    }
}

// The spline sum written with the recursive basis.
Point3 referencePoint(const std::vector<double> &knots, int n, int t, double v,
                      const std::vector<Point3> &ctrl)
{
    Point3 r;
    for (int k = 0; k <= n; ++k) {
        const double b = basisvalue(k, t, knots, v);
        r.x += b * ctrl[k].x;
        r.y += b * ctrl[k].y;
        r.z += b * ctrl[k].z;
    }
    return r;
}

TEST(Spline, EvaluationEqualsRecursiveDefinition)
{
    std::mt19937_64 gen(20240611);
    std::uniform_real_distribution<double> unit(0, 1);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const int t = 1 + static_cast<int>(gen() % 5);
        const int n = static_cast<int>(gen() % 8);
        const int size = n + t + 1;
        std::vector<double> knots(static_cast<std::size_t>(size));
        switch (round % 5) {
        case 0: makeknots(knots, n, t); break; // clamped, or degenerate when n < t - 1
        case 1: // non-decreasing with repeated knots
            for (double &k : knots) k = static_cast<double>(gen() % 4);
            std::sort(knots.begin(), knots.end());
            break;
        case 2: // unclamped, not starting at 0
            for (int i = 0; i < size; ++i) knots[i] = 1.5 + 0.75 * i;
            break;
        case 3: // arbitrary non-decreasing reals
            for (double &k : knots) k = 10 * unit(gen) - 3;
            std::sort(knots.begin(), knots.end());
            break;
        case 4: // out of order, as some files have them
            for (double &k : knots) k = static_cast<double>(gen() % 5) - 1;
            break;
        }
        std::vector<Point3> ctrl(static_cast<std::size_t>(n + 1));
        for (Point3 &p : ctrl) p = {20 * unit(gen) - 10, 20 * unit(gen) - 10, unit(gen)};

        std::vector<double> vs(knots); // every knot value, the last one included
        const double lo = knots.front() - 1, width = knots.back() - knots.front() + 2;
        for (int i = 0; i < 6; ++i) vs.push_back(lo + unit(gen) * width);
        for (int i = 0; i + 1 < size; ++i) vs.push_back((knots[i] + knots[i + 1]) / 2);
        for (double v : vs) {
            const Point3 fast = evalspline(knots, n, t, v, ctrl);
            const Point3 ref = referencePoint(knots, n, t, v, ctrl);
            ASSERT_NEAR(fast.x, ref.x, 1e-9) << "round " << round << " v=" << v;
            ASSERT_NEAR(fast.y, ref.y, 1e-9) << "round " << round << " v=" << v;
            ASSERT_NEAR(fast.z, ref.z, 1e-9) << "round " << round << " v=" << v;
            ++compared;
        }
    }
    EXPECT_GT(compared, 4000);
}

TEST(Spline, LastKnotLiesOutsideTheHalfOpenRange)
{
    const std::vector<Point3> ctrl{{1, 2, 0}, {3, 5, 0}, {6, 1, 0}, {8, 4, 0}};
    const std::vector<double> bezier{0, 0, 0, 0, 1, 1, 1, 1};
    const Point3 atEnd = evalspline(bezier, 3, 4, 1.0, ctrl);
    EXPECT_EQ(atEnd.x, 0);
    EXPECT_EQ(atEnd.y, 0);
}

TEST(SampleSpline, BezierStartsAtFirstAndEndsExactlyAtLastControlPoint)
{
    const std::vector<Point3> ctrl{{1, 2, 3}, {3, 5, 1}, {6, 1, 0}, {8, 4, -2}};
    const std::vector<double> knots{0, 0, 0, 0, 1, 1, 1, 1};
    std::vector<Point3> out;
    samplespline(3, 4, ctrl, kSplineSamples, out, knots);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(kSplineSamples));
    EXPECT_EQ(out.front().x, 1);
    EXPECT_EQ(out.front().y, 2);
    EXPECT_EQ(out.front().z, 3);
    EXPECT_EQ(out.back().x, 8);
    EXPECT_EQ(out.back().y, 4);
    EXPECT_EQ(out.back().z, -2);

    const double h = 1.0 / (kSplineSamples - 1);
    double v = 0;
    for (int i = 0; i + 1 < kSplineSamples; ++i, v += h) {
        const double s = 1 - v;
        const double b[4] = {s * s * s, 3 * s * s * v, 3 * s * v * v, v * v * v};
        double x = 0, y = 0;
        for (int k = 0; k < 4; ++k) {
            x += b[k] * ctrl[k].x;
            y += b[k] * ctrl[k].y;
        }
        EXPECT_NEAR(out[i].x, x, 1e-12) << i;
        EXPECT_NEAR(out[i].y, y, 1e-12) << i;
    }
}

TEST(SampleSpline, SamplesOverTheKnotDomainWhereverItLies)
{
    const std::vector<Point3> ctrl{{1, 2, 0}, {3, 5, 0}, {6, 1, 0}, {8, 4, 0}, {9, 0, 0}};
    struct Case {
        const char *name;
        std::vector<double> knots;
        double from, to; // the domain [u(3), u(5)]
    };
    const Case cases[] = {
        {"clamped, starting at 2", {2, 2, 2, 2, 2.5, 3, 3, 3, 3}, 2, 3},
        {"clamped, below zero", {-0.3, -0.3, -0.3, -0.3, -0.1, 0, 0, 0, 0}, -0.3, 0},
        {"unclamped uniform", {0, 1, 2, 3, 4, 5, 6, 7, 8}, 3, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point3> out;
        samplespline(4, 4, ctrl, kSplineSamples, out, c.knots);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(kSplineSamples));
        const double h = (c.to - c.from) / (kSplineSamples - 1);
        for (int i = 0; i < kSplineSamples; ++i) {
            const double v = i + 1 < kSplineSamples ? c.from + i * h : c.to - 1e-12;
            const Point3 e = referencePoint(c.knots, 4, 4, v, ctrl);
            EXPECT_NEAR(out[i].x, e.x, 1e-9) << i;
            EXPECT_NEAR(out[i].y, e.y, 1e-9) << i;
        }
    }
}

TEST(SampleSpline, HighDegreeKeepsPartitionOfUnity)
{
    // Degree 25 would take ages with the recursion; constant control points must come out as
    // that constant wherever the clamped basis sums to one.
    const int t = kMaxSplineDegree + 1, n = 59;
    std::vector<double> knots;
    makeknots(knots, n, t);
    std::vector<Point3> ctrl(n + 1, Point3{3, -4, 5});
    std::vector<Point3> out;
    samplespline(n, t, ctrl, 1000, out, knots);
    for (const Point3 &p : out) {
        EXPECT_NEAR(p.x, 3, 1e-9);
        EXPECT_NEAR(p.y, -4, 1e-9);
        EXPECT_NEAR(p.z, 5, 1e-9);
    }
}

TEST(SampleSpline, AbsurdInputGivesFirstControlPointWithoutEvaluating)
{
    const std::vector<Point3> ctrl{{1, 2, 3}, {3, 5, 1}, {6, 1, 0}, {8, 4, -2}};
    const std::vector<double> knots{0, 0, 0, 0, 1, 1, 1, 1};
    std::vector<double> huge;
    makeknots(huge, 3, kMaxSplineDegree + 2);
    struct Case {
        int n, t;
        const std::vector<double> *knots;
    };
    const Case cases[] = {
        {3, 0, &knots},                       // no order
        {-1, 4, &knots},                      // no control points
        {3, kMaxSplineDegree + 2, &huge},     // degree beyond the limit
        {4, 4, &knots},                       // knot vector too short
        {5, 2, &huge},                        // more control points than given
        {kMaxSplineControlPoints, 4, &knots}, // beyond the control point limit
    };
    for (const Case &c : cases) {
        std::vector<Point3> out;
        samplespline(c.n, c.t, ctrl, kSplineSamples, out, *c.knots);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(kSplineSamples));
        for (const Point3 &p : out) EXPECT_EQ(p.x, 1) << "n=" << c.n << " t=" << c.t;
    }
}

TEST(SampleSpline, NonFiniteValuesTerminate)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Point3> ctrl{{1, 2, 0}, {3, nan, 0}, {inf, 1, 0}, {8, 4, 0}};
    const std::vector<std::vector<double>> knotSets = {
        {0, 0, 0, 0, 1, 1, 1, 1},
        {0, 0, nan, 0, 1, 1, 1, 1},
        {0, 0, 0, 0, inf, inf, inf, inf},
        {-inf, 0, 0, 0, 1, 1, 1, nan},
    };
    for (const auto &knots : knotSets) {
        std::vector<Point3> out;
        samplespline(3, 4, ctrl, kSplineSamples, out, knots);
        EXPECT_EQ(out.size(), static_cast<std::size_t>(kSplineSamples));
    }
}

// ---------------------------------------------------------------------------------------------
// Fit points

std::vector<Point3> wave(int m)
{
    std::vector<Point3> f;
    for (int i = 0; i < m; ++i) f.push_back({3.0 * i, 8 * std::sin(i * 0.7), 1.25});
    return f;
}

std::vector<Point3> sampleFit(const std::vector<Point3> &cps)
{
    const int n = static_cast<int>(cps.size()) - 1;
    std::vector<double> knots;
    makeknots(knots, n, 4);
    std::vector<Point3> out;
    samplespline(n, 4, cps, 100 * (n + 1), out, knots);
    return out;
}

double worstMiss(const std::vector<Point3> &targets, const std::vector<Point3> &cps)
{
    const std::vector<Point3> curve = sampleFit(cps);
    double worst = 0;
    for (const Point3 &f : targets) worst = std::max(worst, distanceToNearest(curve, f));
    return worst;
}

TEST(FitControlPoints, CorrectionPullsCurveOntoTargets)
{
    const std::vector<Point3> targets = wave(10); // 27 wide, 16 high
    RandomSource rng(7);
    EXPECT_LT(worstMiss(targets, fitcontrolpoints(targets, 0, {}, rng)), 0.03);
}

TEST(FitControlPoints, CurvePassesNearItsTargets)
{
    const std::vector<Point3> targets = wave(10);
    RandomSource rng(7);
    const std::vector<Point3> cps = fitcontrolpoints(targets, 1000, {4}, rng);
    ASSERT_EQ(cps.size(), targets.size());
    for (int i : {0, 4, 9}) { // ends and the fixed index keep their targets
        EXPECT_EQ(cps[i].x, targets[i].x);
        EXPECT_EQ(cps[i].y, targets[i].y);
    }
    for (const Point3 &p : cps) EXPECT_EQ(p.z, 1.25);
    // The search starts from coarse random guesses that ten correction rounds shrink but do not
    // remove, so "near" is a few percent of the drawing's extent here.
    EXPECT_LT(worstMiss(targets, cps), 0.05 * 27);
}

// The fit done the plain way: full sampling for every try and round, a linear nearest-sample
// scan, no shortcuts.
std::vector<Point3> plainFit(const std::vector<Point3> &f, int tries, const std::vector<int> &fixed,
                             RandomSource &rng)
{
    const int m = static_cast<int>(f.size()), res = 100 * m;
    std::vector<Point3> p = f, best, out;
    std::vector<double> knots;
    makeknots(knots, m - 1, 4);
    auto movable = [&](int i) {
        return i > 0 && i < m - 1 && std::find(fixed.begin(), fixed.end(), i) == fixed.end();
    };
    double minX = f[0].x, maxX = f[0].x, minY = f[0].y, maxY = f[0].y;
    for (const Point3 &q : f) {
        minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
    }
    const double w = maxX - minX, hgt = maxY - minY;
    const auto spanX = static_cast<int64_t>(std::nearbyint(w * 1000)); // ties to even
    const auto spanY = static_cast<int64_t>(std::nearbyint(hgt * 1000));
    double bestScore = 0;
    for (int attempt = 0; attempt < tries; ++attempt) {
        for (int i = 0; i < m; ++i) {
            if (!movable(i)) continue;
            p[i].x = rng.next(spanX) / 500.0 + f[i].x - w;
            p[i].y = rng.next(spanY) / 500.0 + f[i].y - hgt;
        }
        samplespline(m - 1, 4, p, res, out, knots);
        double score = 0;
        for (int t = 1; t <= m - 2; ++t) {
            double nearest = INFINITY;
            for (const Point3 &q : out) {
                const double dx = q.x - f[t].x, dy = q.y - f[t].y;
                nearest = std::min(nearest, dx * dx + dy * dy);
            }
            score += nearest;
        }
        if (attempt == 0 || score < bestScore) bestScore = score, best = p;
    }
    if (tries > 0) p = best;
    for (int round = 0; round < 10; ++round) {
        samplespline(m - 1, 4, p, res, out, knots);
        for (int i = 0; i < m; ++i) {
            if (!movable(i)) continue;
            const Point3 &s = out[static_cast<std::size_t>(i) * (res - 1) / (m - 1)];
            p[i].x += f[i].x - s.x;
            p[i].y += f[i].y - s.y;
        }
    }
    return p;
}

TEST(FitControlPoints, SameSeedGivesThePlainSearchAndCorrectionResult)
{
    struct Case {
        int m, tries;
        std::vector<int> fixed;
    };
    const Case cases[] = {
        {4, 50, {}}, {7, 1000, {3}}, {12, 500, {1, 10, 42}}, {9, 0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.m);
        std::vector<Point3> targets;
        for (int i = 0; i < c.m; ++i)
            targets.push_back({7 * std::cos(i * 1.3) + i, 3 * std::sin(i * 0.9), 0.5 * i});
        RandomSource a(11), b(11);
        const std::vector<Point3> fast = fitcontrolpoints(targets, c.tries, c.fixed, a);
        const std::vector<Point3> plain = plainFit(targets, c.tries, c.fixed, b);
        ASSERT_EQ(fast.size(), plain.size());
        for (std::size_t i = 0; i < fast.size(); ++i) {
            EXPECT_EQ(fast[i].x, plain[i].x) << i;
            EXPECT_EQ(fast[i].y, plain[i].y) << i;
            EXPECT_EQ(fast[i].z, plain[i].z) << i;
        }
        EXPECT_EQ(a.next(1 << 30), b.next(1 << 30)); // both drew the same numbers
    }
}

TEST(FitControlPoints, TrivialInputsReturnTargets)
{
    RandomSource rng(1);
    const std::vector<std::vector<Point3>> cases = {{}, {{1, 2, 3}}, {{1, 2, 3}, {4, 5, 6}}};
    for (const auto &targets : cases) {
        const std::vector<Point3> cps = fitcontrolpoints(targets, 1000, {}, rng);
        ASSERT_EQ(cps.size(), targets.size());
        for (std::size_t i = 0; i < cps.size(); ++i) EXPECT_EQ(cps[i].x, targets[i].x);
    }
}

TEST(FitControlPoints, HugeFitReturnsQuickly)
{
    std::vector<Point3> targets;
    for (int i = 0; i < 20000; ++i) targets.push_back({0.5 * i, std::sin(i * 0.01), 0});
    RandomSource rng(3);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<Point3> cps = fitcontrolpoints(targets, 1000, {}, rng);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(cps.size(), targets.size());
    EXPECT_LT(seconds, 5.0); // generous for slow builds; without the bound it runs for days
}

TEST(RandomSource, StaysInRange)
{
    RandomSource rng(5);
    EXPECT_EQ(rng.next(0), 0);
    EXPECT_EQ(rng.next(-3), 0);
    EXPECT_EQ(rng.next(1), 0);
    bool seen[7] = {};
    for (int i = 0; i < 1000; ++i) {
        const int64_t r = rng.next(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        seen[r] = true;
    }
    EXPECT_TRUE(std::all_of(std::begin(seen), std::end(seen), [](bool s) { return s; }));
}

} // namespace
} // namespace quentar::render
