// Picking, box selection, select all and none on the shown tab; locked and other tabs' entities.
#include "drawings.h"
#include "editor_fixture.h"

#include <set>

using namespace quentar;
using namespace quentar::testing;
using editor::PickOutcome;

namespace {

const Groups kLockedLayer = lockedLayerTable();

using Indices = std::vector<std::size_t>;

// 5: a SOLID whose corners run (600, 100), (700, 100), (700, 200), (600, 200): its closing edge
// is the segment x = 600.
Groups solid() {
    return {{0, "SOLID"}, {8, "0"},    {10, "600"}, {20, "100"}, {11, "700"},
            {21, "100"},  {12, "600"}, {22, "200"}, {13, "700"}, {23, "200"}};
}
// 6: a circle about (800, 400) of radius 50; its grips are the centre and the quarter points.
Groups circle() { return {{0, "CIRCLE"}, {8, "0"}, {10, "800"}, {20, "400"}, {40, "50"}}; }
// 7: a cubic spline with its control polygon far from the curve: (100, 500), (150, 600),
// (250, 600), (300, 500).
Groups spline() {
    return {{0, "SPLINE"}, {8, "0"},    {70, "8"},   {71, "3"},   {72, "8"},   {73, "4"},
            {40, "0"},     {40, "0"},   {40, "0"},   {40, "0"},   {40, "1"},   {40, "1"},
            {40, "1"},     {40, "1"},   {10, "100"}, {20, "500"}, {10, "150"}, {20, "600"},
            {10, "250"},   {20, "600"}, {10, "300"}, {20, "500"}};
}

class Picking : public EditorTest {
protected:
    void SetUp() override {
        open(concat(
            {kLockedLayer, entitiesSection(concat({point(100, 100),                            // 0
                                                   line(200, 100, 300, 100),                   // 1
                                                   line(300, 100, 300, 200),                   // 2
                                                   line(400, 100, 500, 100, "LOCK"),           // 3
                                                   line(400, 200, 500, 200, "0", {{67, "1"}}), // 4
                                                   solid(), circle(), spline()}))}));
        ASSERT_EQ(viewer.drawing().anzpoly, 8);
    }
    void selectOnly(const Indices &chosen) {
        editor.selectNone();
        for (std::size_t i : chosen) editor.select(i);
    }
};

TEST_F(Picking, GripAndSegmentPasses) {
    struct Case {
        const char *name;
        Indices before;
        double x, y; // the click, drawing units (one pixel each)
        bool shift;
        PickOutcome outcome;
        Indices after;
    };
    // clang-format off
    const Case cases[] = {
        {"4 px from an unselected point: no grip", {}, 104, 100, false, PickOutcome::Nothing, {}},
        {"3 px from an unselected point takes it", {}, 103, 100, false, PickOutcome::Hit, {0}},
        {"4 px from a selected point drags its grip", {0}, 104, 100, false, PickOutcome::GripDrag,
         {0}},
        {"Shift on a selected entity deselects, no drag", {0}, 100, 100, true, PickOutcome::Hit,
         {}},
        {"2 px beside a segment", {}, 250, 102, false, PickOutcome::Hit, {1}},
        {"3 px beside a segment is no hit", {}, 250, 103, false, PickOutcome::Nothing, {}},
        {"4 px beyond a segment's end is no hit", {}, 196, 100, false, PickOutcome::Nothing, {}},
        {"a selected entity's segment drags the selection", {1, 0}, 250, 101, false,
         PickOutcome::SelectionDrag, {0, 1}},
        {"Shift on a selected entity's segment", {1, 0}, 250, 101, true, PickOutcome::Hit, {0}},
        // Both get their grip; the segment pass then finds the first one already selected.
        {"a shared end point takes both entities", {}, 300, 100, false,
         PickOutcome::SelectionDrag, {1, 2}},
        {"an entity on a locked layer", {}, 450, 100, false, PickOutcome::Nothing, {}},
        {"an entity of another tab", {}, 450, 200, false, PickOutcome::Nothing, {}},
        {"the closing edge of a SOLID", {}, 601, 150, false, PickOutcome::Hit, {5}},
        // A sampled point of a circle has no line of its own: it is no grip.
        {"a selected circle at a sampled point", {6}, 800 + 50 * 0.809016994374947,
         400 + 50 * 0.587785252292473, false, PickOutcome::SelectionDrag, {6}},
        {"a selected circle at its quarter point", {6}, 850, 400, false, PickOutcome::GripDrag,
         {6}},
        // The curve's top lies at y = 575: the control polygon's top edge 25 pixels above it.
        {"a spline's control polygon 25 px off the curve", {}, 200, 600, false,
         PickOutcome::Nothing, {}},
        {"the spline's curve", {}, 200, 575, false, PickOutcome::Hit, {7}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        selectOnly(c.before);
        const render::Pixel at = px(c.x, c.y);
        const editor::PickResult r = editor.pick(at.x, at.y, c.shift);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(selected(), c.after);
    }
    // A grip drag names the entity, the vertex and its drawing point.
    selectOnly({2});
    const render::Pixel end = px(300, 204);
    const editor::PickResult r = editor.pick(end.x, end.y, false);
    ASSERT_EQ(r.outcome, PickOutcome::GripDrag);
    EXPECT_EQ(r.moveobjnr, 2u);
    EXPECT_EQ(viewer.drawing().polys[2].p(r.movepointnr).y, 200);
    EXPECT_EQ(r.linesx, 300);
    EXPECT_EQ(r.linesy, 200);
}

TEST_F(Picking, WhatIsDrawnIsWhatIsPicked) {
    // An uneven view: zoom and scroll positions in hundredths of a pixel. The grip the paint
    // draws for the selected line is where a click finds it.
    class GripCanvas : public render::Canvas {
    public:
        std::vector<render::Pixel> grips;
        void strokePath(const render::Path &, const render::Pen &) override {}
        void fillPath(const render::Path &, const render::Brush &) override {}
        void fillRect(int x, int y, int w, int, render::Rgb c) override {
            if (w == 10 && c == render::Rgb{0, 0, 255}) grips.push_back({x + 5, y + 5});
        }
        void frameRect(int, int, int, int, render::Rgb) override {}
        void drawText(std::string_view, double, const render::Transform &, render::Rgb) override {}
        void strokeText(std::string_view, double, const render::Transform &,
                        const render::Pen &) override {}
        void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
        void pushClipRect(int, int, int, int) override {}
        void popClip() override {}
        void drawHandleImage(int, int, int) override {}
    };
    for (const render::ViewState v : {render::ViewState{137.3, 12345, -6789, false},
                                      render::ViewState{61.25, -2050, 2049, false},
                                      render::ViewState{1000, 150050, -50050, false}}) {
        SCOPED_TRACE(v.zoomedvalue);
        viewer.setView(v);
        selectOnly({1});
        GripCanvas canvas;
        viewer.PaintBox1Paint(canvas, 96);
        ASSERT_EQ(canvas.grips.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
            const editor::PickResult r = editor.pick(canvas.grips[k].x, canvas.grips[k].y, false);
            EXPECT_EQ(r.outcome, PickOutcome::GripDrag);
            EXPECT_EQ(r.movepointnr, static_cast<int>(k));
        }
    }
}

TEST_F(Picking, BoxSelection) {
    open(concat({kLockedLayer, entitiesSection(concat({line(100, 100, 900, 100),         // 0
                                                       line(100, 300, 200, 300),         // 1
                                                       line(100, 400, 200, 400, "LOCK"), // 2
                                                       point(500, 500),                  // 3
                                                       line(100, 500, 200, 500, "0",     // 4
                                                            {{67, "1"}})}))}));
    struct Case {
        const char *name;
        Indices before;
        double x1, y1, x2, y2; // the corners, drawing units
        bool shift;
        bool caught;
        Indices after;
    };
    // clang-format off
    const Case cases[] = {
        {"a box around one end of a long line", {}, 850, 50, 950, 150, false, true, {0}},
        {"a vertex on the border is inside", {}, 200, 300, 250, 350, false, true, {1}},
        {"corners in either order", {}, 250, 350, 200, 300, false, true, {1}},
        {"a segment through the box without a vertex in it", {}, 400, 50, 500, 150, false, false,
         {}},
        {"locked entities are not caught", {}, 50, 250, 250, 450, false, true, {1}},
        {"another tab's entities are not caught", {}, 50, 450, 250, 550, false, false, {}},
        {"others keep their state", {3}, 50, 250, 250, 450, false, true, {1, 3}},
        {"Shift deselects", {0, 1}, 50, 250, 250, 350, true, true, {0}},
        {"an empty box", {0}, 300, 200, 400, 250, false, false, {0}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        editor.selectNone();
        for (std::size_t i : c.before) editor.select(i);
        const render::Pixel a = px(c.x1, c.y1), b = px(c.x2, c.y2);
        EXPECT_EQ(editor.MassSelect(a.x, a.y, b.x, b.y, c.shift), c.caught);
        EXPECT_EQ(selected(), c.after);
    }
    // Caught by a box, then picked by a click: the box mark goes.
    editor.selectNone();
    const render::Pixel a = px(90, 290), b = px(210, 310);
    editor.MassSelect(a.x, a.y, b.x, b.y, false);
    EXPECT_TRUE(editor.selection().massSelected(1));
    const render::Pixel end = px(100, 300);
    editor.pick(end.x, end.y, false);
    EXPECT_FALSE(editor.selection().massSelected(1));
}

TEST_F(Picking, SelectAllAndNoneFollowTheShownTab) {
    open(threeTabs());
    ASSERT_EQ(viewer.drawing().tabCaptions.size(), 3u);
    ASSERT_EQ(viewer.drawing().anzpoly, 6);
    const Indices expected[] = {{2, 5}, {3}, {0}};
    for (int tab = 0; tab < 3; ++tab) {
        SCOPED_TRACE(tab);
        viewer.TabControl1Change(tab);
        editor.selectNone();
        EXPECT_FALSE(editor.IsSelected());
        editor.selectAll();
        EXPECT_EQ(selected(), expected[tab]);
        EXPECT_TRUE(editor.IsSelected());
    }
    // The selection of one tab is not "selected" on another.
    viewer.TabControl1Change(1);
    EXPECT_FALSE(editor.IsSelected());
    editor.selectNone();
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(editor.locked(4));
    EXPECT_FALSE(editor.locked(2));
}

TEST_F(Picking, WhatATabDrawsIsWhatItsRuleShows) {
    // One rule for every question about a tab: the entities its paint draws are those picking,
    // snapping and selecting take (less the locked ones for selecting).
    class BegunCanvas : public render::Canvas {
      public:
        std::set<std::size_t> begun;
        void beginEntity(std::size_t i) override { begun.insert(i); }
        void strokePath(const render::Path &, const render::Pen &) override {}
        void fillPath(const render::Path &, const render::Brush &) override {}
        void fillRect(int, int, int, int, render::Rgb) override {}
        void frameRect(int, int, int, int, render::Rgb) override {}
        void drawText(std::string_view, double, const render::Transform &, render::Rgb) override {}
        void strokeText(std::string_view, double, const render::Transform &,
                        const render::Pen &) override {}
        void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
        void pushClipRect(int, int, int, int) override {}
        void popClip() override {}
        void drawHandleImage(int, int, int) override {}
    };
    open(threeTabs());
    for (int tab = 0; tab < 3; ++tab) {
        SCOPED_TRACE(tab);
        viewer.TabControl1Change(tab);
        BegunCanvas canvas;
        viewer.PaintBox1Paint(canvas, 96);
        const render::TabView tv = render::tabView(viewer.drawing(), tab);
        std::set<std::size_t> shown, selectable;
        for (std::size_t i = 0; i < viewer.drawing().polys.size(); ++i) {
            if (tv.shows(viewer.drawing().polys[i])) shown.insert(i);
            if (editor.scene().selectable(i)) selectable.insert(i);
        }
        EXPECT_EQ(canvas.begun, shown);
        editor.selectAll();
        const Indices all = selected();
        EXPECT_EQ(std::set<std::size_t>(all.begin(), all.end()), selectable);
        for (std::size_t i : selectable) EXPECT_TRUE(shown.count(i));
        editor.selectNone();
    }
}

TEST_F(Picking, EmptyDrawing) {
    open(entitiesSection({}));
    EXPECT_EQ(editor.pick(10, 10, false).outcome, PickOutcome::Nothing);
    EXPECT_FALSE(editor.MassSelect(0, 0, 999, 639, false));
    EXPECT_FALSE(editor.SnapPoints(10, 10, 10, 10, false).setted);
}

} // namespace
