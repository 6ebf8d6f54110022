// The figures a shop checks by hand: exact areas, parts and holes by nesting, contours from loose
// lines, open ends, duplicate cuts, pierces, units and what besides cut contours was measured.
#include "../dxf/dxf_builder.h"
#include "render/measure_drawing.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

using namespace quentar;
using namespace quentar::testing;

namespace {

constexpr double kPi = std::numbers::pi;

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

Groups line(double x1, double y1, double x2, double y2) {
    return {{0, "LINE"}, {8, "0"}, {10, num(x1)}, {20, num(y1)}, {11, num(x2)}, {21, num(y2)}};
}
// A rectangle of four loose lines.
Groups lines(double x0, double y0, double x1, double y1) {
    return concat(
        {line(x0, y0, x1, y0), line(x1, y0, x1, y1), line(x1, y1, x0, y1), line(x0, y1, x0, y0)});
}
Groups polyline(double x0, double y0, double x1, double y1) {
    return {{0, "LWPOLYLINE"}, {8, "0"},      {90, "4"},     {70, "1"},
            {10, num(x0)},     {20, num(y0)}, {10, num(x1)}, {20, num(y0)},
            {10, num(x1)},     {20, num(y1)}, {10, num(x0)}, {20, num(y1)}};
}
Groups polyline(std::initializer_list<std::pair<double, double>> points, bool closed) {
    Groups g{
        {0, "LWPOLYLINE"}, {8, "0"}, {90, std::to_string(points.size())}, {70, closed ? "1" : "0"}};
    for (const auto &[x, y] : points) g.insert(g.end(), {{10, num(x)}, {20, num(y)}});
    return g;
}
Groups arc(double cx, double cy, double r, double fromDegrees, double toDegrees) {
    return {{0, "ARC"},          {8, "0"},     {10, num(cx)},
            {20, num(cy)},       {40, num(r)}, {50, num(fromDegrees)},
            {51, num(toDegrees)}};
}
Groups circle(double cx, double cy, double r) {
    return {{0, "CIRCLE"}, {8, "0"}, {10, num(cx)}, {20, num(cy)}, {40, num(r)}};
}
Groups header(int insunits) {
    return {{0, "SECTION"},
            {2, "HEADER"},
            {9, "$INSUNITS"},
            {70, std::to_string(insunits)},
            {0, "ENDSEC"}};
}

struct Case {
    const char *name;
    Groups drawing; // a whole file
    double netArea; // mm²
    int parts, holes, pierces, openEnds;
    double duplicateLength = 0;
    double konturlang = -1;        // mm; -1: not checked
    const char *warning = nullptr; // a warning code that must be given
    render::MeasureOptions options = {};
    double overshoot = 0; // mm running on from closed contours
    // Relative tolerances: circles are walked as chords, and where two of them cross the crossing
    // lies on the chords.
    double lengthTolerance = 1e-9, areaTolerance = 1e-9;
};

std::vector<Case> cases() {
    const double gap = 0.05;
    std::vector<Case> c;
    c.push_back(
        {"rectangle of lines with two round holes",
         entitiesSection(concat({lines(0, 0, 100, 50), circle(25, 25, 5), circle(70, 25, 10)})),
         5000 - 25 * kPi - 100 * kPi, 1, 2, 3, 0});
    c.push_back({"two separate parts add up",
                 entitiesSection(concat({lines(0, 0, 100, 50), polyline(200, 0, 260, 40)})),
                 5000 + 2400, 2, 0, 2, 0});
    c.push_back({"a hole with an island in it",
                 entitiesSection(
                     concat({polyline(0, 0, 100, 100), circle(50, 50, 30), circle(50, 50, 10)})),
                 10000 - 900 * kPi + 100 * kPi, 2, 1, 3, 0});
    c.push_back({"a hole of a millimetre in a 500 mm part",
                 entitiesSection(concat({polyline(0, 0, 500, 300), circle(250, 150, 0.5)})),
                 150000 - 0.25 * kPi, 1, 1, 2, 0});
    c.push_back({"an outline with a gap of 0.05 mm",
                 entitiesSection(concat({line(0, 0, 100, 0), line(100, 0, 100, 50),
                                         line(100, 50, 0, 50), line(0, 50, 0, gap)})),
                 0, 0, 0, 1, 2, 0, 300 - gap, "open-ends"});
    c.push_back({"an outline whose end misses its start by a millionth",
                 entitiesSection({{0, "LWPOLYLINE"},
                                  {90, "5"},
                                  {10, "0"},
                                  {20, "0"},
                                  {10, "100"},
                                  {20, "0"},
                                  {10, "100"},
                                  {20, "50"},
                                  {10, "0"},
                                  {20, "50"},
                                  {10, "0"},
                                  {20, "0.000001"}}),
                 5000, 1, 0, 1, 0});
    c.push_back({"the same outline drawn twice",
                 entitiesSection(concat({polyline(0, 0, 100, 50), polyline(0, 0, 100, 50)})), 5000,
                 1, 0, 1, 0, 300, 300, "duplicates"});
    c.push_back({"two parts sharing an edge",
                 entitiesSection(concat({lines(0, 0, 100, 50), line(100, 0, 160, 0),
                                         line(160, 0, 160, 50), line(160, 50, 100, 50)})),
                 8000, 2, 0, 2, 0});
    // Solids and regions are not read: the plate is measured, and the figures say what is missing.
    c.push_back(
        {"entities of kinds that are not read",
         entitiesSection(concat(
             {polyline(0, 0, 100, 50), Groups{{0, "3DSOLID"}, {8, "0"}, {1, "ACIS data"}},
              Groups{{0, "REGION"}, {8, "0"}, {70, "1"}}, Groups{{0, "3DSOLID"}, {8, "0"}}})),
         5000, 1, 0, 1, 0, 0, 300, "not-read"});
    c.push_back({"a drawing in inches", concat({header(1), entitiesSection(polyline(0, 0, 4, 2))}),
                 4 * 2 * 25.4 * 25.4, 1, 0, 1, 0, 0, 12 * 25.4, "units-scaled"});
    c.push_back(
        {"a drawing without a unit set up imperial",
         concat(
             {Groups{{0, "SECTION"}, {2, "HEADER"}, {9, "$MEASUREMENT"}, {70, "0"}, {0, "ENDSEC"}},
              entitiesSection(polyline(0, 0, 4, 2))}),
         8, 1, 0, 1, 0, 0, 12, "units-imperial"});
    Case inches{"a drawing in inches measured as millimetres",
                concat({header(1), entitiesSection(polyline(0, 0, 4, 2))}),
                8,
                1,
                0,
                1,
                0,
                0,
                12,
                "units-ignored"};
    inches.options.units = render::UnitChoice::Millimetres;
    c.push_back(inches);
    const Groups dimension{{0, "DIMENSION"}, {8, "0"},    {70, "1"},  {10, "0"},
                           {20, "60"},       {11, "50"},  {21, "60"}, {13, "0"},
                           {23, "50"},       {14, "100"}, {24, "50"}, {42, "100"}};
    Case all{"a dimension counts apart from the cut",
             entitiesSection(concat({polyline(0, 0, 100, 50), dimension})),
             5000,
             1,
             0,
             1,
             0,
             0,
             -1,
             "not-cut"};
    all.options.cutContoursOnly = false;
    c.push_back(all);
    c.push_back({"a dimension left out when only cut contours count",
                 entitiesSection(concat({polyline(0, 0, 100, 50), dimension})), 5000, 1, 0, 1, 0, 0,
                 300});

    // Stretches drawn twice, crossings and contours closing on themselves.
    const double pi = kPi;
    c.push_back({.name = "a line over part of an edge",
                 .drawing = entitiesSection(concat({polyline(0, 0, 100, 50), line(20, 0, 70, 0)})),
                 .netArea = 5000,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .duplicateLength = 50,
                 .konturlang = 300,
                 .warning = "duplicates"});
    c.push_back(
        {.name = "two closed outlines sharing an edge",
         .drawing = entitiesSection(concat({polyline(0, 0, 100, 50), polyline(100, 0, 160, 50)})),
         .netArea = 8000,
         .parts = 2,
         .holes = 0,
         .pierces = 2,
         .openEnds = 0,
         .duplicateLength = 50,
         .konturlang = 470,
         .warning = "duplicates"});
    c.push_back({.name = "an arc over a quarter of a round hole",
                 .drawing = entitiesSection(
                     concat({polyline(0, 0, 100, 50), circle(50, 25, 10), arc(50, 25, 10, 0, 90)})),
                 .netArea = 5000 - 100 * pi,
                 .parts = 1,
                 .holes = 1,
                 .pierces = 2,
                 .openEnds = 0,
                 .duplicateLength = 5 * pi,
                 .konturlang = 300 + 20 * pi,
                 .warning = "duplicates",
                 .lengthTolerance = 5e-4});
    c.push_back({.name = "an open outline ending on its start",
                 .drawing = entitiesSection(
                     polyline({{0, 0}, {100, 0}, {100, 50}, {0, 50}, {0, 0}}, false)),
                 .netArea = 5000,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .konturlang = 300});
    c.push_back({.name = "an open outline with a lead in, ending on its own path",
                 .drawing = entitiesSection(polyline(
                     {{50, -10}, {50, 0}, {100, 0}, {100, 50}, {0, 50}, {0, 0}, {50, 0}}, false)),
                 .netArea = 5000,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .konturlang = 310,
                 .warning = "overshoots",
                 .overshoot = 10});
    c.push_back({.name = "an open outline ending half way up its own side",
                 .drawing = entitiesSection(
                     polyline({{0, 0}, {100, 0}, {100, 50}, {0, 50}, {0, 25}, {100, 25}}, false)),
                 .netArea = 2500,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .konturlang = 375,
                 .warning = "overshoots",
                 .overshoot = 125});
    c.push_back({.name = "a bow tie is its two loops",
                 .drawing = entitiesSection(polyline({{0, 0}, {100, 50}, {100, 0}, {0, 50}}, true)),
                 .netArea = 2500,
                 .parts = 2,
                 .holes = 0,
                 .pierces = 2,
                 .openEnds = 0,
                 .konturlang = 100 + 2 * std::hypot(100.0, 50.0)});
    // The half of the circle outside the outline and the side inside the circle are cut but
    // enclose nothing of the part.
    c.push_back({.name = "a circle across the outline cuts a notch",
                 .drawing = entitiesSection(concat({polyline(0, 0, 100, 50), circle(100, 25, 10)})),
                 .netArea = 5000 - 50 * pi,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .konturlang = 300 + 20 * pi,
                 .warning = "overshoots",
                 .overshoot = 20 + 10 * pi,
                 .lengthTolerance = 5e-4,
                 .areaTolerance = 1e-7});
    // The lens two circles of radius 10 at 10 apart share: 2 r² acos(1/2) - 5 sqrt(300).
    const double lens = 200 * std::acos(0.5) - 5 * std::sqrt(300.0);
    c.push_back({.name = "two overlapping round holes are one hole",
                 .drawing = entitiesSection(
                     concat({polyline(0, 0, 100, 50), circle(40, 25, 10), circle(50, 25, 10)})),
                 .netArea = 5000 - (200 * pi - lens),
                 .parts = 1,
                 .holes = 1,
                 .pierces = 2,
                 .openEnds = 0,
                 .konturlang = 300 + 40 * pi,
                 .lengthTolerance = 5e-4,
                 .areaTolerance = 1e-6});
    c.push_back({.name = "four lines overshooting at the corners make one part",
                 .drawing = entitiesSection(concat({line(-5, 0, 105, 0), line(100, -5, 100, 55),
                                                    line(105, 50, -5, 50), line(0, 55, 0, -5)})),
                 .netArea = 5000,
                 .parts = 1,
                 .holes = 0,
                 .pierces = 1,
                 .openEnds = 0,
                 .konturlang = 340,
                 .warning = "overshoots",
                 .overshoot = 40});
    return c;
}

class Contours : public ::testing::TestWithParam<Case> {};

TEST_P(Contours, AsCountedByHand) {
    const Case &c = GetParam();
    auto d = read(c.drawing);
    const render::DrawingMeasurement m = render::measureDrawing(d, c.options);
    const contours::ContourAnalysis &a = m.figures.analysis;
    EXPECT_NEAR(m.netArea, c.netArea, std::max(1.0, c.netArea) * c.areaTolerance);
    EXPECT_EQ(a.parts, c.parts);
    EXPECT_EQ(a.holes, c.holes);
    EXPECT_EQ(a.pierces, c.pierces);
    // Ends of stretches running on from a closed contour are not open ends of the cut.
    EXPECT_EQ(a.openEndCount - a.attachedEndCount, c.openEnds);
    const double lengthTolerance = c.lengthTolerance;
    EXPECT_NEAR(a.duplicateLength * m.scale, c.duplicateLength,
                std::max(1.0, c.duplicateLength) * lengthTolerance);
    if (c.konturlang >= 0) {
        EXPECT_NEAR(m.konturlang, c.konturlang, std::max(1.0, c.konturlang) * lengthTolerance);
    }
    EXPECT_NEAR(a.attachedLength * m.scale, c.overshoot,
                std::max(1.0, c.overshoot) * lengthTolerance);
    bool warned = false;
    for (const auto &w : m.warnings) warned = warned || (c.warning && w.code == c.warning);
    if (c.warning) {
        EXPECT_TRUE(warned) << c.warning;
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, Contours, ::testing::ValuesIn(cases()), [](const auto &info) {
    std::string n = info.param.name;
    for (char &ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
});

const contours::ContourAnalysis *warnedOf(const render::DrawingMeasurement &m, const char *code) {
    for (const auto &w : m.warnings)
        if (w.code == code) return &m.figures.analysis;
    return nullptr;
}

// Lines crossing each other beyond the bound of work: length and size are exact, the blank is
// charged, parts and holes are not made up, and the figures are only partial.
TEST(Contours, CrossingsBeyondTheBoundGiveLengthAndSizeAlone) {
    Groups g;
    double length = 0, minx = 1e9, maxx = -1e9, miny = 1e9, maxy = -1e9;
    uint32_t seed = 1;
    auto next = [&] { // a small linear congruential generator: the same lines everywhere
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % 100000 / 100.0;
    };
    for (int i = 0; i < 1000; ++i) {
        const double x1 = next(), y1 = next(), x2 = next(), y2 = next();
        const Groups l = line(x1, y1, x2, y2);
        g.insert(g.end(), l.begin(), l.end());
        length += std::hypot(x2 - x1, y2 - y1);
        minx = std::min({minx, x1, x2});
        maxx = std::max({maxx, x1, x2});
        miny = std::min({miny, y1, y2});
        maxy = std::max({maxy, y1, y2});
    }
    auto d = read(entitiesSection(g));
    const render::DrawingMeasurement m = render::measureDrawing(d, {});
    ASSERT_NE(warnedOf(m, "contours-not-computed"), nullptr);
    EXPECT_TRUE(m.partial);
    EXPECT_NEAR(m.konturlang, length, length * 1e-9);
    EXPECT_NEAR(m.maxx - m.minx, maxx - minx, 1e-9);
    EXPECT_NEAR(m.maxy - m.miny, maxy - miny, 1e-9);
    EXPECT_NEAR(m.netArea, (maxx - minx) * (maxy - miny), 1e-6);
    EXPECT_EQ(m.figures.analysis.parts, 0);
    EXPECT_TRUE(m.areas.empty());
}

// Arrays nested to a hundred million copies of a part: each block is walked once, the copies
// are counted by its length and box.
TEST(Contours, NestedArraysAreCountedByTheirBlocksLengthAndBox) {
    auto minsert = [](const char *name, int side, double spacing) {
        return Groups{{0, "INSERT"},
                      {8, "0"},
                      {2, name},
                      {10, "0"},
                      {20, "0"},
                      {70, std::to_string(side)},
                      {71, std::to_string(side)},
                      {44, num(spacing)},
                      {45, num(spacing)}};
    };
    auto block = [](const char *name, const Groups &content) {
        return concat({Groups{{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}},
                       content, Groups{{0, "ENDBLK"}, {8, "0"}}});
    };
    auto d = read(concat({Groups{{0, "SECTION"}, {2, "BLOCKS"}},
                          block("P", concat({polyline(0, 0, 6, 4), circle(3, 2, 1)})),
                          block("A", minsert("P", 100, 10)), Groups{{0, "ENDSEC"}},
                          entitiesSection(minsert("A", 100, 1000))}));
    const render::DrawingMeasurement m = render::measureDrawing(d, {});
    ASSERT_NE(warnedOf(m, "contours-not-computed"), nullptr);
    EXPECT_TRUE(m.partial);
    // 10^8 copies of 20 mm of outline and a hole of radius 1 (walked as chords).
    EXPECT_NEAR(m.konturlang, 1e8 * (20 + 2 * kPi), 1e8 * (20 + 2 * kPi) * 5e-4);
    EXPECT_LE(m.konturlang, 1e8 * (20 + 2 * kPi));
    EXPECT_NEAR(m.minx, 0, 1e-9);
    EXPECT_NEAR(m.miny, 0, 1e-9);
    EXPECT_NEAR(m.maxx, 99 * 1000 + 99 * 10 + 6, 1e-6);
    EXPECT_NEAR(m.maxy, 99 * 1000 + 99 * 10 + 4, 1e-6);
    EXPECT_EQ(m.figures.analysis.parts, 0);
}

TEST(Contours, AreasDoNotFollowTheView) {
    // The same drawing measured at another zoom (another paint box) gives the same areas.
    auto d = read(entitiesSection(concat({polyline(0, 0, 500, 300), circle(250, 150, 0.5)})));
    render::ContourFigures a, b;
    render::ViewState v1, v2;
    v1.zoomedvalue = 7;
    v2.zoomedvalue = 90000;
    render::Vorschaubild(d, 0, v1, false, 96, nullptr, a);
    render::Vorschaubild(d, 0, v2, false, 96, nullptr, b);
    EXPECT_EQ(a.areas(), b.areas());
    EXPECT_EQ(a.analysis.netArea, b.analysis.netArea);
}

TEST(Contours, TheGapIsReportedWhereItIs) {
    auto d = read(entitiesSection(concat(
        {line(0, 0, 100, 0), line(100, 0, 100, 50), line(100, 50, 0, 50), line(0, 50, 0, 0.05)})));
    const render::DrawingMeasurement m = render::measureDrawing(d, {});
    const auto &ends = m.figures.analysis.openEnds;
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_NEAR(std::min(ends[0].y, ends[1].y), 0, 1e-12);
    EXPECT_NEAR(std::max(ends[0].y, ends[1].y), 0.05, 1e-12);
    EXPECT_NEAR(ends[0].nearest, 0.05, 1e-12);
}

// Both languages name the first three ends and then say there are more; the German decimal comma
// applies to the numbers only.
TEST(Contours, OpenEndsAreListedInBothLanguages) {
    auto d = read(entitiesSection(concat({line(0, 0, 10.5, 0), line(20, 0, 30, 0)})));
    const render::DrawingMeasurement m = render::measureDrawing(d, {});
    const render::MeasureWarning *w = nullptr;
    for (const auto &x : m.warnings)
        if (x.code == "open-ends") w = &x;
    ASSERT_NE(w, nullptr);
    EXPECT_NE(w->english.find("(0, 0), (10.5, 0), (20, 0), ..."), std::string::npos) << w->english;
    EXPECT_NE(w->german.find("(0; 0); (10,5; 0); (20; 0); ..."), std::string::npos) << w->german;
}

} // namespace
