// Measuring real drawings as the calculator takes them over, against an independent DXF library.
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/measure_drawing.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;

namespace {

// Figures of the drawings without texts, dimensions, hatches, paper-space entities or scaled and
// rotated inserts, from reference.json (model space, block contents placed by translation), less
// what is not cut (the wrench's 16 centre marks, drawn with the line type CENTER). The
// reference lists the areas of closed single entities; Quentar finds those and more (contours
// chained from loose lines and arcs), so each reference area must be among Quentar's.
struct Reference {
    const char *file;
    double length;
    double minx, miny, maxx, maxy;
    std::vector<double> closedAreas;
};

// The wrench's centre marks: 16 lines of the line type CENTER, 8.1 and 17.1 mm long (ezdxf).
constexpr double kWrenchCentreMarks = 201.6;

const Reference kReferences[] = {
    {"autocad_spline_fit_and_control_points_ac1015.dxf", 719.370477949, 50, 50, 600,
     259.474712053, {}},
    {"lasersaur_mount_panels_r12.dxf", 6297.7446955, 14.9999999999, 108, 503, 596,
     {1256.63706144, 430.05261835, 430.05261835, 201.06192983, 188.691908756, 188.691908756,
      160.606070433, 28.2743338823}},
    {"librecad_elliptical_arcs.dxf", 2422.11205514, -100, -50, 520, 270, {15707.9632679}},
    {"qcad_lwpolyline_bulges.dxf", 117.384520484, -12, -4.16, 12, 4.16, {}},
    {"r12_flh001_polylines_bulges.dxf", 722.228261961, -42.5, -37.1996, 133, 37.1994,
     {132.732289614}},
    {"voron_deck_panel_fusion360_r14.dxf", 1726.36281799, -311.500007629, -351.500083923,
     57.4999923706, 17.4999160766,
     {133072.248342, 156.566370614, 156.566370614, 156.566370614, 156.566370614,
      113.097335529}},
    {"wrench_profile_ac1015_oda.dxf", 4113.39796751 - kWrenchCentreMarks, 3234.54850729,
     -1826.00256484,
     3495.45470694, -1118.56656202,
     {51.5299735005, 51.5299735005, 51.5299735005, 51.5299735005}},
};

class SampleMeasurement : public ::testing::TestWithParam<Reference> {};

} // namespace

TEST_P(SampleMeasurement, AgreesWithTheReference) {
    const Reference &r = GetParam();
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(std::string(QUENTAR_SAMPLES_DIR) + "/" + r.file, d));
    dxf::processdxf(d);
    render::ViewState v;
    render::ContourFigures f;
    render::measureTab(d, 0, v, nullptr, f);

    EXPECT_NEAR(f.konturlang, r.length, r.length * 0.002);
    const double side = std::max(r.maxx - r.minx, r.maxy - r.miny);
    EXPECT_NEAR(f.konturminx, r.minx, side * 0.002);
    EXPECT_NEAR(f.konturminy, r.miny, side * 0.002);
    EXPECT_NEAR(f.konturmaxx, r.maxx, side * 0.002);
    EXPECT_NEAR(f.konturmaxy, r.maxy, side * 0.002);
    // The areas are exact: arcs count as arcs, not as their chords or the preview's pixels.
    std::vector<double> areas = f.areas();
    for (double want : r.closedAreas) {
        auto it = std::find_if(areas.begin(), areas.end(),
                               [&](double a) { return std::fabs(a - want) <= want * 1e-9; });
        EXPECT_TRUE(it != areas.end()) << "no contour of area " << want;
        if (it != areas.end()) areas.erase(it);
    }
    // The net area the calculator takes is never negative and never more than the rectangle.
    EXPECT_GE(f.analysis.netArea, 0);
    const double rect = (f.konturmaxx - f.konturminx) * (f.konturmaxy - f.konturminy);
    if (rect > 0) {
        EXPECT_LE(f.analysis.netArea, rect * (1 + 1e-9));
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, SampleMeasurement, ::testing::ValuesIn(kReferences),
                         [](const auto &info) {
                             std::string n = info.param.file;
                             n = n.substr(0, n.find('.'));
                             for (char &c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });
