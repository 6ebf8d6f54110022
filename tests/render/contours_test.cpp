// The figures a shop checks by hand: exact areas, parts and holes by nesting, contours from loose
// lines, open ends, duplicate cuts, pierces, units and what besides cut contours was measured.
#include "../dxf/dxf_builder.h"
#include "render/measure_drawing.h"

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
    return {{0, "LINE"}, {8, "0"},      {10, num(x1)}, {20, num(y1)},
            {11, num(x2)}, {21, num(y2)}};
}
// A rectangle of four loose lines.
Groups lines(double x0, double y0, double x1, double y1) {
    return concat({line(x0, y0, x1, y0), line(x1, y0, x1, y1), line(x1, y1, x0, y1),
                   line(x0, y1, x0, y0)});
}
Groups polyline(double x0, double y0, double x1, double y1) {
    return {{0, "LWPOLYLINE"}, {8, "0"},       {90, "4"},     {70, "1"},
            {10, num(x0)},     {20, num(y0)}, {10, num(x1)}, {20, num(y0)},
            {10, num(x1)},     {20, num(y1)}, {10, num(x0)}, {20, num(y1)}};
}
Groups circle(double cx, double cy, double r) {
    return {{0, "CIRCLE"}, {8, "0"}, {10, num(cx)}, {20, num(cy)}, {40, num(r)}};
}
Groups header(int insunits) {
    return {{0, "SECTION"}, {2, "HEADER"}, {9, "$INSUNITS"}, {70, std::to_string(insunits)},
            {0, "ENDSEC"}};
}

struct Case {
    const char *name;
    Groups drawing; // a whole file
    double netArea; // mm²
    int parts, holes, pierces, openEnds;
    double duplicateLength = 0;
    double konturlang = -1; // mm; -1: not checked
    const char *warning = nullptr; // a warning code that must be given
    render::MeasureOptions options = {};
};

std::vector<Case> cases() {
    const double gap = 0.05;
    std::vector<Case> c;
    c.push_back({"rectangle of lines with two round holes",
                 entitiesSection(concat({lines(0, 0, 100, 50), circle(25, 25, 5), circle(70, 25, 10)})),
                 5000 - 25 * kPi - 100 * kPi, 1, 2, 3, 0});
    c.push_back({"two separate parts add up",
                 entitiesSection(concat({lines(0, 0, 100, 50), polyline(200, 0, 260, 40)})),
                 5000 + 2400, 2, 0, 2, 0});
    c.push_back({"a hole with an island in it",
                 entitiesSection(concat({polyline(0, 0, 100, 100), circle(50, 50, 30),
                                         circle(50, 50, 10)})),
                 10000 - 900 * kPi + 100 * kPi, 2, 1, 3, 0});
    c.push_back({"a hole of a millimetre in a 500 mm part",
                 entitiesSection(concat({polyline(0, 0, 500, 300), circle(250, 150, 0.5)})),
                 150000 - 0.25 * kPi, 1, 1, 2, 0});
    c.push_back({"an outline with a gap of 0.05 mm",
                 entitiesSection(concat({line(0, 0, 100, 0), line(100, 0, 100, 50),
                                         line(100, 50, 0, 50), line(0, 50, 0, gap)})),
                 0, 0, 0, 1, 2, 0, 300 - gap, "open-ends"});
    c.push_back({"an outline whose end misses its start by a millionth",
                 entitiesSection({{0, "LWPOLYLINE"}, {90, "5"}, {10, "0"}, {20, "0"}, {10, "100"},
                                  {20, "0"}, {10, "100"}, {20, "50"}, {10, "0"}, {20, "50"},
                                  {10, "0"}, {20, "0.000001"}}),
                 5000, 1, 0, 1, 0});
    c.push_back({"the same outline drawn twice",
                 entitiesSection(concat({polyline(0, 0, 100, 50), polyline(0, 0, 100, 50)})),
                 5000, 1, 0, 1, 0, 300, 300, "duplicates"});
    c.push_back({"two parts sharing an edge",
                 entitiesSection(concat({lines(0, 0, 100, 50), line(100, 0, 160, 0),
                                         line(160, 0, 160, 50), line(160, 50, 100, 50)})),
                 8000, 2, 0, 2, 0});
    // Solids and regions are not read: the plate is measured, and the figures say what is missing.
    c.push_back({"entities of kinds that are not read",
                 entitiesSection(concat({polyline(0, 0, 100, 50),
                                         Groups{{0, "3DSOLID"}, {8, "0"}, {1, "ACIS data"}},
                                         Groups{{0, "REGION"}, {8, "0"}, {70, "1"}},
                                         Groups{{0, "3DSOLID"}, {8, "0"}}})),
                 5000, 1, 0, 1, 0, 0, 300, "not-read"});
    c.push_back({"a drawing in inches", concat({header(1), entitiesSection(polyline(0, 0, 4, 2))}),
                 4 * 2 * 25.4 * 25.4, 1, 0, 1, 0, 0, 12 * 25.4, "units-scaled"});
    c.push_back({"a drawing without a unit set up imperial",
                 concat({Groups{{0, "SECTION"}, {2, "HEADER"}, {9, "$MEASUREMENT"}, {70, "0"},
                                {0, "ENDSEC"}},
                         entitiesSection(polyline(0, 0, 4, 2))}),
                 8, 1, 0, 1, 0, 0, 12, "units-imperial"});
    Case inches{"a drawing in inches measured as millimetres",
                concat({header(1), entitiesSection(polyline(0, 0, 4, 2))}), 8, 1, 0, 1, 0, 0, 12,
                "units-ignored"};
    inches.options.units = render::UnitChoice::Millimetres;
    c.push_back(inches);
    const Groups dimension{{0, "DIMENSION"}, {8, "0"},  {70, "1"},  {10, "0"},  {20, "60"},
                           {11, "50"},       {21, "60"}, {13, "0"},  {23, "50"}, {14, "100"},
                           {24, "50"},       {42, "100"}};
    Case all{"a dimension counts apart from the cut",
             entitiesSection(concat({polyline(0, 0, 100, 50), dimension})), 5000, 1, 0, 1, 0, 0,
             -1, "not-cut"};
    all.options.cutContoursOnly = false;
    c.push_back(all);
    c.push_back({"a dimension left out when only cut contours count",
                 entitiesSection(concat({polyline(0, 0, 100, 50), dimension})), 5000, 1, 0, 1, 0,
                 0, 300});
    return c;
}

class Contours : public ::testing::TestWithParam<Case> {};

TEST_P(Contours, AsCountedByHand) {
    const Case &c = GetParam();
    auto d = read(c.drawing);
    const render::DrawingMeasurement m = render::measureDrawing(d, c.options);
    const contours::ContourAnalysis &a = m.figures.analysis;
    EXPECT_NEAR(m.netArea, c.netArea, std::max(1.0, c.netArea) * 1e-9);
    EXPECT_EQ(a.parts, c.parts);
    EXPECT_EQ(a.holes, c.holes);
    EXPECT_EQ(a.pierces, c.pierces);
    EXPECT_EQ(a.openEnds.size(), static_cast<std::size_t>(c.openEnds));
    EXPECT_NEAR(a.duplicateLength * m.scale, c.duplicateLength, 1e-9);
    if (c.konturlang >= 0) {
        EXPECT_NEAR(m.konturlang, c.konturlang, 1e-9);
    }
    bool warned = false;
    for (const auto &w : m.warnings) warned = warned || (c.warning && w.code == c.warning);
    if (c.warning) {
        EXPECT_TRUE(warned) << c.warning;
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, Contours, ::testing::ValuesIn(cases()),
                         [](const auto &info) {
                             std::string n = info.param.name;
                             for (char &ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

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
    auto d = read(entitiesSection(concat({line(0, 0, 100, 0), line(100, 0, 100, 50),
                                          line(100, 50, 0, 50), line(0, 50, 0, 0.05)})));
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
