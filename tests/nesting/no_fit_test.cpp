// No-fit polygons from convex pieces against the sweep of the whole outline: the same region for
// convex, non-convex, pocketed and finely sampled parts, and pieces that tile their ring.
#include "nesting/convex_parts.h"
#include "nesting/shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace quentar::nesting::detail {
namespace {

Ring star(int points, double outer, double inner) {
    Ring r;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = std::numbers::pi * i / points, rad = i % 2 ? inner : outer;
        r.push_back({rad * std::cos(a), rad * std::sin(a)});
    }
    return r;
}

Ring circle(double radius, int n) { return star(n / 2, radius, radius); }

double area(const cl::Paths &ps) {
    double a = 0;
    for (const cl::Path &p : ps) a += cl::Area(p);
    return a;
}

// Area of the region in one and not the other.
double differenceArea(const cl::Paths &a, const cl::Paths &b) {
    cl::Clipper c;
    c.AddPaths(a, cl::ptSubject, true);
    c.AddPaths(b, cl::ptClip, true);
    cl::Paths x;
    c.Execute(cl::ctXor, x, cl::pftNonZero, cl::pftNonZero);
    return std::abs(area(x));
}

TEST(NoFitPolygon, ConvexPiecesGiveTheSweptRegion) {
    struct Case {
        const char *name;
        Polygon fixed, moving;
        bool pocket = false;
    };
    const Polygon l{{{0, 0}, {200, 0}, {200, 100}, {100, 100}, {100, 200}, {0, 200}}, {}, 0};
    // A cup whose mouth is narrower than its inside: a closed pocket for a small part.
    const Polygon cup{{{0, 0},
                       {300, 0},
                       {300, 300},
                       {180, 300},
                       {180, 280},
                       {280, 280},
                       {280, 20},
                       {20, 20},
                       {20, 280},
                       {120, 280},
                       {120, 300},
                       {0, 300}},
                      {},
                      0};
    const Polygon square{{{0, 0}, {80, 0}, {80, 80}, {0, 80}}, {}, 0};
    const std::vector<Case> cases{
        {"L and L", l, l},
        {"star and L", {star(7, 120, 45), {}, 0}, l},
        {"circle and star", {circle(90, 180), {}, 0}, {star(5, 60, 25), {}, 0}},
        {"cup and square", cup, square, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (double turn : {0.0, 90.0, 33.0}) {
            SCOPED_TRACE(turn);
            const OrientedShape a = orient(c.fixed, 0, 1.5, false);
            const OrientedShape b = orient(c.moving, turn, 1.5, false);
            ASSERT_FALSE(a.pieces.empty());
            ASSERT_FALSE(b.pieces.empty());
            OrientedShape sweptA = a, sweptB = b;
            sweptA.pieces.clear();
            sweptB.pieces.clear();
            cl::Paths fast = noFitPolygon(a, b);
            const cl::Paths swept = noFitPolygon(sweptA, sweptB);
            // The sweep drops every hole (its specks cannot be told from pockets); the pieces
            // keep the closed pocket of the cup, where the square fits but cannot get out.
            const auto holes =
                std::erase_if(fast, [](const cl::Path &p) { return cl::Area(p) < 0; });
            EXPECT_EQ(holes, c.pocket ? 1u : 0u);
            EXPECT_LT(differenceArea(fast, swept), 1e-6 * std::abs(area(swept)));
        }
    }
}

TEST(NoFitPolygon, PiecesTileTheRing) {
    for (const Ring &r : {star(9, 100, 20), circle(50, 120), star(3, 300, 299)}) {
        const OrientedShape s = orient({r, {}, 0}, 0, 0, false);
        double sum = 0;
        for (const cl::Path &p : s.pieces) {
            EXPECT_TRUE(cl::Orientation(p));
            sum += cl::Area(p);
        }
        EXPECT_DOUBLE_EQ(sum, cl::Area(s.outer));
        cl::Paths pieces(s.pieces.begin(), s.pieces.end());
        EXPECT_LT(differenceArea(pieces, {s.outer}), 1);
    }
}

} // namespace
} // namespace quentar::nesting::detail
