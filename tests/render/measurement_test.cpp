// What the render pass measures: contour length, bounding box and areas, as the costing takes them.
#include "../dxf/dxf_builder.h"
#include "document/layer_lookup.h"
#include "render/measure_drawing.h"
#include "render/view.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;
using render::ContourFigures;

namespace {

// Measures the drawing as the preview does, with a view of zoom 100 and no scrolling; the whole
// drawn figure, or only what is cut.
ContourFigures measure(document::Drawing &d, double zoom = 100, int tab = 0,
                       bool allContours = false) {
    ContourFigures f;
    f.cutContoursOnly = !allContours;
    render::ViewState v;
    v.zoomedvalue = zoom;
    v.horzPosition = v.vertPosition = 0;
    render::Vorschaubild(d, tab, v, false, 96, nullptr, f);
    return f;
}

Groups square(double x0, double y0, double side, const std::string &layer = "0") {
    const std::string a = std::to_string(x0), b = std::to_string(x0 + side),
                      c = std::to_string(y0), e = std::to_string(y0 + side);
    return {{0, "LWPOLYLINE"}, {8, layer}, {90, "4"}, {70, "1"}, {10, a}, {20, c}, {10, b},
            {20, c},          {10, b},    {20, e},   {10, a},   {20, e}};
}

Groups line(double x1, double y1, double x2, double y2) {
    return {{0, "LINE"}, {8, "0"}, {10, std::to_string(x1)}, {20, std::to_string(y1)},
            {11, std::to_string(x2)}, {21, std::to_string(y2)}};
}

Groups layerTable(std::initializer_list<std::pair<std::string, std::pair<int, int>>> layers) {
    Groups g{{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}};
    for (const auto &[name, cf] : layers) {
        g.push_back({0, "LAYER"});
        g.push_back({2, name});
        g.push_back({70, std::to_string(cf.second)});
        g.push_back({62, std::to_string(cf.first)});
    }
    g.push_back({0, "ENDTAB"});
    g.push_back({0, "ENDSEC"});
    return g;
}

} // namespace

TEST(Measurement, EmptyDrawingMeasuresNothing) {
    auto d = read(entitiesSection({}));
    auto f = measure(d);
    EXPECT_EQ(f.konturlang, 0);
    EXPECT_EQ(f.konturminx, 0);
    EXPECT_EQ(f.konturmaxy, 0);
    EXPECT_EQ(f.flaechen.count, 0u);
}

TEST(Measurement, ClosedSquareLinesCircleArc) {
    auto sq = read(entitiesSection(square(10, 20, 50)));
    auto f = measure(sq);
    EXPECT_DOUBLE_EQ(f.konturlang, 200);
    EXPECT_EQ(f.konturminx, 10);
    EXPECT_EQ(f.konturmaxx, 60);
    EXPECT_EQ(f.konturminy, 20);
    EXPECT_EQ(f.konturmaxy, 70);
    ASSERT_EQ(f.areas().size(), 1u);
    EXPECT_DOUBLE_EQ(f.areas()[0], 2500);

    // Lines only: length and box, but no area (one segment each).
    auto lines = read(entitiesSection(concat({line(0, 0, 30, 0), line(0, 0, 0, 40)})));
    f = measure(lines);
    EXPECT_DOUBLE_EQ(f.konturlang, 70);
    EXPECT_EQ(f.konturmaxx, 30);
    EXPECT_EQ(f.konturmaxy, 40);
    EXPECT_TRUE(f.areas().empty());

    // A circle measures as the polygon the reader made of it, its centre never.
    auto circle = read(entitiesSection({{0, "CIRCLE"}, {10, "100"}, {20, "100"}, {40, "10"}}));
    f = measure(circle, 1000);
    const double chord = 2 * 10 * std::sin(M_PI / 100);
    EXPECT_NEAR(f.konturlang, 100 * chord, 1e-9);
    EXPECT_NEAR(f.konturminx, 90, 1e-9);
    ASSERT_EQ(f.areas().size(), 1u);
    // The polygon area up to the whole-pixel rounding of y at this zoom (0.1 units).
    EXPECT_NEAR(f.areas()[0], 50 * 100 * std::sin(2 * M_PI / 100), 3.0);

    // An open arc encloses nothing: no area, whatever the view (it would be taken for a hole).
    auto arc = read(entitiesSection({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "10"}, {50, "0"},
                                     {51, "180"}}));
    f = measure(arc, 1000);
    EXPECT_NEAR(f.konturlang, 100 * 2 * 10 * std::sin(M_PI / 200), 1e-9);
    EXPECT_TRUE(f.areas().empty());

    // A SOLID lists no closing corner: its area still includes the closing side.
    auto solid = read(entitiesSection({{0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"},
                                       {12, "0"}, {22, "10"}, {13, "10"}, {23, "10"}}));
    f = measure(solid);
    ASSERT_EQ(f.areas().size(), 1u);
    EXPECT_DOUBLE_EQ(f.areas()[0], 100);
}

TEST(Measurement, BlockInsertedTwiceAndLayers) {
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {3, "P"}, {10, "5"}, {20, "5"}};
    blocks = concat({blocks, square(5, 5, 10), {{0, "ENDBLK"}, {0, "ENDSEC"}}});
    Groups ents{{0, "INSERT"}, {2, "P"}, {10, "0"}, {20, "0"}, {0, "INSERT"}, {2, "P"},
                {10, "100"}, {20, "50"}};
    auto d = read(concat({blocks, entitiesSection(ents)}));
    auto f = measure(d);
    EXPECT_DOUBLE_EQ(f.konturlang, 80);
    EXPECT_EQ(f.konturminx, 0); // base point (5, 5) lands on each insertion point
    EXPECT_EQ(f.konturmaxx, 110);
    EXPECT_EQ(f.konturmaxy, 60);
    EXPECT_EQ(f.areas().size(), 2u);

    // Switched-off and frozen layers hide; locked layers are measured; a name differing only in
    // case is not the layer.
    auto layered = read(concat({layerTable({{"OFF", {-1, 0}}, {"LOCK", {1, 4}}, {"FROZ", {1, 1}}}),
                                entitiesSection(concat({square(0, 0, 10, "OFF"),
                                                        square(0, 0, 1, "LOCK"),
                                                        square(0, 0, 2, "FROZ"),
                                                        square(0, 0, 3, "off")}))}));
    f = measure(layered);
    EXPECT_DOUBLE_EQ(f.konturlang, 4 + 12);
    const document::LayerLookup layers(layered);
    EXPECT_FALSE(layers.locked(layered.polys[0]));
    EXPECT_TRUE(layers.locked(layered.polys[1]));
}

TEST(Measurement, HiddenPointsJumpsAndTexts) {
    // A linear dimension: extension lines and dimension line measured, the jumps not.
    auto d = read(entitiesSection(concat({{{0, "DIMENSION"}, {70, "32"}, {42, "100"}, {10, "50"},
                                           {20, "20"}, {13, "0"}, {23, "0"}, {14, "100"},
                                           {24, "0"}},
                                          {{0, "TEXT"}, {10, "500"}, {20, "500"}, {40, "5"},
                                           {1, "not measured"}}})));
    auto f = measure(d, 100, 0, true);
    EXPECT_DOUBLE_EQ(f.konturlang, 20 + 20 + 100);
    EXPECT_EQ(f.konturmaxx, 100);
    EXPECT_EQ(f.konturmaxy, 20);
}

TEST(Measurement, PaperLayoutMeasuresTheModelThroughItsViewport) {
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {330, "1F"}, {3, "*Paper_Space"},
                  {0, "ENDBLK"}, {0, "ENDSEC"}};
    Groups ents = concat({square(0, 0, 10),
                          {{0, "VIEWPORT"}, {330, "1F"}, {67, "1"}, {10, "50"}, {20, "50"},
                           {40, "40"}, {41, "40"}, {69, "2"}, {12, "5"}, {22, "5"}, {45, "20"}}});
    auto layout = [](std::string name, std::string order, std::string han) {
        return Groups{{0, "LAYOUT"}, {1, name}, {71, order}, {330, han}};
    };
    auto d = read(concat({blocks, entitiesSection(ents), {{0, "SECTION"}, {2, "OBJECTS"}},
                          layout("Model", "0", "1E"), layout("Layout1", "1", "1F"),
                          {{0, "ENDSEC"}, {0, "EOF"}}}));
    ASSERT_EQ(d.tabCaptions.size(), 2u);
    auto model = measure(d, 100, 0);
    EXPECT_DOUBLE_EQ(model.konturlang, 40);
    // Paper: the 40 x 40 frame plus the square at twice its size (view height 20 in 40 units).
    auto paper = measure(d, 100, 1, true);
    EXPECT_DOUBLE_EQ(paper.konturlang, 160 + 40);
    EXPECT_EQ(paper.konturminx, 20); // the model drawn at the viewport's base offset (20, 20)
    EXPECT_EQ(paper.konturmaxx, 70);
}

TEST(Measurement, SelfInsertingBlockStops) {
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {3, "A"}, {0, "INSERT"},
                  {2, "A"},       {10, "1"},     {20, "0"},    {0, "LINE"}, {10, "0"},
                  {11, "1"},      {0, "ENDBLK"}, {0, "ENDSEC"}};
    auto d = read(concat({blocks, entitiesSection({{0, "INSERT"}, {2, "A"}, {10, "0"}})}));
    auto f = measure(d);
    // Entered once, not unrolled to the nesting bound, and said so.
    EXPECT_DOUBLE_EQ(f.konturlang, 1);
    EXPECT_TRUE(f.renderIssues & render::kRenderSelfInsert);
    EXPECT_FALSE(f.renderIssues & render::kRenderNestingCut);
}

TEST(Measurement, ChainsDeeperThanTheBoundAreCutWithAWarning) {
    // B0 inserts B1 ... inserts B30, each with a line of length 1.
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}};
    for (int i = 0; i <= 30; ++i) {
        blocks.insert(blocks.end(), {{0, "BLOCK"}, {3, "B" + std::to_string(i)}, {0, "LINE"},
                                     {10, "0"}, {11, "1"}});
        if (i < 30) blocks.insert(blocks.end(), {{0, "INSERT"}, {2, "B" + std::to_string(i + 1)}});
        blocks.push_back({0, "ENDBLK"});
    }
    blocks.push_back({0, "ENDSEC"});
    auto d = read(concat({blocks, entitiesSection({{0, "INSERT"}, {2, "B0"}, {10, "0"}})}));
    auto f = measure(d);
    EXPECT_DOUBLE_EQ(f.konturlang, render::RenderPass::kMaxNesting - 1);
    EXPECT_TRUE(f.renderIssues & render::kRenderNestingCut);
}

TEST(Fit, EmptyWideAndClamped) {
    render::PageSetup page;
    auto empty = read(entitiesSection({}));
    render::ViewState v;
    v.zoomedvalue = 100;
    render::ZoomFullIn180(empty, 0, page, v);
    // Box (0,0)-(10,10): Rw = Rh = 10, f = 180 / 20 = 9.
    EXPECT_DOUBLE_EQ(v.zoomedvalue, 100 * 9 * 0.95);
    EXPECT_FALSE(v.donotdrawnow);

    auto wide = read(entitiesSection(line(0, 0, 1000, 100)));
    v.zoomedvalue = 100;
    render::ZoomFullIn180(wide, 0, page, v);
    EXPECT_DOUBLE_EQ(v.zoomedvalue, 100 * (180.0 / 1010) * 0.95); // the width decides
    const double z = v.zoomedvalue;
    const double rw = std::nearbyint(1000 * z / 100);
    EXPECT_EQ(v.horzPosition, std::llround((0 - (170 - rw) / 2) * 100));

    auto huge = read(entitiesSection(line(0, 0, 1e9, 0)));
    v.zoomedvalue = 100;
    render::ZoomFullIn180(huge, 0, page, v);
    EXPECT_EQ(v.zoomedvalue, render::kMinZoom);
    // The preview fit, and so the measured areas, do not depend on the view it starts from.
    render::ViewState zoomedIn, fresh;
    zoomedIn.zoomedvalue = 731.5;
    zoomedIn.horzPosition = 123456;
    render::ZoomFullIn180(wide, 0, page, zoomedIn);
    render::ZoomFullIn180(wide, 0, page, fresh);
    EXPECT_EQ(zoomedIn.zoomedvalue, fresh.zoomedvalue);
    EXPECT_EQ(zoomedIn.horzPosition, fresh.horzPosition);
    EXPECT_EQ(zoomedIn.vertPosition, fresh.vertPosition);

    auto tiny = read(entitiesSection(line(0, 0, 0, 0)));
    v.zoomedvalue = 1e6;
    render::fitView(tiny, 0, 1e6, 1e6, page, v);
    EXPECT_EQ(v.zoomedvalue, 1000000);
}

// What may not be priced is said once, in a refusal, and nothing of it is formatted into a
// warning: figures beyond sense (a thousand kilometres), nothing left to measure, an empty tab.
TEST(Measurement, FiguresThatMayNotBePricedAreRefused) {
    const Groups inches = {{0, "SECTION"}, {2, "HEADER"}, {9, "$INSUNITS"}, {70, "1"},
                           {0, "ENDSEC"}};
    const Groups point = {{0, "POINT"}, {8, "0"}, {10, "5"}, {20, "5"}};
    // A second tab, named in Windows-1252 bytes, that holds nothing.
    const Groups layouts = {{0, "SECTION"}, {2, "OBJECTS"}, {0, "LAYOUT"},    {1, "Model"},
                            {71, "0"},      {330, "1F"},    {0, "LAYOUT"},    {1, "Bl\xE4tter"},
                            {71, "1"},      {330, "2A"},    {0, "ENDSEC"},    {0, "EOF"}};
    const Groups ownedPoint = {{0, "POINT"}, {330, "1F"}, {8, "0"}, {10, "5"}, {20, "5"}};
    const struct {
        const char *name;
        Groups groups;
        render::UnitChoice units;
        std::string refusal;
        int tab = 0;
    } cases[] = {
        {"1e12 inches", concat({inches, entitiesSection(line(0, 0, 1e12, 0))}),
         render::UnitChoice::Auto,
         "the measured figures are beyond sense (more than a thousand kilometres)"},
        {"the same taken as millimetres", concat({inches, entitiesSection(line(0, 0, 1e12, 0))}),
         render::UnitChoice::Millimetres, ""},
        {"a point alone", entitiesSection(point), render::UnitChoice::Auto,
         "nothing is left to measure"},
        {"nothing at all", entitiesSection({}), render::UnitChoice::Auto,
         "the drawing has no entities"},
        {"an empty tab named in other bytes",
         concat({{{0, "SECTION"}, {2, "ENTITIES"}}, ownedPoint, {{0, "ENDSEC"}}, layouts}),
         render::UnitChoice::Auto, "the drawing has no entities in Bl\u00e4tter", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto d = read(c.groups);
        render::MeasureOptions o;
        o.units = c.units;
        o.tab = c.tab;
        const render::DrawingMeasurement m = render::measureDrawing(d, o);
        EXPECT_EQ(m.refusal, c.refusal);
        EXPECT_EQ(m.refusalGerman.empty(), c.refusal.empty());
        // Of figures beyond sense only the unit is said, no number of theirs.
        if (c.refusal.rfind("the measured figures", 0) == 0) {
            for (const render::MeasureWarning &w : m.warnings) EXPECT_EQ(w.code, "units-scaled");
        }
    }
}
