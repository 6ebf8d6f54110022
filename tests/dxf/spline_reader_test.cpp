// SPLINE entities measured as the curve their file describes, and the warnings where there is none.
#include "document/dxf_file.h"
#include "dxf_builder.h"
#include "render/view.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;
using document::ReadIssue;

namespace {

// What the calculator takes over from a drawing: measured at a zoom at which the whole-pixel
// rounding of y (1e-4 drawing units here) does not show in the areas.
render::ContourFigures measure(document::Drawing &d) {
    render::ContourFigures f;
    render::ViewState v;
    v.zoomedvalue = 1e6;
    v.horzPosition = v.vertPosition = 0;
    render::Vorschaubild(d, 0, v, false, 96, nullptr, f);
    return f;
}

// One small drawing per way a spline used to be measured wrong (tests/fixtures/splines, written by
// make_fixtures.py there). The figures are ezdxf 0.18.1's (python3-ezdxf) for the same files:
// the spline flattened to 1e-7 of its control polygon's size, its box, and the shoelace area of a
// spline that closes. Where ezdxf has no answer they are by hand, and so is the closing side of a
// closed spline whose curve does not return (ezdxf leaves it open).
struct Fixture {
    const char *file;
    double length;
    double minx, miny, maxx, maxy;
    double area; // 0: the spline does not close
    uint16_t issues;
};

const Fixture kFixtures[] = {
    // A quarter circle of radius 10 as a rational quadratic: 5 pi long.
    {"rational_quarter_arc.dxf", 15.70796288, 0, 0, 10, 10, 0, 0},
    // A full circle of radius 25: 50 pi long, 625 pi in area.
    {"rational_circle_closed.dxf", 157.0796288, 25, 15, 75, 65, 1963.495215, 0},
    // A full ellipse of semi-axes 40 and 20 turned by 30 degrees: 800 pi in area.
    {"rational_ellipse.dxf", 193.7689557, 83.94448725, 53.54249034, 156.0555128, 106.4575097,
     2513.273434, 0},
    // Knots from -0.3 to 0 (was a line from the origin).
    {"knots_below_zero.dxf", 26.92002445, 0, -0.659564808, 24, 4.548453362, 0, 0},
    // Knots 0 ... 10 unclamped: the domain [3, 7].
    {"unclamped_uniform.dxf", 59.83448226, 10, 2.428081036, 59.16666667, 17.5, 0, 0},
    // Two control points at degree 3: the straight control polygon from (5,5) to (35,45), by hand.
    {"two_points_degree3.dxf", 50, 5, 5, 35, 45, 0, document::kIssueSplineControlPolygon},
    // Closed and periodic, control points repeated, uniform knots.
    {"closed_periodic_wrapped.dxf", 156.7471843, 175, -24.89823036, 225, 24.89823036, 1955.052008,
     0},
    // Closed flag on a curve that does not return: the curve and its closing side.
    {"closed_flag_open_curve.dxf", 391.3657085, 4.3, 17.61172214, 189.1019478, 62.52894096,
     2494.91675, 0},
    // 400 control points (100 samples came out 46 % short).
    {"many_control_points.dxf", 6230.227459, 0, -29.70518906, 798, 32.05015757, 0, 0},
};

void PrintTo(const Fixture &f, std::ostream *os) { *os << f.file; }

class SplineFixture : public ::testing::TestWithParam<Fixture> {};

} // namespace

TEST_P(SplineFixture, MeasuresAsTheIndependentLibrary) {
    const Fixture &fx = GetParam();
    document::Drawing d;
    ASSERT_TRUE(
        document::loadDxfLines(std::string(QUENTAR_FIXTURES_DIR) + "/splines/" + fx.file, d));
    dxf::processdxf(d);
    ASSERT_EQ(d.anzpoly, 1);
    const document::tpoly &e = d.polys[0];
    EXPECT_EQ(e.readIssues, fx.issues);

    const render::ContourFigures f = measure(d);
    EXPECT_NEAR(f.konturlang, fx.length, fx.length * 5e-4);
    const double size = std::max(fx.maxx - fx.minx, fx.maxy - fx.miny);
    EXPECT_NEAR(f.konturminx, fx.minx, size * 5e-4);
    EXPECT_NEAR(f.konturminy, fx.miny, size * 5e-4);
    EXPECT_NEAR(f.konturmaxx, fx.maxx, size * 5e-4);
    EXPECT_NEAR(f.konturmaxy, fx.maxy, size * 5e-4);
    const std::vector<double> areas = f.areas();
    if (fx.area == 0) {
        EXPECT_TRUE(areas.empty());
    } else {
        ASSERT_EQ(areas.size(), 1u);
        // Chords cut inside the curve: an area misses about four times the length's share, a
        // thin one (the open curve closed by a side) a few times more.
        EXPECT_NEAR(areas[0], fx.area, fx.area * 5e-3);
    }

    // The curve first, then every control point hidden with its lines: the editor's grips.
    int hidden = 0;
    for (int i = 0; i < e.anzp; ++i) {
        const document::Tmypoi &v = e.p(i);
        if (!v.donotdraw) {
            EXPECT_EQ(hidden, 0) << "a drawn vertex after a control point, at " << i;
            continue;
        }
        ++hidden;
        const std::string_view xLine = d.dxf[static_cast<std::size_t>(e.absLine(v.linex) - 1)];
        EXPECT_EQ(document::trimLine(xLine), "10");
        EXPECT_EQ(e.absLine(e.geom->liney(v)), e.absLine(v.linex) + 2);
    }
    EXPECT_GT(hidden, 0);
    EXPECT_GE(e.anzp - hidden, 2);
}

INSTANTIATE_TEST_SUITE_P(Splines, SplineFixture, ::testing::ValuesIn(kFixtures),
                         [](const auto &info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

TEST(SplineReader, WarningsWhereThereIsNoCurve) {
    struct Case {
        const char *name;
        Groups groups;
        uint16_t issues;
        int drawn, hidden;
    };
    auto controlPoints = [](int count) {
        Groups g;
        for (int i = 0; i < count; ++i) {
            g.push_back({10, std::to_string(3 * i + 5)});
            g.push_back({20, std::to_string(i % 2 + 5)});
        }
        return g;
    };
    auto fitPoints = [](int count) {
        Groups g;
        for (int i = 0; i < count; ++i) {
            g.push_back({11, std::to_string(3 * i + 5)});
            g.push_back({21, std::to_string(i % 2 + 5)});
        }
        return g;
    };
    const Case cases[] = {
        {"no points at all", {{0, "SPLINE"}, {71, "3"}}, document::kIssueSplineTooFewPoints, 0, 0},
        {"one control point", concat({{{0, "SPLINE"}}, controlPoints(1)}),
         document::kIssueSplineTooFewPoints, 0, 1},
        {"degree 30", concat({{{0, "SPLINE"}, {71, "30"}}, controlPoints(40)}),
         document::kIssueSplineUnsupported, 0, 40},
        {"degree 0", concat({{{0, "SPLINE"}, {71, "0"}}, controlPoints(4)}),
         document::kIssueSplineUnsupported, 0, 4},
        {"three control points at degree 3", concat({{{0, "SPLINE"}}, controlPoints(3)}),
         document::kIssueSplineControlPolygon, 3, 3},
        {"a negative weight",
         concat({{{0, "SPLINE"}, {41, "1"}, {41, "-2"}, {41, "1"}, {41, "1"}}, controlPoints(4)}),
         document::kIssueAbsurdValue, -1, 4},
        {"one fit point", concat({{{0, "SPLINE"}}, fitPoints(1)}),
         document::kIssueSplineTooFewPoints, 0, 0},
        {"two fit points are a straight line", concat({{{0, "SPLINE"}}, fitPoints(2)}), 0, 2, 0},
        {"three fit points", concat({{{0, "SPLINE"}}, fitPoints(3)}),
         document::kIssueSplineControlPolygon, 3, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const document::Drawing d = read(entitiesSection(c.groups));
        ASSERT_EQ(d.anzpoly, 1);
        const document::tpoly &e = d.polys[0];
        EXPECT_EQ(e.readIssues, c.issues);
        int drawn = 0, hidden = 0;
        for (int i = 0; i < e.anzp; ++i) (e.p(i).donotdraw ? hidden : drawn) += 1;
        if (c.drawn >= 0) {
            EXPECT_EQ(drawn, c.drawn);
        }
        EXPECT_EQ(hidden, c.hidden);
        // Nothing is ever invented at the origin (the points of these splines lie about (5, 5)).
        for (int i = 0; i < e.anzp; ++i) {
            EXPECT_FALSE(e.p(i).x == 0 && e.p(i).y == 0) << i;
        }
    }
}

TEST(SplineReader, PeriodicFlagAloneClosesTheSpline) {
    // A closed cubic through a square's corners written with a uniform knot vector and its first
    // three control points repeated, flagged periodic only.
    Groups g{{0, "SPLINE"}, {70, "2"}, {71, "3"}};
    for (int i = 0; i < 11; ++i) g.push_back({40, std::to_string(i)});
    const int xs[] = {0, 40, 40, 0, 0, 40, 40}, ys[] = {0, 0, 40, 40, 0, 0, 40};
    for (int i = 0; i < 7; ++i) {
        g.push_back({10, std::to_string(xs[i])});
        g.push_back({20, std::to_string(ys[i])});
    }
    document::Drawing d = read(entitiesSection(g));
    ASSERT_EQ(d.anzpoly, 1);
    const document::tpoly &e = d.polys[0];
    EXPECT_TRUE(e.isclosed);
    EXPECT_EQ(e.rausx(), e.reinx());
    EXPECT_EQ(e.rausy(), e.reiny());
    // ezdxf 0.18.1, as for the fixtures above.
    const render::ContourFigures f = measure(d);
    EXPECT_NEAR(f.konturlang, 116.822932, 116.822932 * 5e-4);
    ASSERT_EQ(f.areas().size(), 1u);
    EXPECT_NEAR(f.areas()[0], 1084.444151, 1084.444151 * 1e-3);
}
