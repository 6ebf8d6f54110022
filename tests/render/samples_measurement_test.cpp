// Measuring real drawings as the calculator takes them over, against an independent DXF library.
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/view.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;

namespace {

// Figures of the drawings without texts, dimensions, hatches, paper-space entities or scaled and
// rotated inserts, from reference.json (model space, block contents placed by translation).
struct Reference {
    const char *file;
    double length;
    double minx, miny, maxx, maxy;
    double largestClosedArea; // 0: the drawing has no closed contour
    double areaTolerance;     // relative
};

const Reference kReferences[] = {
    {"autocad_spline_fit_and_control_points_ac1015.dxf", 719.370477949, 50, 50, 600,
     259.474712053, 0, 0.02},
    {"lasersaur_mount_panels_r12.dxf", 6297.7446955, 14.9999999999, 108, 503, 596, 1256.63706144,
     0.02},
    {"librecad_elliptical_arcs.dxf", 2422.11205514, -100, -50, 520, 270, 15707.9632679, 0.02},
    {"qcad_lwpolyline_bulges.dxf", 117.384520484, -12, -4.16, 12, 4.16, 0, 0.02},
    {"r12_flh001_polylines_bulges.dxf", 722.228261961, -42.5, -37.1996, 133, 37.1994,
     132.732289614, 0.02},
    {"voron_deck_panel_fusion360_r14.dxf", 1726.36281799, -311.500007629, -351.500083923,
     57.4999923706, 17.4999160766, 133072.248342, 0.02},
    // The largest closed contour is a hole of 8 mm in a 700 mm part: at the 180-pixel fit it
    // spans two pixels, and the whole-pixel rounding of y (part of the measured result) moves its
    // area by about a tenth.
    {"wrench_profile_ac1015_oda.dxf", 4113.39796751, 3234.54850729, -1826.00256484,
     3495.45470694, -1118.56656202, 51.5299735005, 0.15},
};

class SampleMeasurement : public ::testing::TestWithParam<Reference> {};

} // namespace

TEST_P(SampleMeasurement, AgreesWithTheReference) {
    const Reference &r = GetParam();
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(std::string(QUENTAR_SAMPLES_DIR) + "/" + r.file, d));
    dxf::processdxf(d);
    render::ViewState v;
    render::PageSetup page;
    render::fitView(d, 0, render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight, page, v);
    render::ZoomFullIn180(d, 0, page, v);
    render::ContourFigures f;
    ASSERT_TRUE(render::Vorschaubild(d, 0, v, false, 96, nullptr, f));

    EXPECT_NEAR(f.konturlang, r.length, r.length * 0.002);
    const double side = std::max(r.maxx - r.minx, r.maxy - r.miny);
    EXPECT_NEAR(f.konturminx, r.minx, side * 0.002);
    EXPECT_NEAR(f.konturminy, r.miny, side * 0.002);
    EXPECT_NEAR(f.konturmaxx, r.maxx, side * 0.002);
    EXPECT_NEAR(f.konturmaxy, r.maxy, side * 0.002);
    const auto areas = f.areas();
    if (r.largestClosedArea == 0) {
        EXPECT_TRUE(areas.empty());
    } else {
        ASSERT_FALSE(areas.empty());
        const double largest = *std::max_element(areas.begin(), areas.end());
        EXPECT_NEAR(largest, r.largestClosedArea, r.largestClosedArea * r.areaTolerance);
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
