// Move, rotate, mirror and scale of every entity kind: drawn afterwards where the map carries the
// original, read so by an independent library (ezdxf), and taken back byte for byte.
#include "transform_support.h"

#include "editor/layout_filter.h"
#include "editor/transformations_entities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace quentar;
using namespace quentar::testing;
using editor::PlaneMap;
namespace fs = std::filesystem;

namespace {

struct Operation {
    const char *name;
    int modex; // -1: a move by (dx, dy)
    double dx, dy, ex, ey;
    PlaneMap map() const {
        return modex < 0 ? PlaneMap::moving(dx, dy) : PlaneMap::forMode(modex, dx, dy, ex, ey);
    }
    document::EditBatch plan(const document::Drawing &d, const editor::EntitySet &set) const {
        return modex < 0 ? editor::MoveObjects(d, set, dx, dy)
                         : editor::RotateObjects(d, set, dx, dy, ex, ey, modex);
    }
    bool turns() const { return modex == editor::kRotateMode || modex == editor::kMirrorMode; }
};

const double kCos30 = std::cos(M_PI / 6), kSin30 = std::sin(M_PI / 6);
const Operation kOperations[] = {
    {"move", -1, 7.5, -3.25, 0, 0},
    {"rotate_30", editor::kRotateMode, 10, 5, 10 + 2 * kCos30, 5 + 2 * kSin30},
    {"rotate_90", editor::kRotateMode, 0, 0, 0, 5},
    {"mirror_x_axis", editor::kMirrorMode, 0, 0, 1, 0},
    {"mirror_slanted", editor::kMirrorMode, 5, 5, 8, 9},
    {"scale_1_5", editor::kScaleMode, 10, 5, 11.5, 5},
};

struct Fixture {
    const char *file;
    std::vector<int> tabs;
};
const Fixture kFixtures[] = {
    {"every_kind_ac1015.dxf", {0, 1, 2}},
    {"every_kind_r12.dxf", {0}},
};

// The entity's own handle (a POLYLINE's record keeps its SEQEND's).
std::string ownHandle(const document::Drawing &d, std::size_t i) {
    const auto &e = d.polys[i];
    for (const editor::Group &g : editor::groupsOf(d.dxf, e.linefrom, e.linebis))
        if (g.code == 5) return std::string(g.value);
    return {};
}

std::string json(const std::string &s) { return "\"" + s + "\""; }
std::string json(const PlaneMap &m) {
    const render::Transform t = m.affine();
    char buf[256];
    std::snprintf(buf, sizeof buf, "[%.17g,%.17g,%.17g,%.17g,%.17g,%.17g]", t.m11, t.m21, t.m12,
                  t.m22, t.dx, t.dy);
    return buf;
}

int runChecker(const std::string &expectations, std::string &out) {
    const std::string cmd = "/usr/bin/python3 '" + std::string(QUENTAR_FIXTURES_DIR) +
                            "/../editor/check_transformed_drawings.py' '" + expectations + "' 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// A leader's arrowhead is as long as its dimension style says, whatever the scale.
bool keepsItsSize(const document::tpoly &e) { return e.kind == document::EntityKind::Leader; }

TEST(Transformations, EveryKindIsDrawnWhereTheMapCarriesIt) {
    const fs::path dir =
        fs::temp_directory_path() / ("quentar-transformed-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<std::string> cases;
    for (const Fixture &fx : kFixtures)
        for (const Operation &op : kOperations)
            for (int tab : fx.tabs) {
                SCOPED_TRACE(std::string(fx.file) + ", " + op.name + ", tab " +
                             std::to_string(tab));
                document::Drawing d = fixtureDrawing(fx.file);
                const std::string original = allLines(d);
                const PlaneMap map = op.map();
                // Every entity of the tab at once, but the frame of a viewport: its view of the
                // model neither turns nor mirrors.
                const auto before = pictures(d, tab);
                const auto filter = editor::LayoutFilter::forTab(d, tab);
                editor::EntitySet set;
                std::vector<std::string> handles;
                for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly); ++i) {
                    const auto &e = d.polys[i];
                    if (!filter.belongs(e) || (e.isviewport && op.turns())) continue;
                    set.push_back(i);
                    if (!(keepsItsSize(e) && op.modex == editor::kScaleMode))
                        handles.push_back(json(ownHandle(d, i)));
                }
                const document::EditBatch batch = op.plan(d, set);
                ASSERT_FALSE(batch.empty());

                document::redoBatch(d.dxf, batch);
                const std::string transformed = allLines(d);
                document::undoBatch(d.dxf, batch);
                EXPECT_EQ(allLines(d), original) << "undo restores every byte";
                document::redoBatch(d.dxf, batch);
                EXPECT_EQ(allLines(d), transformed) << "redo applies the same lines again";
                dxf::processdxf(d);

                const auto after = pictures(d, tab);
                for (const auto &[i, picture] : before) {
                    const auto &e = d.polys[i];
                    SCOPED_TRACE("entity " + std::to_string(i) + " " +
                                 std::string(editor::keywordOf(d, i)));
                    ASSERT_TRUE(after.count(i));
                    EXPECT_EQ(e.readIssues, 0);
                    const bool inSet = std::find(set.begin(), set.end(), i) != set.end();
                    if (keepsItsSize(e) && op.modex == editor::kScaleMode) continue;
                    EXPECT_TRUE(sameDrawing(picture, after.at(i), inSet ? map : PlaneMap{},
                                            e.ray || e.xline));
                }
                const fs::path result =
                    dir / (std::string(op.name) + "_tab" + std::to_string(tab) + "_" + fx.file);
                ASSERT_TRUE(document::saveDxfLines(result.string(), d));
                std::string list;
                for (const auto &h : handles) list += (list.empty() ? "" : ",") + h;
                cases.push_back("{\"original\":" +
                                json(std::string(QUENTAR_FIXTURES_DIR "/drawings/") + fx.file) +
                                ",\"result\":" + json(result.string()) + ",\"map\":" + json(map) +
                                ",\"handles\":[" + list + "]}");
            }
    std::string all;
    for (const auto &c : cases) all += (all.empty() ? "[" : ",") + c;
    const std::string expectations = (dir / "expected.json").string();
    std::ofstream(expectations) << all << "]\n";
    std::string out;
    EXPECT_EQ(runChecker(expectations, out), 0) << out;
    if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}
