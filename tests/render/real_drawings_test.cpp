// Ordinary content of real drawings measured right: object coordinate systems, full block
// placement, owners and layers of newer files, groups in any order. Each fixture shows one fault
// of a translation-only, position-bound reading; the figures are worked out by hand (and agree
// with ezdxf, see tests/peer).
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/measure_drawing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

using namespace quentar;

namespace {

constexpr double kPi = std::numbers::pi;

struct Case {
    const char *file;
    double length; // the true cut length; the chords of the sampled curves come within 0.05 %
    double minx, miny, maxx, maxy;
    uint32_t renderIssues = 0;
};

// Block P: a 10 x 5 rectangle with a hole of radius 1 in its middle, perimeter 30 + 2 pi.
const Case kCases[] = {
    // A plate of 100 x 50 with a hole, a square slot and a half-round given mirrored by the
    // extrusion (0, 0, -1): they lie inside the plate, not at negative x.
    {"ocs_mirrored_plate.dxf", 300 + 10 * kPi + 40 + 5 * kPi + 10, 0, 0, 100, 50},
    // A circle of radius 10 in a plane tilted by (0, 0.6, 0.8): an ellipse of 10 x 8 from above.
    {"ocs_tilted_circle.dxf", 56.72333577561649, -10, -8, 10, 8},
    // P at scale 2 turned 90 degrees; mirrored by scale -1; mirrored by extrusion; as a 3 x 2
    // array; inside Q (scale 3) inserted at scale 0.5 turned 180 degrees.
    {"inserts_scaled_turned_arrayed.dxf",
     (60 + 4 * kPi) + (30 + 2 * kPi) + (30 + 2 * kPi) + 6 * (30 + 2 * kPi) + (45 + 3 * kPi), -20,
     0, 300, 215},
    // A POLYLINE whose VERTEX and SEQEND records name it as owner (140), one on a switched-off
    // layer with its SEQEND on layer 0 (nothing), a line with a reactor group (30), an
    // associative hatch over the outline (drawn, not cut) and a block named by group 2 only (20).
    {"owners_layers_newer_files.dxf", 140 + 30 + 20, 0, 0, 60, 30},
    // LINE groups 10, 11, 20, 21: (0, 0) to (30, 40); SOLID corners in mixed order: a 10 x 10
    // square, its closing side measured too.
    {"group_order.dxf", 50 + 40, 0, 0, 60, 40},
};

class RealDrawings : public ::testing::TestWithParam<Case> {};

TEST_P(RealDrawings, MeasureAsDrawn) {
    const Case &c = GetParam();
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(std::string(QUENTAR_FIXTURES_DIR "/drawings/") + c.file, d));
    dxf::processdxf(d);
    render::ViewState view;
    render::ContourFigures f;
    render::measureTab(d, 0, view, nullptr, f);
    EXPECT_NEAR(f.konturlang, c.length, c.length * 5e-4);
    EXPECT_LE(f.konturlang, c.length + 1e-9); // chords never exceed the curve
    EXPECT_NEAR(f.konturminx, c.minx, 1e-9);
    EXPECT_NEAR(f.konturminy, c.miny, 1e-9);
    EXPECT_NEAR(f.konturmaxx, c.maxx, 1e-9);
    EXPECT_NEAR(f.konturmaxy, c.maxy, 1e-9);
    EXPECT_EQ(f.renderIssues, c.renderIssues);
    EXPECT_EQ(f.readIssues, 0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RealDrawings, ::testing::ValuesIn(kCases),
                         [](const auto &info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
