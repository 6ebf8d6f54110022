// The group rules of the transformations on single entities: which lines change, to what, and
// which stay as the file wrote them.
#include "transform_support.h"

#include "../dxf/dxf_builder.h"
#include "editor/transformations_entities.h"
#include "editor/transformations_input.h"

#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;

namespace {

struct Op {
    int modex; // -1: move
    double dx, dy, ex, ey;
};
constexpr Op kMove{-1, 5, -2, 0, 0};
constexpr Op kQuarterTurn{editor::kRotateMode, 0, 0, 0, 5};
constexpr Op kMirrorX{editor::kMirrorMode, 0, 0, 1, 0};
constexpr Op kScale4{editor::kScaleMode, 0, 0, 4, 0};

struct Case {
    const char *name;
    Groups entity;
    Op op;
    Groups expected; // the entity's groups afterwards
};

// The entity's groups as "code=value" with trimmed texts.
std::string groupsText(const Groups &g) {
    std::string out;
    for (const auto &[code, value] : g) out += std::to_string(code) + "=" + value + " ";
    return out;
}

std::string entityText(const document::Drawing &d, std::size_t i) {
    Groups g;
    const auto &e = d.polys[i];
    for (const editor::Group &gr : editor::groupsOf(d.dxf, e.linefrom, e.linebis))
        g.emplace_back(gr.code, std::string(gr.value));
    return groupsText(g);
}

// clang-format off
const Case kCases[] = {
    // A mirror image runs the other way round: the image of the end angle is the new start.
    {"arc mirrored in the x axis",
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {50, "0"}, {51, "90"}},
     kMirrorX,
     {{0, "ARC"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"}, {50, "270"}, {51, "360"}}},
    {"point turned a quarter",
     {{0, "POINT"}, {10, "10"}, {20, "0"}, {30, "0"}},
     kQuarterTurn,
     {{0, "POINT"}, {10, "0"}, {20, "10"}, {30, "0"}}},
    {"arc turned a quarter",
     {{0, "ARC"}, {10, "10"}, {20, "0"}, {40, "2"}, {50, "30"}, {51, "120"}},
     kQuarterTurn,
     {{0, "ARC"}, {10, "0"}, {20, "10"}, {40, "2"}, {50, "120"}, {51, "210"}}},
    {"circle scaled by 4 about the origin",
     {{0, "CIRCLE"}, {10, "1"}, {20, "0.5"}, {40, "2"}},
     kScale4,
     {{0, "CIRCLE"}, {10, "4"}, {20, "2"}, {40, "8"}}},
    // An ellipse keeps its axis ratio (40) and parameters: the shape is only larger.
    {"ellipse scaled keeps its ratio",
     {{0, "ELLIPSE"}, {10, "1"}, {20, "1"}, {11, "2"}, {21, "0"}, {40, "0.5"}, {41, "0"},
      {42, "1"}},
     kScale4,
     {{0, "ELLIPSE"}, {10, "4"}, {20, "4"}, {11, "8"}, {21, "0"}, {40, "0.5"}, {41, "0"},
      {42, "1"}}},
    {"line moved: both ends",
     {{0, "LINE"}, {10, "1.0"}, {20, "2"}, {11, "3"}, {21, "4"}},
     kMove,
     {{0, "LINE"}, {10, "6"}, {20, "0"}, {11, "8"}, {21, "2"}}},
    {"ellipse moved: the centre, not the axis",
     {{0, "ELLIPSE"}, {10, "1"}, {20, "1"}, {11, "2"}, {21, "0"}, {40, "0.5"}},
     kMove,
     {{0, "ELLIPSE"}, {10, "6"}, {20, "-1"}, {11, "2"}, {21, "0"}, {40, "0.5"}}},
    {"mtext moved: the insertion point, not the direction",
     {{0, "MTEXT"}, {10, "1"}, {20, "1"}, {40, "1"}, {1, "x"}, {11, "0"}, {21, "1"}},
     kMove,
     {{0, "MTEXT"}, {10, "6"}, {20, "-1"}, {40, "1"}, {1, "x"}, {11, "0"}, {21, "1"}}},
    {"solid moved: four corners",
     {{0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"}, {22, "1"}, {13, "1"},
      {23, "1"}},
     kMove,
     {{0, "SOLID"}, {10, "5"}, {20, "-2"}, {11, "6"}, {21, "-2"}, {12, "5"}, {22, "-1"},
      {13, "6"}, {23, "-1"}}},
    {"viewport moved: its centre, not its view",
     {{0, "VIEWPORT"}, {10, "50"}, {20, "40"}, {40, "80"}, {41, "60"}, {68, "2"}, {69, "2"},
      {12, "3"}, {22, "4"}, {45, "30"}},
     kMove,
     {{0, "VIEWPORT"}, {10, "55"}, {20, "38"}, {40, "80"}, {41, "60"}, {68, "2"}, {69, "2"},
      {12, "3"}, {22, "4"}, {45, "30"}}},
    // Object coordinates: with the extrusion down, object x runs against world x.
    {"mirrored arc moved in its object system",
     {{0, "ARC"}, {10, "-40"}, {20, "2"}, {30, "0"}, {40, "3"}, {50, "10"}, {51, "120"},
      {210, "0"}, {220, "0"}, {230, "-1"}},
     kMove,
     {{0, "ARC"}, {10, "-45"}, {20, "0"}, {30, "0"}, {40, "3"}, {50, "10"}, {51, "120"},
      {210, "0"}, {220, "0"}, {230, "-1"}}},
    // The mirror image of an ellipse turns its extrusion round; missing groups are added
    // before the extended data, in the same step.
    {"ellipse mirrored receives its extrusion",
     {{0, "ELLIPSE"}, {10, "1"}, {20, "2"}, {11, "2"}, {21, "1"}, {40, "0.5"}, {1001, "APP"},
      {1000, "keep"}},
     kMirrorX,
     {{0, "ELLIPSE"}, {10, "1"}, {20, "-2"}, {11, "2"}, {21, "-1"}, {40, "0.5"}, {210, "0"},
      {220, "0"}, {230, "-1"}, {1001, "APP"}, {1000, "keep"}}},
    {"text mirrored: object system turned round",
     {{0, "TEXT"}, {10, "3"}, {20, "1"}, {30, "0"}, {40, "2"}, {1, "A"}, {50, "30"}},
     kMirrorX,
     {{0, "TEXT"}, {10, "-3"}, {20, "-1"}, {30, "0"}, {40, "2"}, {1, "A"}, {50, "210"},
      {210, "0"}, {220, "0"}, {230, "-1"}}},
    {"text scaled: its height",
     {{0, "TEXT"}, {10, "1"}, {20, "1"}, {40, "0.25"}, {1, "A"}},
     kScale4,
     {{0, "TEXT"}, {10, "4"}, {20, "4"}, {40, "1"}, {1, "A"}}},
    {"light polyline mirrored: bulges change sign",
     {{0, "LWPOLYLINE"}, {90, "2"}, {10, "0"}, {20, "1"}, {42, "0.5"}, {10, "4"}, {20, "1"}},
     kMirrorX,
     {{0, "LWPOLYLINE"}, {90, "2"}, {10, "0"}, {20, "-1"}, {42, "-0.5"}, {10, "4"}, {20, "-1"}}},
    {"light polyline scaled: widths and elevation",
     {{0, "LWPOLYLINE"}, {38, "0.5"}, {43, "0.1"}, {10, "1"}, {20, "0"}, {40, "0.2"}, {41, "0"},
      {10, "2"}, {20, "0"}},
     kScale4,
     {{0, "LWPOLYLINE"}, {38, "2"}, {43, "0.4"}, {10, "4"}, {20, "0"}, {40, "0.8"}, {41, "0"},
      {10, "8"}, {20, "0"}}},
    // A block reference mirrored is the block reflected across its own x axis, turned.
    {"insert mirrored",
     {{0, "INSERT"}, {2, "B"}, {10, "2"}, {20, "3"}, {41, "2"}, {42, "1.5"}, {50, "20"}},
     kMirrorX,
     {{0, "INSERT"}, {2, "B"}, {10, "2"}, {20, "-3"}, {41, "2"}, {42, "-1.5"}, {50, "340"}}},
    {"insert turned gets the rotation it had none of",
     {{0, "INSERT"}, {2, "B"}, {10, "2"}, {20, "0"}, {30, "0"}},
     kQuarterTurn,
     {{0, "INSERT"}, {2, "B"}, {10, "0"}, {20, "2"}, {30, "0"}, {50, "90"}}},
    {"minsert scaled: the spacings too",
     {{0, "INSERT"}, {2, "B"}, {10, "1"}, {20, "1"}, {70, "3"}, {71, "2"}, {44, "6"}, {45, "4"}},
     kScale4,
     {{0, "INSERT"}, {2, "B"}, {10, "4"}, {20, "4"}, {41, "4"}, {42, "4"}, {43, "4"}, {70, "3"},
      {71, "2"}, {44, "24"}, {45, "16"}}},
    {"a ray turns its direction, a scaling keeps it",
     {{0, "RAY"}, {10, "1"}, {20, "0"}, {11, "1"}, {21, "0"}},
     kScale4,
     {{0, "RAY"}, {10, "4"}, {20, "0"}, {11, "1"}, {21, "0"}}},
    {"spline scaled: points and tangents, not the knots",
     {{0, "SPLINE"}, {71, "3"}, {40, "0"}, {40, "1"}, {12, "1"}, {22, "0"}, {10, "1"}, {20, "1"},
      {11, "2"}, {21, "0"}},
     kScale4,
     {{0, "SPLINE"}, {71, "3"}, {40, "0"}, {40, "1"}, {12, "4"}, {22, "0"}, {10, "4"}, {20, "4"},
      {11, "8"}, {21, "0"}}},
    // Extended data says which of its points follow: world positions, displacements, distances.
    {"extended data points follow the entity",
     {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {1001, "APP"}, {1010, "7"},
      {1020, "7"}, {1011, "1"}, {1021, "1"}, {1012, "1"}, {1022, "0"}, {1041, "2"}},
     kScale4,
     {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"}, {1001, "APP"}, {1010, "7"},
      {1020, "7"}, {1011, "4"}, {1021, "4"}, {1012, "4"}, {1022, "0"}, {1041, "8"}}},
    // A hatch mapped apart from its boundary objects is no longer tied to them.
    {"associative hatch moved",
     {{0, "HATCH"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, "1"}, {71, "1"},
      {91, "1"}, {92, "3"}, {72, "0"}, {73, "1"}, {93, "3"}, {10, "0"}, {20, "0"}, {10, "4"},
      {20, "0"}, {10, "4"}, {20, "3"}, {97, "1"}, {330, "2F"}, {75, "0"}, {76, "1"}, {98, "0"}},
     kMove,
     {{0, "HATCH"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "SOLID"}, {70, "1"}, {71, "0"},
      {91, "1"}, {92, "3"}, {72, "0"}, {73, "1"}, {93, "3"}, {10, "5"}, {20, "-2"}, {10, "9"},
      {20, "-2"}, {10, "9"}, {20, "1"}, {97, "1"}, {330, "2F"}, {75, "0"}, {76, "1"}, {98, "0"}}},
    {"a value that is no number stays, and so does its point",
     {{0, "LINE"}, {10, "x"}, {20, "2"}, {11, "3"}, {21, "4"}},
     kMove,
     {{0, "LINE"}, {10, "x"}, {20, "2"}, {11, "8"}, {21, "2"}}},
};
// clang-format on

} // namespace

TEST(TransformationRules, GroupsChangeByWhatTheyMean) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        document::Drawing d = read(entitiesSection(c.entity));
        ASSERT_EQ(d.anzpoly, 1);
        const std::string original = allLines(d);
        const document::EditBatch batch =
            c.op.modex < 0
                ? editor::MoveObjects(d, {0}, c.op.dx, c.op.dy)
                : editor::RotateObjects(d, {0}, c.op.dx, c.op.dy, c.op.ex, c.op.ey, c.op.modex);
        document::redoBatch(d.dxf, batch);
        dxf::processdxf(d);
        ASSERT_EQ(d.anzpoly, 1);
        EXPECT_EQ(entityText(d, 0), groupsText(c.expected));
        document::undoBatch(d.dxf, batch);
        EXPECT_EQ(allLines(d), original);
    }
}

// A map that is no map changes nothing: a mirror line of one point, a scaling to nothing, a
// scaling by 1, an unknown mode.
TEST(TransformationRules, NoMapNoChange) {
    const document::Drawing d =
        read(entitiesSection({{0, "CIRCLE"}, {10, "1"}, {20, "1"}, {40, "2"}}));
    const struct {
        int modex;
        double ex, ey;
    } cases[] = {{editor::kMirrorMode, 1, 1},
                 {editor::kScaleMode, 1, 1},
                 {editor::kScaleMode, 2, 1},
                 {editor::kRotateMode, 5, 1},
                 {7, 3, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.modex);
        EXPECT_TRUE(editor::RotateObjects(d, {0}, 1, 1, c.ex, c.ey, c.modex).empty());
    }
    EXPECT_TRUE(editor::MoveObjects(d, {0}, 0, 0).empty());
    EXPECT_TRUE(editor::MoveObjects(d, {5}, 1, 1).empty()) << "no such entity";
}

// The keyboard variants: a clockwise turn by degrees, a scaling by percent.
TEST(TransformationRules, KeyboardPoints) {
    auto [rx, ry] = editor::keyboardRotationPoint(2, 3, 90);
    EXPECT_NEAR(rx, 2, 1e-12);
    EXPECT_NEAR(ry, 2, 1e-12);
    const editor::PlaneMap turn = editor::PlaneMap::turning(2, 3, rx, ry);
    const editor::Vec3 p = turn.point({3, 3, 0});
    EXPECT_NEAR(p.x, 2, 1e-12);
    EXPECT_NEAR(p.y, 2, 1e-12) << "a quarter clockwise";
    auto [sx, sy] = editor::keyboardScalingPoint(2, 3, 250);
    EXPECT_DOUBLE_EQ(editor::PlaneMap::scaling(2, 3, sx, sy).scale, 2.5);
}

// The dialogs' numbers: a decimal comma or point, nothing else.
TEST(TransformationRules, TypedNumbers) {
    const struct {
        const char *text;
        std::optional<double> value;
    } cases[] = {{"2,5", 2.5},
                 {" -12.25 ", -12.25},
                 {"1e3", 1000},
                 {"1,000.5", std::nullopt},
                 {"1,2,3", std::nullopt},
                 {"", std::nullopt},
                 {"abc", std::nullopt},
                 {"inf", std::nullopt},
                 {"+4", 4}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(editor::typedNumber(c.text), c.value);
    }
    EXPECT_FALSE(editor::fieldValue("2.5", editor::kArrayCountRange)) << "a count is whole";
    EXPECT_FALSE(editor::fieldValue("0", editor::kPositiveRange));
    EXPECT_EQ(editor::fieldValue("0,00001", editor::kScalePercentRange), 0.00001);
    EXPECT_EQ(editor::fieldText(80, editor::kViewportDecimals), "80.0000");
    EXPECT_EQ(editor::fieldText(-0.00001, editor::kViewportDecimals), "0.0000");
    EXPECT_EQ(editor::fieldText(12.5), "12.5");
}
