// What the render pass asks the canvas to draw: colours, pens, dashes, texts, fills, grips.
#include "../dxf/dxf_builder.h"
#include "render/colors.h"
#include "contours/analysis.h"
#include "render/drawn_bounds.h"
#include "render/measure_drawing.h"
#include "render/render_pass.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;
using render::Rgb;

namespace {

struct Recorded {
    std::string kind; // "stroke", "fill", "rect", "frame", "text", "textoutline", "image", "clip"
    render::Pen pen;
    render::Brush brush;
    Rgb color;
    std::string text;
    double size = 0;
    render::Transform world;
    int x = 0, y = 0;
    render::Path path;
};

class RecordingCanvas : public render::Canvas {
public:
    std::vector<Recorded> calls;
    void strokePath(const render::Path &p, const render::Pen &pen) override {
        if (!p.empty()) calls.push_back({"stroke", pen, {}, {}, {}, 0, {}, 0, 0, p});
    }
    void fillPath(const render::Path &p, const render::Brush &b) override {
        calls.push_back({"fill", {}, b, {}, {}, 0, {}, 0, 0, p});
    }
    void fillRect(int x, int y, int, int, Rgb c) override {
        calls.push_back({"rect", {}, {}, c, {}, 0, {}, x, y, {}});
    }
    void frameRect(int x, int y, int, int, Rgb c) override {
        calls.push_back({"frame", {}, {}, c, {}, 0, {}, x, y, {}});
    }
    void drawText(std::string_view t, double s, const render::Transform &w, Rgb c) override {
        calls.push_back({"text", {}, {}, c, std::string(t), s, w, 0, 0, {}});
    }
    void strokeText(std::string_view t, double s, const render::Transform &w,
                    const render::Pen &pen) override {
        calls.push_back({"textoutline", pen, {}, {}, std::string(t), s, w, 0, 0, {}});
    }
    void textExtent(std::string_view t, int s, int &w, int &h) override {
        w = static_cast<int>(t.size()) * s / 2;
        h = s;
    }
    void pushClipRect(int l, int t, int, int) override {
        calls.push_back({"clip", {}, {}, {}, {}, 0, {}, l, t, {}});
    }
    void popClip() override {}
    void drawHandleImage(int index, int x, int y) override {
        calls.push_back({"image", {}, {}, {}, std::to_string(index), 0, {}, x, y, {}});
    }
    void beginEntity(std::size_t index) override {
        calls.push_back({"begin", {}, {}, {}, std::to_string(index), 0, {}, 0, 0, {}});
    }
    void endEntity() override { calls.push_back({"end", {}, {}, {}, {}, 0, {}, 0, 0, {}}); }
    std::vector<Recorded> of(const std::string &kind) const {
        std::vector<Recorded> out;
        for (const auto &c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }
};

Groups tables(const Groups &layers, const Groups &ltypes = {}) {
    return concat({{{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LTYPE"}}, ltypes,
                   {{0, "ENDTAB"}, {0, "TABLE"}, {2, "LAYER"}}, layers,
                   {{0, "ENDTAB"}, {0, "ENDSEC"}}});
}

RecordingCanvas draw(const document::Drawing &d, bool model = true, bool showweight = false,
                     bool forprint = false, std::vector<std::size_t> selected = {}) {
    RecordingCanvas c;
    render::ContourFigures f;
    render::RenderPass pass(d, f, &c);
    pass.setSelected([selected](std::size_t i) {
        return std::find(selected.begin(), selected.end(), i) != selected.end();
    });
    render::DrawParams p;
    p.paintbox1height = 200;
    p.showmodel = p.showmodelforcolor = model;
    p.showweight = showweight;
    p.forprint = forprint;
    p.dpi1 = 96;
    pass.Drawpolys(p);
    return c;
}

Groups lineWith(std::initializer_list<Group> extra) {
    Groups g{{0, "LINE"}, {8, "0"}};
    g.insert(g.end(), extra.begin(), extra.end());
    g.insert(g.end(), {{10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}});
    return g;
}

} // namespace

TEST(Renderer, ColourTable) {
    EXPECT_EQ(render::getcolornr(1, true), (Rgb{255, 0, 0}));
    EXPECT_EQ(render::getcolornr(7, true), render::kBlack);
    EXPECT_EQ(render::getcolornr(7, false), render::kWhite);
    EXPECT_EQ(render::getcolornr(253, true), render::kBlack);
    EXPECT_EQ(render::getcolornr(252, true), (Rgb{137, 137, 137}));
    EXPECT_EQ(render::getcolornr(-3, true), render::kWhite);
    EXPECT_EQ(render::lineWeightCode(11), 50);
    EXPECT_EQ(render::lineWeightCode(99), -3);
}

TEST(Renderer, PenColourFromEntityOrLayer) {
    const Groups layer{{0, "LAYER"}, {2, "0"}, {62, "1"}, {70, "0"}};
    struct Case {
        const char *colour;
        bool model;
        Rgb expected;
    };
    const Case cases[] = {{"256", true, {255, 0, 0}},
                          {"0", true, render::kBlack},
                          {"0", false, render::kWhite},
                          {"5", true, {0, 0, 255}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.colour);
        auto d = read(concat({tables(layer), entitiesSection(lineWith({{62, c.colour}}))}));
        auto canvas = draw(d, c.model);
        auto strokes = canvas.of("stroke");
        if (!c.model) {
            EXPECT_TRUE(strokes.empty()); // a model entity is not shown on paper
            continue;
        }
        ASSERT_EQ(strokes.size(), 1u);
        EXPECT_EQ(strokes[0].pen.color, c.expected);
    }
    // Without a layer of its name the entity takes colour 7.
    auto d = read(entitiesSection(lineWith({})));
    EXPECT_EQ(draw(d).of("stroke")[0].pen.color, render::kBlack);
}

// What CAD programs hide is not drawn: frozen layers and invisible entities nowhere, layers that
// are never printed on screen only.
TEST(Renderer, HiddenContentIsNotDrawn) {
    const Groups layers{{0, "LAYER"},     {2, "FROZEN"}, {70, "1"}, {62, "7"},  {0, "LAYER"},
                        {2, "NOPLOT"},    {70, "0"},     {62, "7"}, {290, "0"}, {0, "LAYER"},
                        {2, "DEFPOINTS"}, {70, "0"},     {62, "7"}};
    const Groups block{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {8, "0"},      {2, "B"},
                       {10, "0"},      {20, "0"},     {0, "LINE"},  {8, "0"},      {10, "0"},
                       {20, "0"},      {11, "10"},    {21, "0"},    {0, "ENDBLK"}, {0, "ENDSEC"}};
    auto lineOn = [](const char *layer) {
        return Groups{{0, "LINE"}, {8, layer}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}};
    };
    auto insertOn = [](const char *layer) {
        return Groups{{0, "INSERT"}, {8, layer}, {2, "B"}, {10, "0"}, {20, "0"}};
    };
    struct Case {
        const char *name;
        Groups entity;
        bool onScreen, printed;
    };
    const Case cases[] = {
        {"on a frozen layer", lineOn("FROZEN"), false, false},
        {"inserted on a frozen layer", insertOn("FROZEN"), false, false},
        {"invisible", lineWith({{60, "1"}}), false, false},
        {"on a layer not plotted", lineOn("NOPLOT"), true, false},
        {"on Defpoints", lineOn("DEFPOINTS"), true, false},
        {"inserted on layer 0", insertOn("0"), true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto d = read(concat({tables(layers), block, entitiesSection(c.entity)}));
        EXPECT_EQ(draw(d).of("stroke").size(), c.onScreen ? 1u : 0u);
        EXPECT_EQ(draw(d, true, false, true).of("stroke").size(), c.printed ? 1u : 0u);
    }
}

TEST(Renderer, LineWeightsAndDashes) {
    const Groups ltypes{{0, "LTYPE"}, {2, "DASH"},  {49, "0.5"}, {49, "-0.25"},
                        {0, "LTYPE"}, {2, "OFFS"},  {49, "-0.2"}, {49, "0.5"},
                        {0, "LTYPE"}, {2, "DOTS"},  {49, "0"},    {49, "-1"}};
    const Groups layers{{0, "LAYER"}, {2, "0"}, {62, "7"}, {6, "DASH"}};
    auto d = read(concat({tables(layers, ltypes),
                          entitiesSection(concat({lineWith({{370, "50"}}),
                                                  lineWith({{6, "OFFS"}}),
                                                  lineWith({{6, "DOTS"}}),
                                                  lineWith({{6, "BYLAYER"}})}))}));
    auto strokes = draw(d, true, true).of("stroke");
    ASSERT_EQ(strokes.size(), 4u);
    EXPECT_NEAR(strokes[0].pen.width, 0.5 * 96 / 25.39995 * 2, 1e-9);
    EXPECT_EQ(strokes[0].pen.dashPattern, (std::vector<double>{0.5, 0.25})); // by layer
    EXPECT_EQ(strokes[1].pen.dashOffset, 0.2f * 1.0); // single precision as stored
    EXPECT_EQ(strokes[1].pen.dashPattern, (std::vector<double>{0.5}));
    EXPECT_EQ(strokes[2].pen.dashPattern, (std::vector<double>{1.0, 1.0}));
    // "BYLAYER" in capitals is a name of its own, and no such line type exists: solid.
    EXPECT_TRUE(strokes[3].pen.dashPattern.empty());
    // Without "Linienbreite zeigen" every pen is one pixel wide.
    EXPECT_EQ(draw(d, true, false).of("stroke")[0].pen.width, 1);
}

TEST(Renderer, SelectionDashesAndGripsOnScreenOnly) {
    auto d = read(entitiesSection(lineWith({})));
    auto screen = draw(d, true, false, false, {0});
    EXPECT_EQ(screen.of("stroke")[0].pen.dashPattern, (std::vector<double>{5, 5}));
    const auto grips = screen.of("rect");
    ASSERT_EQ(grips.size(), 2u);
    EXPECT_EQ(grips[0].color, (Rgb{0, 0, 255}));
    EXPECT_EQ(grips[0].x, -5);
    EXPECT_EQ(grips[0].y, 199 - 5);
    auto printed = draw(d, true, false, true, {0});
    EXPECT_TRUE(printed.of("stroke")[0].pen.dashPattern.empty());
    EXPECT_TRUE(printed.of("rect").empty());
}

TEST(Renderer, GripsSitOnTheDrawnGeometry) {
    // An arc mirrored by its extrusion, and a line in a block inserted at (100, 0) at scale 2
    // turned 90 degrees: the grips are where the geometry is drawn, not where its numbers say.
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "B"}, {3, "B"}, {10, "0"},
                  {20, "0"},      {0, "LINE"},   {8, "0"},     {10, "0"}, {20, "0"}, {11, "10"},
                  {21, "0"},      {0, "ENDBLK"}, {0, "ENDSEC"}};
    Groups arc{{0, "ARC"}, {8, "0"}, {10, "-50"}, {20, "40"}, {30, "0"}, {40, "5"}, {210, "0"},
               {220, "0"}, {230, "-1"}, {50, "0"}, {51, "180"}};
    Groups insert{{0, "INSERT"}, {8, "0"}, {2, "B"}, {10, "100"}, {20, "0"}, {41, "2"},
                  {42, "2"}, {50, "90"}};
    auto d = read(concat({blocks, entitiesSection(concat({arc, insert}))}));
    std::vector<std::pair<int, int>> grips;
    for (const auto &g : draw(d, true, false, false, {0, 1, 2}).of("rect"))
        grips.emplace_back(g.x + 5, 199 - (g.y + 5));
    const std::vector<std::pair<int, int>> expected{
        {50, 40}, {45, 40}, {55, 40}, {50, 45}, // arc: centre, start, end, radius (world)
        {100, 0}, {100, 20}};                   // the block's line: (0, 0) and (10, 0) placed
    EXPECT_EQ(grips, expected);
}

TEST(Renderer, EntityScopesNestInsideInserts) {
    // A block with a line, inserted once; a line on a switched-off layer; a text. Everything an
    // entity draws lies in its scope, a block's entities inside the insert's.
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "B"},      {3, "B"},
                  {10, "0"},      {20, "0"},     {0, "LINE"},  {8, "0"},      {10, "0"},
                  {20, "0"},      {11, "10"},    {21, "0"},    {0, "ENDBLK"}, {0, "ENDSEC"}};
    const Groups layers = tables({{0, "LAYER"}, {2, "OFF"}, {62, "-1"}});
    Groups ents{{0, "INSERT"}, {8, "0"},  {2, "B"},  {10, "100"}, {20, "0"}, {0, "LINE"},
                {8, "OFF"},    {10, "0"}, {20, "0"}, {11, "1"},   {21, "1"}, {0, "TEXT"},
                {10, "5"},     {20, "5"}, {40, "2"}, {1, "T"}};
    auto d = read(concat({layers, blocks, entitiesSection(ents)}));
    ASSERT_EQ(d.anzpoly, 4);
    std::vector<std::string> scopes;
    int depth = 0;
    for (const auto &c : draw(d).calls) {
        if (c.kind == "begin") {
            scopes.push_back("begin " + c.text);
            ++depth;
        } else if (c.kind == "end") {
            scopes.push_back("end");
            --depth;
        } else {
            EXPECT_GT(depth, 0) << c.kind << " drawn outside an entity";
        }
    }
    const std::vector<std::string> expected{"begin 1", "begin 0", "end", "end", "begin 3", "end"};
    EXPECT_EQ(scopes, expected);
}

TEST(Renderer, TextPlacement) {
    auto d = read(entitiesSection({{0, "TEXT"}, {10, "100"}, {20, "50"}, {40, "10"}, {50, "90"},
                                   {1, "Up"}, {0, "MTEXT"}, {10, "0"}, {20, "100"}, {40, "8"},
                                   {1, "one\\Ptwo"}}));
    auto texts = draw(d).of("text");
    ASSERT_EQ(texts.size(), 3u);
    // A text's height is the height of its capitals (Arial's are 0.716 of the font size).
    // Rotated by 90: reading upwards, the baseline through the insertion point, the top of the
    // font's box (its ascent, 0.905 of the size) to the left of it.
    const auto &up = texts[0];
    const double em = 10 / 0.716;
    EXPECT_EQ(up.size, std::round(em));
    EXPECT_NEAR(up.world.m11, 0, 1e-12);
    EXPECT_NEAR(up.world.m12 * up.size, -em, 1e-9);
    EXPECT_NEAR(up.world.dx, 100 - 0.905 * em, 1e-9);
    EXPECT_NEAR(up.world.dy, 199 - 50, 1e-9);
    // MTEXT: two lines, baselines 5/3 text heights apart as CAD programs space them.
    EXPECT_EQ(texts[1].text, "one");
    EXPECT_EQ(texts[2].text, "two");
    EXPECT_NEAR(texts[2].world.dy - texts[1].world.dy, 8 * 5.0 / 3.0, 1e-9);
}

TEST(Renderer, FormattingCodesNeverReachTheSurface) {
    struct Case {
        const char *raw;
        const char *kind;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"B\\S^ 1;", "MTEXT", {"B1"}},
        {"{\\fArial|b1|i0|c0|p34;Title}\\P\\H2.5x;big\\H0.4x;\\Ssmall^down;", "MTEXT",
         {"Title", "big", "small/down"}},
        {"\\A1;%%c20 \\L%%d\\l %%p0.1 \\U+00B2", "MTEXT",
         {"\xC3\x98" "20 \xC2\xB0 \xC2\xB1" "0.1 \xC2\xB2"}},
        {"\\C1;red\\~and\\\\ \\{brace\\}", "MTEXT", {"red\xC2\xA0" "and\\ {brace}"}},
        {"%%c12 %%%", "TEXT", {"\xC3\x98" "12 %"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.raw);
        auto d = read(entitiesSection(
            {{0, c.kind}, {10, "0"}, {20, "0"}, {40, "2.5"}, {1, c.raw}}));
        // One call per run: a line in two heights comes as two calls.
        std::vector<std::string> calls;
        for (const auto &t : draw(d).of("text")) calls.push_back(t.text);
        EXPECT_EQ(calls, c.lines);
    }
}

TEST(Renderer, MTextWrapsAtItsReferenceWidth) {
    // Each word about 2.5 wide at height 1 (the test canvas: half the size per character), the
    // column 6 wide: two words to a line.
    auto d = read(entitiesSection({{0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "1"}, {41, "6"},
                                   {1, "aaa bbb ccc ddd"}}));
    auto texts = draw(d).of("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "aaa bbb ");
    EXPECT_EQ(texts[1].text, "ccc ddd");
}

TEST(Renderer, FillsArrowsAndDimensionTexts) {
    auto d = read(entitiesSection(
        {{0, "WIPEOUT"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"}, {22, "1"},
         {14, "0"}, {24, "0"}, {14, "3"}, {24, "0"}, {14, "3"}, {24, "-3"},
         {0, "DIMENSION"}, {70, "32"}, {42, "100"}, {10, "50"}, {20, "20"}, {11, "50"},
         {21, "25"}, {13, "0"}, {23, "0"}, {14, "100"}, {24, "0"},
         {0, "DIMENSION"}, {70, "3"}, {42, "10"}, {1, "<> H7"}, {11, "0"}, {21, "0"}, {10, "0"},
         {20, "0"}, {15, "5"}, {25, "0"},
         // No measurement stored (-1, as some programs write): measured from the points.
         {0, "DIMENSION"}, {70, "32"}, {42, "-1"}, {10, "0"}, {20, "-20"}, {11, "30"},
         {21, "-18"}, {13, "0"}, {23, "-5"}, {14, "60"}, {24, "-5"}}));
    auto c = draw(d);
    auto fills = c.of("fill");
    ASSERT_GE(fills.size(), 3u);
    EXPECT_EQ(fills[0].brush.color, render::kWhite); // the wipeout
    EXPECT_EQ(fills[1].brush.color, render::kBlack); // an arrowhead in model space
    auto texts = c.of("text");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "100.0000");
    EXPECT_EQ(texts[1].text, "\xC3\x98" "10.0000 H7"); // the override keeps the measured value
    EXPECT_EQ(texts[2].text, "60.0000");
}

TEST(Renderer, ViewportShowsTheModelClipped) {
    auto d = read(entitiesSection(concat({lineWith({}),
                                          {{0, "VIEWPORT"}, {67, "1"}, {10, "50"}, {20, "50"},
                                           {40, "40"}, {41, "40"}, {69, "2"}, {12, "5"},
                                           {22, "5"}, {45, "20"}}})));
    auto c = draw(d, false, false, false, {1});
    ASSERT_EQ(c.of("clip").size(), 1u);
    EXPECT_EQ(c.of("clip")[0].x, 30);
    // The frame and the model line seen through it, at twice the size.
    auto strokes = c.of("stroke");
    ASSERT_EQ(strokes.size(), 2u);
    const auto &model = strokes[1].path.figures[0].points;
    EXPECT_NEAR(model[1].x - model[0].x, 20, 1e-9);
    const auto images = c.of("image");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].text, "0");
}

TEST(Renderer, WholeColourIndexAndTrueColours) {
    struct Case {
        Groups colour;
        bool print;
        Rgb expected;
    };
    const Case cases[] = {
        {{{62, "10"}}, true, {255, 0, 0}},
        // As ezdxf's table has them (the peer of the side-by-side comparison).
        {{{62, "94"}}, true, {0x00, 0x7F, 0x00}},
        {{{62, "171"}}, true, {0x7F, 0x7F, 0xFF}},
        {{{62, "249"}}, true, {0x58, 0x13, 0x17}},
        {{{420, "1193046"}}, true, {0x12, 0x34, 0x56}}, // true colour wins over the index
        {{{62, "1"}, {420, "1193046"}}, true, {0x12, 0x34, 0x56}},
        {{{62, "2"}}, true, {255, 255, 0}}, // printed as the file says
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colour.back().second);
        Groups line{{0, "LINE"}, {8, "0"}};
        line.insert(line.end(), c.colour.begin(), c.colour.end());
        line.insert(line.end(), {{10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}});
        auto d = read(entitiesSection(line));
        const auto strokes = draw(d, true, false, c.print).of("stroke");
        ASSERT_EQ(strokes.size(), 1u);
        EXPECT_EQ(strokes[0].pen.color, c.expected);
    }
    // On the white model background yellow and white stay readable: darker, the same hue.
    for (const char *nr : {"2", "4", "255"}) {
        SCOPED_TRACE(nr);
        auto d = read(entitiesSection(lineWith({{62, nr}})));
        const Rgb shown = draw(d).of("stroke")[0].pen.color;
        const Rgb file = render::aciColor(std::atoi(nr), true);
        EXPECT_LT(shown.r + shown.g + shown.b, 500);
        EXPECT_EQ(shown.r == shown.g, file.r == file.g);
        EXPECT_EQ(shown.g == shown.b, file.g == file.b);
    }
}

namespace {

// A dimension whose picture is its block *D1: one dimension line, an arrowhead (SOLID) and the
// text; the definition points would draw other lines.
Groups dimensionWithBlock() {
    return concat({{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "*D1"}, {10, "0"}, {20, "0"},
                    {0, "LINE"}, {8, "0"}, {62, "0"}, {10, "0"}, {20, "20"}, {11, "100"},
                    {21, "20"}, {0, "SOLID"}, {8, "0"}, {62, "0"}, {10, "0"}, {20, "20"}, {11, "2.5"},
                    {21, "20.4"}, {12, "2.5"}, {22, "19.6"}, {13, "2.5"}, {23, "19.6"},
                    {0, "MTEXT"}, {8, "0"}, {10, "50"}, {20, "21"}, {40, "2.5"}, {71, "8"},
                    {1, "100"}, {0, "ENDBLK"}, {0, "ENDSEC"}},
                   entitiesSection({{0, "DIMENSION"}, {8, "0"}, {62, "1"}, {2, "*D1"},
                                    {70, "32"}, {42, "100"}, {10, "100"}, {20, "20"}, {11, "50"},
                                    {21, "21"}, {13, "0"}, {23, "0"}, {14, "100"}, {24, "0"}})});
}

} // namespace

TEST(Renderer, DimensionDrawnFromItsBlock) {
    auto d = read(dimensionWithBlock());
    auto c = draw(d, true, false, true);
    const auto strokes = c.of("stroke");
    // The block's line (and the SOLID's outline), in the dimension's colour (by block), and
    // nothing from the definition points (whose extension lines would reach y = 0).
    ASSERT_GE(strokes.size(), 1u);
    for (const auto &st : strokes) {
        EXPECT_EQ(st.pen.color, (Rgb{255, 0, 0}));
        for (const auto &f : st.path.figures)
            for (const auto &pt : f.points) EXPECT_LT(pt.y, 199 - 19.5);
    }
    const auto texts = c.of("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "100");

    // Measured once, as a dimension: never as a cut contour.
    render::ContourFigures f;
    render::ViewState v;
    render::measureTab(d, 0, v, nullptr, f);
    const auto &byKind = f.analysis.lengthByKind;
    EXPECT_EQ(byKind[static_cast<int>(contours::MeasureKind::Cut)], 0);
    const double outline = 100 + 2 * std::hypot(2.5, 0.4) + 0.8; // the line and the arrowhead
    EXPECT_NEAR(byKind[static_cast<int>(contours::MeasureKind::Dimension)], outline, 1e-9);
}

TEST(Renderer, HatchesFillSolidAndDrawPatterns) {
    // A half disc of radius 10: a line edge along the diameter and an arc edge back.
    auto hatch = [](const char *solid, Groups pattern) {
        return concat(
            {{{0, "HATCH"}, {8, "0"}, {62, "3"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "X"},
              {70, solid}, {71, "0"}, {91, "1"}, {92, "1"}, {93, "2"}, {72, "1"}, {10, "10"},
              {20, "0"}, {11, "-10"}, {21, "0"}, {72, "2"}, {10, "0"}, {20, "0"}, {40, "10"},
              {50, "180"}, {51, "360"}, {73, "1"}, {97, "0"}, {75, "0"}, {76, "1"}},
             pattern, {{98, "0"}}});
    };
    auto solid = read(entitiesSection(hatch("1", {})));
    auto c = draw(solid, true, false, true);
    const auto fills = c.of("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].brush.kind, render::Brush::Kind::Solid);
    EXPECT_EQ(fills[0].brush.color, (Rgb{0, 255, 0}));
    EXPECT_TRUE(c.of("stroke").empty()); // a hatch shows no outline of its own
    // The arc edge runs as an arc below the diameter, not as a wedge to its centre.
    const auto &pts = fills[0].path.figures.at(0).points;
    ASSERT_GT(pts.size(), 50u);
    for (const auto &pt : pts) {
        const double x = pt.x, y = 199 - pt.y; // drawing units at zoom 100
        EXPECT_LE(y, 1e-9);
        if (y < -0.5) {
            EXPECT_NEAR(std::hypot(x, y), 10, 0.6);
        }
    }

    // ANSI31: lines at 45 degrees, 3.175 apart: drawn as lines inside the boundary, no area.
    auto pattern = read(entitiesSection(hatch(
        "0", {{52, "0"}, {41, "1"}, {77, "0"}, {78, "1"}, {53, "45"}, {43, "0"}, {44, "0"},
              {45, "-2.245"}, {46, "2.245"}, {79, "0"}})));
    auto p = draw(pattern, true, false, true);
    EXPECT_TRUE(p.of("fill").empty());
    const auto lines = p.of("stroke");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_GE(lines[0].path.figures.size(), 5u);
    for (const auto &fig : lines[0].path.figures)
        for (const auto &pt : fig.points) EXPECT_LE(std::hypot(pt.x, 199 - pt.y), 10 + 1e-6);

    // The boundary is measured as a hatch boundary, never as a cut.
    render::ContourFigures f;
    render::ViewState v;
    render::measureTab(solid, 0, v, nullptr, f);
    EXPECT_EQ(f.analysis.lengthByKind[static_cast<int>(contours::MeasureKind::Cut)], 0);
    EXPECT_NEAR(f.analysis.lengthByKind[static_cast<int>(contours::MeasureKind::Hatch)],
                20 + 10 * M_PI, 0.05);
}

TEST(Renderer, LeaderIsLinesWithAnArrowhead) {
    // Its 40/41 (the annotation's size) once made it a polyline 3 units wide: a blob.
    auto d = read(concat({{{0, "SECTION"}, {2, "HEADER"}, {9, "$MEASUREMENT"}, {70, "1"},
                           {0, "ENDSEC"}},
                          entitiesSection({{0, "LEADER"}, {8, "0"}, {71, "1"}, {40, "2"},
                                           {41, "3"}, {10, "0"}, {20, "0"}, {10, "20"},
                                           {20, "20"}, {10, "40"}, {20, "20"}})}));
    auto c = draw(d);
    const auto strokes = c.of("stroke");
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].pen.width, 1);
    const auto fills = c.of("fill");
    ASSERT_EQ(fills.size(), 1u); // the arrowhead only, 2.5 long at its tip (0, 0)
    double reach = 0;
    for (const auto &pt : fills[0].path.figures[0].points)
        reach = std::max(reach, std::hypot(pt.x, 199 - pt.y));
    EXPECT_NEAR(reach, 2.5 * std::hypot(1, 1.0 / 6), 1e-6);
}

TEST(Renderer, ViewportSwitchedOffShowsNothing) {
    auto d = read(entitiesSection(concat({lineWith({}),
                                          {{0, "VIEWPORT"}, {67, "1"}, {10, "50"}, {20, "50"},
                                           {40, "40"}, {41, "40"}, {68, "0"}, {69, "2"},
                                           {12, "5"}, {22, "5"}, {45, "20"}}})));
    auto c = draw(d, false);
    EXPECT_TRUE(c.of("clip").empty());
    EXPECT_TRUE(c.of("stroke").empty());
}

TEST(Renderer, FitShowsInsertedBlocksNotTheirInsertionPoints) {
    // A 10 x 10 square defined far from its base point, inserted at scale 2 at (1000, 500); a
    // construction line through the origin.
    auto d = read(concat(
        {{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "SQ"}, {10, "100"}, {20, "100"},
          {0, "LWPOLYLINE"}, {8, "0"}, {90, "4"}, {70, "1"}, {10, "100"}, {20, "100"},
          {10, "110"}, {20, "100"}, {10, "110"}, {20, "110"}, {10, "100"}, {20, "110"},
          {0, "ENDBLK"}, {0, "ENDSEC"}},
         entitiesSection({{0, "INSERT"}, {8, "0"}, {2, "SQ"}, {10, "1000"}, {20, "500"},
                          {41, "2"}, {42, "2"}, {0, "XLINE"}, {8, "0"}, {10, "0"}, {20, "0"},
                          {11, "1"}, {21, "0"}})}));
    const render::DrawnBox box = render::drawnBounds(d, render::tabView(d, 0));
    ASSERT_FALSE(box.empty);
    EXPECT_NEAR(box.minx, 1000, 1e-3);
    EXPECT_NEAR(box.miny, 500, 1e-3);
    EXPECT_NEAR(box.maxx, 1020, 1e-3);
    EXPECT_NEAR(box.maxy, 520, 1e-3);
    // The 180-pixel preview holds the whole square, filling most of it.
    render::ViewState v;
    render::ZoomFullIn180(d, 0, render::PageSetup{}, v);
    const render::ViewTransform t = render::transformOf(v, render::kPreviewSize);
    for (auto [x, y] : {std::pair{1000.0, 500.0}, {1020.0, 520.0}}) {
        const render::Pixel px = t.pixel(x, y);
        EXPECT_GE(px.x, 0);
        EXPECT_LT(px.x, 180);
        EXPECT_GE(px.y, 0);
        EXPECT_LT(px.y, 180);
    }
    EXPECT_GT(t.screenX(1020) - t.screenX(1000), 100);
}
