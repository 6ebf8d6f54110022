// Splines over their knot domain: rational evaluation, sampling density, budget and closing.
#include "geometry/spline_sampling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace quentar::render {
namespace {

const double kS = std::sqrt(0.5);

// The definition: sum of N(k) w(k) P(k) over sum of N(k) w(k), with the recursive basis.
Point3 rationalReference(int degree, const std::vector<Point3> &ctrl,
                         const std::vector<double> &knots, const std::vector<double> &w, double v) {
    Point3 r;
    double sum = 0;
    for (std::size_t k = 0; k < ctrl.size(); ++k) {
        const double b =
            basisvalue(static_cast<int>(k), degree + 1, knots, v) * (w.empty() ? 1.0 : w[k]);
        r.x += b * ctrl[k].x;
        r.y += b * ctrl[k].y;
        r.z += b * ctrl[k].z;
        sum += b;
    }
    return {r.x / sum, r.y / sum, r.z / sum};
}

double chordLength(const std::vector<Point3> &pts) {
    double l = 0;
    for (std::size_t i = 1; i < pts.size(); ++i)
        l += std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
    return l;
}

// The length of a spline sampled far finer than anyone would draw it: 200,000 steps, at least 400
// per knot span.
double fineLength(const SplineData &s) {
    const std::size_t n = s.control.size();
    const int steps = std::max<int>(400, 200000 / static_cast<int>(n - s.degree));
    double l = 0;
    Point3 prev = splinePointAt(s.degree, s.control, s.knots, s.weights, s.knots[s.degree]);
    for (std::size_t j = static_cast<std::size_t>(s.degree); j < n; ++j) {
        const double a = s.knots[j], b = s.knots[j + 1];
        if (!(a < b)) continue;
        for (int i = 1; i <= steps; ++i) {
            const Point3 q = splinePointAt(s.degree, s.control, s.knots, s.weights,
                                           i == steps ? b : a + (b - a) * i / steps);
            l += std::hypot(q.x - prev.x, q.y - prev.y);
            prev = q;
        }
    }
    return l;
}

std::vector<double> clampedKnots(int count, int degree) {
    std::vector<double> k;
    makeknots(k, count - 1, degree + 1);
    return k;
}

// A full circle of radius 25 about (50, 40) as a rational quadratic spline, clamped.
SplineData circle() {
    SplineData s;
    s.degree = 2;
    s.control = {{75, 40, 0}, {75, 65, 0}, {50, 65, 0}, {25, 65, 0}, {25, 40, 0},
                 {25, 15, 0}, {50, 15, 0}, {75, 15, 0}, {75, 40, 0}};
    s.knots = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4};
    s.weights = {1, kS, 1, kS, 1, kS, 1, kS, 1};
    return s;
}

// A wavy open outline of 400 control points.
SplineData wave() {
    SplineData s;
    for (int i = 0; i < 400; ++i)
        s.control.push_back({2.0 * i, 30 * std::sin(i * 0.9) + 8 * std::cos(i * 2.3), 0});
    s.knots = clampedKnots(400, 3);
    return s;
}

// The same outline closed: three control points repeated and a uniform knot vector.
SplineData periodicHexagon() {
    SplineData s;
    for (int i = 0; i < 9; ++i)
        s.control.push_back({30 * std::cos(i * M_PI / 3), 30 * std::sin(i * M_PI / 3), 0});
    for (int i = 0; i < 13; ++i) s.knots.push_back(i);
    s.closed = true;
    return s;
}

TEST(SplinePointAt, EqualsTheRationalDefinition) {
    std::mt19937_64 gen(77);
    std::uniform_real_distribution<double> unit(0, 1);
    int compared = 0;
    for (int round = 0; round < 300; ++round) {
        const int degree = 1 + static_cast<int>(gen() % 5);
        const int count = degree + 1 + static_cast<int>(gen() % 6);
        std::vector<double> knots(static_cast<std::size_t>(count + degree + 1));
        switch (round % 3) {
        case 0: knots = clampedKnots(count, degree); break;
        case 1: // unclamped uniform, not starting at 0
            for (std::size_t i = 0; i < knots.size(); ++i) knots[i] = -2.5 + 0.5 * i;
            break;
        case 2: // arbitrary non-decreasing reals, repeats included
            for (double &k : knots) k = std::round(8 * unit(gen)) / 2 - 1;
            std::sort(knots.begin(), knots.end());
            if (!hasKnotDomain(degree, count, knots)) continue;
            break;
        }
        std::vector<Point3> ctrl(static_cast<std::size_t>(count));
        for (Point3 &p : ctrl) p = {20 * unit(gen) - 10, 20 * unit(gen) - 10, unit(gen)};
        std::vector<double> w;
        if (round % 2) {
            for (int i = 0; i < count; ++i) w.push_back(0.2 + 5 * unit(gen));
        }
        const double lo = knots[degree], hi = knots[count];
        for (int i = 0; i < 12; ++i) {
            const double v = lo + (hi - lo) * unit(gen);
            const Point3 fast = splinePointAt(degree, ctrl, knots, w, v);
            const Point3 ref = rationalReference(degree, ctrl, knots, w, v);
            ASSERT_NEAR(fast.x, ref.x, 1e-9) << "round " << round << " v=" << v;
            ASSERT_NEAR(fast.y, ref.y, 1e-9) << "round " << round << " v=" << v;
            ASSERT_NEAR(fast.z, ref.z, 1e-9) << "round " << round << " v=" << v;
            ++compared;
        }
    }
    EXPECT_GT(compared, 2500);
}

TEST(SampleSplineCurve, RationalCircleIsACircleAndTheWeightsMatter) {
    SplineData s = circle();
    std::vector<Point3> out;
    const SplineSampling r = sampleSplineCurve(s, 100000, out);
    EXPECT_EQ(r.shape, SplineShape::Curve);
    ASSERT_GT(out.size(), 100u);
    for (const Point3 &q : out) EXPECT_NEAR(std::hypot(q.x - 50, q.y - 40), 25, 1e-9);
    EXPECT_NEAR(chordLength(out), 2 * M_PI * 25, 2 * M_PI * 25 * 5e-4);

    // Without its weights the same control polygon is a rounded square, not the circle.
    s.weights.clear();
    sampleSplineCurve(s, 100000, out);
    double worst = 0;
    for (const Point3 &q : out)
        worst = std::max(worst, std::fabs(std::hypot(q.x - 50, q.y - 40) - 25));
    EXPECT_GT(worst, 1.0);
}

TEST(SampleSplineCurve, LengthIsWithinTheQuotationTolerance) {
    struct Case {
        const char *name;
        SplineData spline;
    };
    SplineData gentle;
    for (int i = 0; i < 12; ++i) gentle.control.push_back({10.0 * i, 20 * std::sin(i * 0.7), 0});
    gentle.knots = clampedKnots(12, 3);
    SplineData cusp; // two coincident inner control points make a cusp
    cusp.control = {{0, 0, 0}, {10, 20, 0}, {20, 0, 0}, {20, 0, 0}, {30, 20, 0}, {40, 0, 0}};
    cusp.knots = clampedKnots(6, 3);
    SplineData degree7;
    for (int i = 0; i < 15; ++i)
        degree7.control.push_back({std::cos(i * 0.5) * (20 + i), std::sin(i * 0.5) * (20 + i), 0});
    degree7.degree = 7;
    degree7.knots = clampedKnots(15, 7);
    SplineData heavy = gentle; // weights far from one pull the curve hard onto some points
    for (int i = 0; i < 12; ++i) heavy.weights.push_back(i % 3 == 0 ? 40.0 : 0.05);
    const Case cases[] = {{"400 control points", wave()}, {"gentle", gentle},
                          {"rational circle", circle()},  {"cusp", cusp},
                          {"degree 7", degree7},          {"heavy weights", heavy},
                          {"periodic", periodicHexagon()}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point3> out;
        const SplineSampling r = sampleSplineCurve(c.spline, kMaxSplineSamples, out);
        EXPECT_EQ(r.shape, SplineShape::Curve);
        EXPECT_FALSE(r.cut);
        const double truth = fineLength(c.spline);
        EXPECT_NEAR(chordLength(out), truth, truth * 5e-4);
    }
}

TEST(SampleSplineCurve, SplinesWithoutACurve) {
    struct Case {
        const char *name;
        SplineData spline;
        SplineShape shape;
        std::size_t samples;
        bool weightsIgnored;
    };
    auto spline = [](int degree, std::vector<Point3> control, std::vector<double> knots = {},
                     std::vector<double> weights = {}, bool closed = false) {
        SplineData s;
        s.degree = degree;
        s.control = std::move(control);
        s.knots = std::move(knots);
        s.weights = std::move(weights);
        s.closed = closed;
        return s;
    };
    const std::vector<Point3> four{{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}};
    const std::vector<Point3> three{{0, 0, 0}, {5, 5, 0}, {10, 0, 0}};
    const Case cases[] = {
        {"no control point", spline(3, {}), SplineShape::TooFewPoints, 0, false},
        {"one control point", spline(3, {{4, 5, 6}}), SplineShape::TooFewPoints, 0, false},
        {"degree 0", spline(0, four), SplineShape::Unsupported, 0, false},
        {"degree beyond the limit", spline(kMaxSplineDegree + 1, four), SplineShape::Unsupported, 0,
         false},
        {"two control points at degree 3", spline(3, {{5, 5, 0}, {35, 45, 0}}),
         SplineShape::ControlPolygon, 2, false},
        {"closed, fewer control points than the order", spline(3, three, {}, {}, true),
         SplineShape::ControlPolygon, 4, false},
        {"all knots equal", spline(3, four, {1, 1, 1, 1, 1, 1, 1, 1}), SplineShape::ControlPolygon,
         4, false},
        {"decreasing knots", spline(3, four, {0, 0, 0, 0, 1, 1, 0.5, 1}),
         SplineShape::ControlPolygon, 4, false},
        {"a weight of zero", spline(3, four, {}, {1, 0, 1, 1}), SplineShape::Curve, 0, true},
        {"weights too few", spline(3, four, {}, {1, 2, 1}), SplineShape::Curve, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point3> out{{9, 9, 9}};
        const SplineSampling r = sampleSplineCurve(c.spline, 1000, out);
        EXPECT_EQ(r.shape, c.shape);
        EXPECT_EQ(r.weightsIgnored, c.weightsIgnored);
        EXPECT_FALSE(r.cut);
        if (c.shape == SplineShape::Curve) {
            // Drawn as the non-rational curve.
            SplineData plain = c.spline;
            plain.weights.clear();
            std::vector<Point3> expected;
            sampleSplineCurve(plain, 1000, expected);
            ASSERT_EQ(out.size(), expected.size());
            for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].x, expected[i].x);
            continue;
        }
        ASSERT_EQ(out.size(), c.samples);
        for (std::size_t i = 0; i < c.spline.control.size() && i < out.size(); ++i) {
            EXPECT_EQ(out[i].x, c.spline.control[i].x);
            EXPECT_EQ(out[i].y, c.spline.control[i].y);
        }
        if (c.spline.closed) {
            EXPECT_EQ(out.back().x, out.front().x);
            EXPECT_EQ(out.back().y, out.front().y);
        }
    }
}

TEST(SampleSplineCurve, EqualWeightsAreTheNonRationalCurveExactly) {
    SplineData s = wave();
    std::vector<Point3> plain, weighted;
    sampleSplineCurve(s, kMaxSplineSamples, plain);
    s.weights.assign(s.control.size(), 2.5);
    const SplineSampling r = sampleSplineCurve(s, kMaxSplineSamples, weighted);
    EXPECT_FALSE(r.weightsIgnored);
    ASSERT_EQ(plain.size(), weighted.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(plain[i].x, weighted[i].x);
        EXPECT_EQ(plain[i].y, weighted[i].y);
    }
}

TEST(SampleSplineCurve, BudgetCutsTheSamplingButKeepsItsEnds) {
    const SplineData s = wave();
    std::vector<Point3> full;
    sampleSplineCurve(s, kMaxSplineSamples, full);
    const auto needed = static_cast<int64_t>(full.size());
    const Point3 start = splinePointAt(3, s.control, s.knots, {}, 0);
    const Point3 end = splinePointAt(3, s.control, s.knots, {}, 1e9);
    struct Case {
        int64_t budget;
        bool cut;
    };
    const Case cases[] = {
        {needed, false}, {needed - 1, true}, {needed / 2, true}, {needed / 20, true}, {2, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.budget);
        std::vector<Point3> out;
        const SplineSampling r = sampleSplineCurve(s, c.budget, out);
        EXPECT_EQ(r.cut, c.cut);
        ASSERT_LE(static_cast<int64_t>(out.size()), c.budget);
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out.front().x, start.x);
        EXPECT_EQ(out.back().x, end.x);
        EXPECT_EQ(out.back().y, end.y);
    }
    std::vector<Point3> none{{1, 1, 1}};
    EXPECT_TRUE(sampleSplineCurve(s, 1, none).cut);
    EXPECT_TRUE(none.empty());
}

TEST(SampleSplineCurve, ClosedSplinesEndOnTheirFirstSample) {
    struct Case {
        const char *name;
        SplineData spline;
        bool closingSide; // the curve does not return: a straight side closes it
    };
    SplineData nearlyClosed = circle(); // its last control point a rounding away from the first
    nearlyClosed.control.back().y += 1e-9;
    nearlyClosed.closed = true;
    SplineData roundedEnds = circle(); // no flag: ends that meet by rounding are made equal
    SplineData openCurve;
    openCurve.degree = 2;
    openCurve.control = {{4.3, 42, 0}, {98.5, 84.6, 0}, {231.7, -7, 0}, {113.5, 46.2, 0}};
    openCurve.knots = {0, 0, 0, 0.5, 1, 1, 1};
    openCurve.closed = true;
    const Case cases[] = {{"periodic, control points repeated", periodicHexagon(), false},
                          {"closed, last control point a rounding off", nearlyClosed, false},
                          {"ends meeting without a flag", roundedEnds, false},
                          {"closed flag on an open curve", openCurve, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point3> out;
        sampleSplineCurve(c.spline, kMaxSplineSamples, out);
        ASSERT_GT(out.size(), 3u);
        EXPECT_EQ(out.back().x, out.front().x);
        EXPECT_EQ(out.back().y, out.front().y);
        EXPECT_EQ(out.back().z, out.front().z);
        SplineData open = c.spline;
        open.closed = false;
        std::vector<Point3> unclosed;
        sampleSplineCurve(open, kMaxSplineSamples, unclosed);
        EXPECT_EQ(out.size(), unclosed.size() + (c.closingSide ? 1 : 0));
    }

    // With no room left for the closing side the last sample moves onto the first.
    std::vector<Point3> full;
    sampleSplineCurve(openCurve, kMaxSplineSamples, full);
    std::vector<Point3> out;
    const SplineSampling r =
        sampleSplineCurve(openCurve, static_cast<int64_t>(full.size()) - 1, out);
    EXPECT_TRUE(r.cut);
    EXPECT_EQ(out.back().x, out.front().x);
}

} // namespace
} // namespace quentar::render
