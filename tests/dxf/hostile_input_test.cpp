// Customer files are untrusted: absurd input is read as far as sensible, never crashes or hangs.
#include "dxf_builder.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;

namespace {

Groups controlPoints(int count) {
    Groups g;
    for (int i = 0; i < count; ++i) {
        g.push_back({10, std::to_string(i)});
        g.push_back({20, std::to_string(i % 7)});
    }
    return g;
}

Groups repeat(int code, const std::string &value, int count) {
    return Groups(static_cast<std::size_t>(count), Group{code, value});
}

} // namespace

TEST(HostileInput, AbsurdSplinesAreReadWithoutSampling) {
    struct Case {
        const char *name;
        Groups entity;
        int expectVertices; // -1: any
    };
    const std::vector<Case> cases{
        {"degree 500", concat({{{0, "SPLINE"}, {71, "500"}}, controlPoints(4)}), 4},
        {"degree -3", concat({{{0, "SPLINE"}, {71, "-3"}}, controlPoints(4)}), 4},
        {"a million knots",
         concat({{{0, "SPLINE"}, {71, "3"}}, repeat(40, "1", 1000000), controlPoints(4)}), -1},
        {"equal knots", concat({{{0, "SPLINE"}, {71, "3"}}, repeat(40, "1", 8), controlPoints(4)}),
         8},
        {"decreasing knots",
         concat({{{0, "SPLINE"}, {71, "3"}}, repeat(40, "1e300", 4), repeat(40, "-1e300", 4),
                 controlPoints(4)}),
         8},
        {"knots beyond reason",
         concat({{{0, "SPLINE"}, {71, "3"}}, repeat(40, "-1e300", 4), repeat(40, "1e300", 4),
                 controlPoints(4)}),
         -1},
        {"weights beyond reason",
         concat({{{0, "SPLINE"}, {71, "3"}}, repeat(41, "1e-300", 2), repeat(41, "1e300", 2),
                 controlPoints(4)}),
         -1},
        {"20000 fit points",
         concat({{{0, "SPLINE"}, {71, "3"}},
                 [] {
                     Groups g;
                     for (int i = 0; i < 20000; ++i) {
                         g.push_back({11, std::to_string(i)});
                         g.push_back({21, std::to_string((i * 37) % 11)});
                     }
                     return g;
                 }()}),
         -1},
        {"fewer control points than its order", concat({{{0, "SPLINE"}}, controlPoints(2)}), 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto d = read(entitiesSection(c.entity));
        ASSERT_EQ(d.anzpoly, 1);
        if (c.expectVertices >= 0) {
            EXPECT_EQ(d.polys[0].anzp, c.expectVertices);
        }
        for (int i = 0; i < d.polys[0].anzp; ++i) {
            EXPECT_TRUE(std::isfinite(d.polys[0].p(i).x));
        }
    }
}

TEST(HostileInput, BrokenValuesAndStructure) {
    const std::vector<std::pair<const char *, std::string>> cases{
        {"nan and inf coordinates",
         dxfText(entitiesSection({{0, "LINE"}, {10, "nan"}, {10, "1e999"}, {10, "1"}, {11, "-inf"}}))},
        {"group code without value", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n 10"},
        {"odd codes", dxfText(entitiesSection({{0, "LINE"}, {999999, "x"}, {-5, "1"}}))},
        {"huge handles",
         dxfText(entitiesSection({{0, "LINE"}, {5, "FFFFFFFFFFFFFFFFFFFF"}, {5, "7FFFFFFF"}}))},
        {"table without end", dxfText({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"},
                                       {0, "LAYER"}, {2, "A"}})},
        {"bulge of a million", dxfText(entitiesSection({{0, "LWPOLYLINE"}, {10, "0"}, {20, "0"},
                                                        {42, "1e6"}, {10, "1"}, {20, "0"}}))},
        {"hatch path with lone bulges",
         dxfText(entitiesSection({{0, "HATCH"}, {42, "1"}, {91, "1"}, {42, "5"}}))},
        {"only blanks", std::string(1000, ' ')},
        {"binary noise", std::string("\0\xff\r\n\x01\n\n\r\r", 10)},
    };
    for (const auto &[name, text] : cases) {
        SCOPED_TRACE(name);
        auto d = readText(text);
        EXPECT_EQ(static_cast<std::size_t>(d.anzpoly), d.polys.size());
        for (const auto &p : d.polys) {
            for (int i = 0; i < p.anzp; ++i) EXPECT_FALSE(std::isnan(p.p(i).x));
        }
    }
}

TEST(HostileInput, VertexBudgetBoundsMemory) {
    // 200,000 circles would sample into 20 million vertices; the read stops sampling at its budget.
    Groups circles;
    for (int i = 0; i < 130000; ++i) {
        circles.push_back({0, "CIRCLE"});
        circles.push_back({40, "1"});
    }
    auto d = read(entitiesSection(circles));
    EXPECT_EQ(d.anzpoly, 130000);
    int64_t vertices = 0;
    for (const auto &p : d.polys) vertices += p.anzp;
    EXPECT_LE(vertices, dxf::kMaxVerticesPerRead);
}

TEST(HostileInput, CoordinatesBeyondAnyDrawingAreLeftOutAndSaidSo) {
    // 1e308 converts, but scaled by 25.4 for inches or subtracted from -1e308 it is infinite.
    const std::vector<std::pair<const char *, Groups>> cases{
        {"spline control point",
         {{0, "SPLINE"}, {71, "3"}, {10, "0"}, {20, "0"}, {10, "1e308"}, {20, "5"}, {10, "20"},
          {20, "0"}, {10, "30"}, {20, "5"}}},
        {"spline fit point",
         {{0, "SPLINE"}, {71, "3"}, {11, "0"}, {21, "0"}, {11, "10"}, {21, "1e308"}, {11, "20"},
          {21, "0"}}},
        {"ellipse centre",
         {{0, "ELLIPSE"}, {10, "1e308"}, {20, "0"}, {11, "10"}, {21, "0"}, {40, "0.5"}}},
        {"viewport centre",
         {{0, "VIEWPORT"}, {10, "148.5"}, {20, "1e308"}, {40, "297"}, {41, "210"}, {69, "2"}}},
        {"dimension point",
         {{0, "DIMENSION"}, {70, "0"}, {10, "0"}, {20, "0"}, {13, "-1e308"}, {23, "0"},
          {14, "1e308"}, {24, "0"}}},
        {"wipeout origin",
         {{0, "WIPEOUT"}, {10, "1e308"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"}, {22, "1"},
          {14, "0"}, {24, "0"}, {14, "1"}, {24, "1"}}},
    };
    for (const auto &[name, entity] : cases) {
        SCOPED_TRACE(name);
        auto d = read(entitiesSection(entity));
        ASSERT_EQ(d.anzpoly, 1);
        const auto &p = d.polys[0];
        EXPECT_TRUE(p.readIssues & document::kIssueAbsurdValue);
        for (int i = 0; i < p.anzp; ++i) {
            EXPECT_LT(std::fabs(p.p(i).x), 1e13);
            EXPECT_LT(std::fabs(p.p(i).y), 1e13);
        }
    }
}

TEST(HostileInput, CoordinateLinesFarFromTheirXLineAreKeptExactly) {
    // Hundreds of groups between the coordinates of one point: each line still names its value.
    const Groups gap = repeat(100, "AcDbEntity", 700);
    const std::vector<std::pair<const char *, Groups>> cases{
        {"polyline vertex", concat({{{0, "LWPOLYLINE"}, {10, "1"}, {20, "2"}, {10, "3"}}, gap,
                                    {{20, "4"}}, gap, {{30, "5"}, {10, "6"}, {20, "7"}}})},
        {"circle centre, y before x", concat({{{0, "CIRCLE"}, {20, "7"}}, gap, {{10, "5"}}, gap,
                                              {{30, "9"}, {40, "1"}}})},
        {"spline control point",
         concat({{{0, "SPLINE"}, {71, "3"}, {10, "0"}, {20, "0"}, {10, "1"}}, gap,
                 {{20, "1"}, {30, "8"}, {10, "2"}, {20, "0"}, {10, "3"}, {20, "1"}}})},
    };
    for (const auto &[name, entity] : cases) {
        SCOPED_TRACE(name);
        auto d = read(entitiesSection(entity));
        ASSERT_EQ(d.anzpoly, 1);
        const auto &p = d.polys[0];
        EXPECT_EQ(p.readIssues, 0);
        // The value line of each coordinate holds that coordinate, after a code of its axis.
        auto holds = [&](int32_t rel, char axis, double value) {
            if (rel == 0) return true;
            const auto line = static_cast<std::size_t>(p.absLine(rel));
            return std::stod(std::string(d.dxf[line])) == value &&
                   document::trimLine(d.dxf[line - 1]).front() == axis;
        };
        int far = 0, lines = 0;
        for (int i = 0; i < p.anzp; ++i) {
            const auto &v = p.p(i);
            if (v.linex == 0 || v.mode != 0) continue; // grips name their radius or angle
            ++lines;
            far += v.linesFar();
            EXPECT_TRUE(holds(v.linex, '1', v.x)) << i;
            EXPECT_TRUE(holds(p.geom->liney(v), '2', v.y)) << i;
            EXPECT_TRUE(holds(p.geom->linez(v), '3', v.z)) << i;
            EXPECT_NE(p.geom->liney(v), 0) << i;
        }
        EXPECT_GT(lines, 0);
        EXPECT_GT(far, 0);
    }
}
