// Dragging one grip (MovePoint): a point, a radius, an ellipse's minor axis, an arc's end, and the
// grips of a viewport; in object coordinates where the entity has them.
#include "transform_support.h"

#include "../dxf/dxf_builder.h"
#include "editor/transformations_entities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace quentar;
using namespace quentar::testing;
namespace fs = std::filesystem;

namespace {

std::string entityText(const document::Drawing &d, std::size_t i) {
    std::string out;
    const auto &e = d.polys[i];
    for (const editor::Group &g : editor::groupsOf(d.dxf, e.linefrom, e.linebis))
        out += std::to_string(g.code) + "=" + std::string(g.value) + " ";
    return out;
}
std::string groupsText(const Groups &g) {
    std::string out;
    for (const auto &[code, value] : g) out += std::to_string(code) + "=" + value + " ";
    return out;
}

struct Case {
    const char *name;
    Groups entity;
    int grip;        // vertex index
    double ex, ey;   // where it is dropped
    Groups expected; // the entity's groups afterwards
};

const Groups kViewport = {{0, "VIEWPORT"}, {10, "50"}, {20, "40"}, {40, "80"}, {41, "60"},
                          {68, "2"},       {69, "2"},  {12, "3"},  {22, "4"},  {45, "30"}};
Groups viewportWith(std::initializer_list<std::pair<int, const char *>> values) {
    Groups g = kViewport;
    for (const auto &[code, value] : values)
        for (auto &group : g)
            if (group.first == code) group.second = value;
    return g;
}

// clang-format off
const Case kCases[] = {
    {"mode 0: the end of a line",
     {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"}},
     1, 5, 5,
     {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "5"}, {21, "5"}}},
    // Object x runs against world x when the extrusion points down.
    {"mode 0: the centre of a mirrored arc",
     {{0, "ARC"}, {10, "-40"}, {20, "2"}, {30, "0"}, {40, "3"}, {50, "10"}, {51, "120"},
      {230, "-1"}},
     0, 42, 3,
     {{0, "ARC"}, {10, "-42"}, {20, "3"}, {30, "0"}, {40, "3"}, {50, "10"}, {51, "120"},
      {230, "-1"}}},
    // A SOLID's third outline corner is its fourth DXF corner.
    {"mode 0: the third corner of a solid",
     {{0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"}, {22, "1"}, {13, "1"},
      {23, "1"}},
     2, 2, 2,
     {{0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"}, {22, "1"}, {13, "2"},
      {23, "2"}}},
    {"mode 1: the radius of a circle",
     {{0, "CIRCLE"}, {10, "1"}, {20, "1"}, {40, "2"}},
     1, 1, 6,
     {{0, "CIRCLE"}, {10, "1"}, {20, "1"}, {40, "5"}}},
    {"mode 2: the minor axis of an ellipse",
     {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {40, "0.25"}},
     2, 0, 1,
     {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {40, "0.5"}}},
    // Beyond the major axis the axes change places: the ratio stays at most 1.
    {"mode 2: the minor axis beyond the major one",
     {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {40, "0.25"}, {41, "0"},
      {42, "1.5"}},
     2, 0, 4,
     {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "0"}, {21, "4"}, {40, "0.5"},
      {41, "4.71238898038469"}, {42, "6.21238898038469"}}},
    {"mode 3: the end of an arc",
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "0"}, {51, "90"}},
     2, -3, -3,
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "0"}, {51, "225"}}},
    {"mode 3: the start of a mirrored arc",
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "30"}, {51, "90"}, {230, "-1"}},
     1, 0, 7,
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "90"}, {51, "90"}, {230, "-1"}}},
    // The corners from the lower left counter-clockwise: the opposite one stays.
    {"viewport: the upper right corner", kViewport, 2, 100, 76,
     viewportWith({{10, "55"}, {20, "43"}, {40, "90"}, {41, "66"}})},
    {"viewport: the lower left corner across the opposite one", kViewport, 0, 100, 80,
     viewportWith({{10, "95"}, {20, "75"}, {40, "10"}, {41, "10"}})},
    // Dragged by 6 paper units, the view moves by 6 * 30 / 60 model units.
    {"viewport: the pan grip", kViewport, 5, 56, 40, viewportWith({{12, "6"}})},
    {"viewport: the zoom grip twice as far out", kViewport, 6, 50, 70,
     viewportWith({{45, "15"}})},
};
// clang-format on

} // namespace

TEST(Grips, EachModeWritesWhatTheGripStandsFor) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        document::Drawing d = read(entitiesSection(c.entity));
        ASSERT_EQ(d.anzpoly, 1);
        ASSERT_LT(c.grip, d.polys[0].anzp);
        const document::Tmypoi &v = d.polys[0].p(c.grip);
        const std::string original = allLines(d);
        const document::EditBatch b =
            editor::MovePoint(d, 0, c.grip, c.ex - v.x, c.ey - v.y, c.ex, c.ey);
        document::redoBatch(d.dxf, b);
        dxf::processdxf(d);
        EXPECT_EQ(entityText(d, 0), groupsText(c.expected));
        EXPECT_EQ(d.polys[0].readIssues, 0);
        document::undoBatch(d.dxf, b);
        EXPECT_EQ(allLines(d), original);
    }
}

// The grip below a viewport's centre opens the dialog, whose values write the viewport back.
TEST(Grips, ViewportDialog) {
    const document::Drawing d = read(entitiesSection(kViewport));
    EXPECT_TRUE(editor::opensViewportDialog(d, 0, 7));
    EXPECT_FALSE(editor::opensViewportDialog(d, 0, 6));
    EXPECT_TRUE(editor::MovePoint(d, 0, 7, 1, 1, 51, 26).empty());
    const auto c = editor::viewportConfiguration(d, 0);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->width, 80);
    EXPECT_EQ(c->height, 60);
    EXPECT_EQ(c->centreX, 50);
    EXPECT_EQ(c->centreY, 40);
    EXPECT_EQ(c->viewX, 3);
    EXPECT_EQ(c->viewY, 4);
    EXPECT_EQ(c->viewHeight, 30);
    editor::ViewportConfiguration changed = *c;
    changed.width = 100;
    changed.viewX = -2.5;
    changed.viewHeight = 45;
    document::Drawing after = d;
    document::redoBatch(after.dxf, editor::ConfigureViewport(d, 0, changed));
    dxf::processdxf(after);
    EXPECT_EQ(entityText(after, 0),
              groupsText(viewportWith({{40, "100"}, {12, "-2.5"}, {45, "45"}})));
    // A line has no viewport values, an entity out of range no grips.
    const document::Drawing line =
        read(entitiesSection({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}}));
    EXPECT_FALSE(editor::viewportConfiguration(line, 0));
    EXPECT_TRUE(editor::MovePoint(line, 3, 0, 1, 1, 1, 1).empty());
    EXPECT_TRUE(editor::MovePoint(line, 0, 9, 1, 1, 1, 1).empty());
}

// One grip of each mode on the entities of a real drawing: the grip lands where it was dropped,
// and the independent library reads the result without a fault.
TEST(Grips, OnARealDrawing) {
    document::Drawing d = fixtureDrawing("every_kind_ac1015.dxf");
    const std::string original = allLines(d);
    std::vector<document::EditBatch> steps;
    struct Drag {
        document::EntityKind kind;
        int mode;
        double dx, dy; // the pointer moves by this from the grip
    };
    const Drag drags[] = {
        {document::EntityKind::Line, 0, 1.5, -0.5}, {document::EntityKind::LwPolyline, 0, 0.5, 0.5},
        {document::EntityKind::Circle, 1, 1, 1},    {document::EntityKind::Ellipse, 2, 0.3, 0.2},
        {document::EntityKind::Arc, 3, -1, 2},
    };
    for (const Drag &drag : drags) {
        SCOPED_TRACE(static_cast<int>(drag.kind));
        dxf::processdxf(d);
        bool done = false;
        for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly) && !done; ++i) {
            const auto &e = d.polys[i];
            if (e.kind != drag.kind || e.isblock) continue;
            for (int k = 0; k < e.anzp && !done; ++k) {
                const document::Tmypoi &v = e.p(k);
                if (v.linex == 0 || v.mode != drag.mode) continue;
                const double ex = v.x + drag.dx, ey = v.y + drag.dy;
                const double cx = e.cx, cy = e.cy, r = std::hypot(ex - cx, ey - cy);
                steps.push_back(editor::MovePoint(d, i, k, drag.dx, drag.dy, ex, ey));
                ASSERT_FALSE(steps.back().empty());
                document::redoBatch(d.dxf, steps.back());
                dxf::processdxf(d);
                const auto &after = d.polys[i];
                const document::Tmypoi &w = after.p(k);
                switch (drag.mode) {
                case 0: // the point itself
                    EXPECT_NEAR(w.x, ex, 1e-9);
                    EXPECT_NEAR(w.y, ey, 1e-9);
                    break;
                case 1: // on the circle through the drop point
                    EXPECT_NEAR(after.radius, r, 1e-9);
                    break;
                case 2: // the minor axis reaches the drop distance
                    EXPECT_NEAR(after.detail().radius2, r, 1e-9);
                    break;
                case 3: // on the ray from the centre through the drop point
                    EXPECT_NEAR(std::atan2(w.y - cy, w.x - cx), std::atan2(ey - cy, ex - cx), 1e-9);
                    break;
                }
                done = true;
            }
        }
        EXPECT_TRUE(done);
    }
    const fs::path file =
        fs::temp_directory_path() / ("quentar-grips-" + std::to_string(::getpid()) + ".dxf");
    ASSERT_TRUE(document::saveDxfLines(file.string(), d));
    const std::string cmd = "/usr/bin/python3 -c \"import ezdxf,sys; a=ezdxf.readfile(sys.argv[1])"
                            ".audit(); [print(e.message) for e in a.errors+a.fixes]; "
                            "sys.exit(1 if a.errors or a.fixes else 0)\" '" +
                            file.string() + "' 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[1024];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = pclose(p);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    fs::remove(file);
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) document::undoBatch(d.dxf, *it);
    EXPECT_EQ(allLines(d), original);
}
