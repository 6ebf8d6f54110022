// What is priced is what is cut: hidden content, pieces of no length, spline frames, meshes,
// centre and dashed lines, a part drawn on a sheet only; each beside the same plate, with the
// figures worked out by hand (and agreeing with ezdxf, see tests/peer). Written by
// tests/fixtures/drawings/make_what_is_cut.py.
#include "../dxf/dxf_builder.h"
#include "document/dxf_file.h"
#include "render/measure_drawing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

using namespace quentar;
using namespace quentar::testing;

namespace {

constexpr double kPi = std::numbers::pi;
// The plate: 100 x 50 with a round hole of radius 10.
constexpr double kPlateLength = 300 + 20 * kPi;
constexpr double kPlateArea = 5000 - 100 * kPi;

struct Case {
    const char *name;
    const char *file;
    bool allContours;
    double length; // the true length; the chords of sampled curves come within 0.05 %
    double minx, miny, maxx, maxy;
    double netArea;
    int parts, holes, pierces;
    const char *warning; // code of a warning that must be given
    const char *says;    // and a part of its English text
    int tab = 0;
};

// A hole drawn as 36 fitted points of a spline-fit polyline: a 36-gon of radius 10.
const double kFittedHole = 72 * 10 * std::sin(kPi / 36);
const double kFittedHoleArea = 18 * 100 * std::sin(2 * kPi / 36);

const Case kCases[] = {
    // A frame of 400 x 300 (1400) and a title block inserted (160) on frozen layers, an
    // invisible line (200), lines on Defpoints (30) and on a layer not plotted (40).
    {"hidden content", "hidden_content.dxf", false, kPlateLength, 0, 0, 100, 50, kPlateArea, 1, 1,
     2, "hidden",
     "1830 mm of hidden content are not cut and left out: frozen layer \"FRAME\" 1400"},
    {"hidden content with all contours", "hidden_content.dxf", true, kPlateLength, 0, 0, 100, 50,
     kPlateArea, 1, 1, 2, "hidden", "invisible entities 200 mm (1 entity)"},
    // A line, a circle, an arc and a polyline of no length, far away.
    {"pieces of no length", "zero_length.dxf", false, kPlateLength, 0, 0, 100, 50, kPlateArea, 1, 1,
     2, "zero-length", "4 entities of no length"},
    // The hole as a closed spline-fit polyline with its 40 x 40 frame; a curve-fit half circle
    // of radius 10 from (130, 10) to (130, 30) beside the plate, open.
    {"spline-fit and curve-fit polylines", "spline_fit_polylines.dxf", false,
     300 + kFittedHole + 10 * kPi, 0, 0, 140, 50, 5000 - kFittedHoleArea, 1, 1, 3, "open-ends",
     "(130, 10), (130, 30)"},
    // A 3 x 3 polygon mesh 100 x 100 and a polyface of one face, 50 x 80: their vertices walked
    // as drawn make 300 + 2 sqrt(50² + 100²) and 180.
    {"polygon and polyface meshes", "meshes.dxf", false, kPlateLength, 0, 0, 100, 50, kPlateArea, 1,
     1, 2, "not-cut", "meshes"},
    {"meshes with all contours", "meshes.dxf", true,
     kPlateLength + 300 + 2 * std::sqrt(12500.0) + 180, -100, 0, 300, 100, kPlateArea, 1, 1, 2,
     "not-cut", "meshes (surfaces) 703.61 mm"},
    // Centre marks 40 + 40 + 120 and a bend line of 60 on a layer drawn hidden, reaching beyond
    // the plate.
    {"centre marks and a bend line", "centre_lines.dxf", false, kPlateLength, 0, 0, 100, 50,
     kPlateArea, 1, 1, 2, "dashed-lines", "260 mm drawn with a centre, hidden or dashed"},
    {"centre marks with all contours", "centre_lines.dxf", true, kPlateLength + 260, -10, -5, 110,
     55, kPlateArea, 1, 1, 2, "not-cut", "centre, hidden and dashed lines 260 mm"},
    {"dimensions, a hatch and a frozen frame", "part_dimensions_hatch_frozen_frame.dxf", false,
     kPlateLength, 0, 0, 100, 50, kPlateArea, 1, 1, 2, "hidden", "frozen layer \"FRAME\" 1000 mm"},
    {"the plate drawn on a sheet only", "paper_space_only.dxf", false, kPlateLength, 0, 0, 100, 50,
     kPlateArea, 1, 1, 2, "paper-space", "measured from layout \"Layout1\" (--tab 1)", 1},
};

class WhatIsCut : public ::testing::TestWithParam<Case> {};

TEST_P(WhatIsCut, OnlyTheCutIsPriced) {
    const Case &c = GetParam();
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(std::string(QUENTAR_FIXTURES_DIR "/drawings/") + c.file, d));
    dxf::processdxf(d);
    render::MeasureOptions o;
    o.cutContoursOnly = !c.allContours;
    const render::DrawingMeasurement m = render::measureDrawing(d, o);
    const contours::ContourAnalysis &a = m.figures.analysis;
    EXPECT_EQ(m.tab, c.tab);
    EXPECT_NEAR(m.konturlang, c.length, c.length * 5e-4);
    EXPECT_LE(m.konturlang, c.length + 1e-9); // chords never exceed the curve
    EXPECT_NEAR(m.minx, c.minx, 1e-9);
    EXPECT_NEAR(m.miny, c.miny, 1e-9);
    EXPECT_NEAR(m.maxx, c.maxx, 1e-9);
    EXPECT_NEAR(m.maxy, c.maxy, 1e-9);
    EXPECT_NEAR(m.netArea, c.netArea, c.netArea * 1e-9);
    EXPECT_EQ(a.parts, c.parts);
    EXPECT_EQ(a.holes, c.holes);
    EXPECT_EQ(a.pierces, c.pierces);
    std::string said;
    for (const auto &w : m.warnings)
        if (w.code == c.warning) said += w.english + "\n";
    EXPECT_NE(said.find(c.says), std::string::npos) << c.warning << ": " << said;
}

INSTANTIATE_TEST_SUITE_P(Drawings, WhatIsCut, ::testing::ValuesIn(kCases), [](const auto &info) {
    std::string n = info.param.name;
    for (char &ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
});

// Where the hidden content and the pieces of no length lie, for the breakdown.
TEST(WhatIsCut, HiddenContentAndPiecesOfNoLengthAreListed) {
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(
        std::string(QUENTAR_FIXTURES_DIR "/drawings/hidden_content.dxf"), d));
    dxf::processdxf(d);
    const render::DrawingMeasurement m = render::measureDrawing(d, {});
    struct Want {
        render::Hidden why;
        const char *layer;
        double length;
    };
    const Want wants[] = {{render::Hidden::Frozen, "FRAME", 1400},
                          {render::Hidden::Frozen, "TITLE", 160},
                          {render::Hidden::Invisible, "", 200},
                          {render::Hidden::NotPlotted, "Defpoints", 30},
                          {render::Hidden::NotPlotted, "NOPLOT", 40}};
    ASSERT_EQ(m.figures.hidden.size(), std::size(wants));
    for (const Want &w : wants) {
        SCOPED_TRACE(w.layer);
        bool found = false;
        for (const auto &h : m.figures.hidden)
            if (h.why == w.why && h.layer == w.layer) {
                found = true;
                EXPECT_EQ(h.entities, 1);
                EXPECT_NEAR(h.length, w.length, 1e-9);
            }
        EXPECT_TRUE(found);
    }
    // The hidden content is neither cut nor drawn: the drawn figure is the plate alone.
    EXPECT_NEAR(m.drawnLength, m.konturlang, 1e-9);

    ASSERT_TRUE(
        document::loadDxfLines(std::string(QUENTAR_FIXTURES_DIR "/drawings/zero_length.dxf"), d));
    dxf::processdxf(d);
    const render::DrawingMeasurement z = render::measureDrawing(d, {});
    EXPECT_EQ(z.figures.zeroLength, 4);
    const std::vector<std::pair<double, double>> at{
        {300, 300}, {-200, -100}, {400, -50}, {-50, 250}};
    EXPECT_EQ(z.figures.zeroLengthAt, at);
}

// A drawing whose model space is empty, measured in model space as asked: nothing to price, and
// the layout that holds the part is named.
TEST(WhatIsCut, AnEmptyModelSpaceNamesTheLayoutWithThePart) {
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(
        std::string(QUENTAR_FIXTURES_DIR "/drawings/paper_space_only.dxf"), d));
    dxf::processdxf(d);
    render::MeasureOptions o;
    o.layoutWhenModelEmpty = false;
    const render::DrawingMeasurement m = render::measureDrawing(d, o);
    EXPECT_TRUE(m.empty);
    EXPECT_EQ(m.tab, 0);
    EXPECT_EQ(m.contentTab, 1);
}

// Figures that mislead without a word: a coverage above 100 % (the rectangle is taken to
// hundredths), and no closed contour while the rectangle's material is still charged.
TEST(WhatIsCut, MisleadingFiguresAreExplained) {
    struct Say {
        const char *name;
        Groups drawing;
        const char *code, *says;
    };
    const Say says[] = {
        {"a square of 10.004 mm: 100.08 % of its 10 x 10 rectangle",
         entitiesSection({{0, "LWPOLYLINE"},
                          {8, "0"},
                          {90, "4"},
                          {70, "1"},
                          {10, "0"},
                          {20, "0"},
                          {10, "10.004"},
                          {20, "0"},
                          {10, "10.004"},
                          {20, "10.004"},
                          {10, "0"},
                          {20, "10.004"}}),
         "coverage-over-100", "the parts cover 100.08 % of their 10 x 10 mm rectangle"},
        {"two lines: nothing closes",
         entitiesSection({{0, "LINE"},
                          {8, "0"},
                          {10, "0"},
                          {20, "0"},
                          {11, "40"},
                          {21, "0"},
                          {0, "LINE"},
                          {8, "0"},
                          {10, "40"},
                          {20, "0"},
                          {11, "40"},
                          {21, "20"}}),
         "no-closed-contour", "still charged are the cut length and the material of its 40 x 20"},
    };
    for (const Say &s : says) {
        SCOPED_TRACE(s.name);
        auto d = read(s.drawing);
        const render::DrawingMeasurement m = render::measureDrawing(d, {});
        std::string said;
        for (const auto &w : m.warnings)
            if (w.code == s.code) said += w.english;
        EXPECT_NE(said.find(s.says), std::string::npos) << said;
    }
}

} // namespace
