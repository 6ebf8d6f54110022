// The edit tools and the drags through the headless host: when they ask for their operation, with
// which entities and points, what they preview, and what a double click on a text edits. The
// operations themselves are planned elsewhere; here a recording planner stands in for them.
#include "drawings.h"
#include "editor/text_change.h"
#include "editor_fixture.h"

using namespace quentar;
using namespace quentar::testing;
using editor::EditOperation;
using editor::MouseButton;
using editor::Point3;

namespace {

using Indices = std::vector<std::size_t>;

struct Planned {
    Indices entities;
    EditOperation op;
    Point3 base, second;
};

class EditTools : public EditorTest {
protected:
    void SetUp() override {
        open(entitiesSection(concat({line(100, 100, 300, 100), line(100, 300, 300, 300)})));
        // Rotate and scale take their second point from a click here.
        input.setKeyboardEntry({false, false});
        // The stand-in plans a POINT at the second point, so that a commit is seen.
        input.setEditPlanner([this](const document::Drawing &d, const Indices &entities,
                                    EditOperation op, const Point3 &base, const Point3 &second) {
            planned.push_back({entities, op, base, second});
            editor::Creation c;
            c.steps.push_back(pointAt(d, second));
            return c;
        });
        input.setGripPlanner([this](const document::Drawing &d, std::size_t entity, int vertex,
                                    const Point3 &from, const Point3 &to) {
            grips.push_back({entity, vertex, from, to});
            editor::Creation c;
            c.steps.push_back(pointAt(d, to));
            return c;
        });
    }
    static document::EditBatch pointAt(const document::Drawing &d, const Point3 &p) {
        document::EditBatch b;
        b.edits.push_back(
            {d.insertlinepos, {}, {"  0", "POINT", "  8", "0", " 10", num(p.x), " 20", num(p.y)}});
        return b;
    }
    editor::PointerEvent at(double x, double y, MouseButton b = MouseButton::Left) {
        const render::Pixel p = px(x, y);
        return {p.x, p.y, b, {}};
    }
    void click(double x, double y, MouseButton b = MouseButton::Left) {
        input.mouseDown(at(x, y, b));
        input.mouseUp(at(x, y, b));
    }

    struct Grip {
        std::size_t entity;
        int vertex;
        Point3 from, to;
    };
    std::vector<Planned> planned;
    std::vector<Grip> grips;
};

TEST_F(EditTools, WithASelectionTheToolTakesItsTwoPoints) {
    const std::string original = lines();
    editor.select(1);
    input.chooseEditTool(EditOperation::Move);
    EXPECT_TRUE(input.is(editor::Flag::inmoveline));
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::Move);
    EXPECT_EQ(input.cursor(), editor::CursorShape::Cross);
    click(100, 300); // the base point, snapped onto the line's end
    input.mouseMove(at(152, 352));
    click(152, 352);
    ASSERT_EQ(planned.size(), 1u);
    EXPECT_EQ(planned[0].entities, Indices{1});
    EXPECT_EQ(planned[0].op, EditOperation::Move);
    EXPECT_EQ(planned[0].base.x, 100);
    EXPECT_EQ(planned[0].base.y, 300);
    EXPECT_EQ(planned[0].second.x, 152);
    EXPECT_EQ(planned[0].second.y, 352);
    EXPECT_EQ(viewer.drawing().anzpoly, 3); // committed as one step
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
    editor.undo();
    EXPECT_EQ(lines(), original);
}

TEST_F(EditTools, WithoutASelectionTheToolWaitsForOneConfirmedWithTheRightButton) {
    struct Case {
        EditOperation op;
        editor::Flag select, points;
    };
    const Case cases[] = {
        {EditOperation::Copy, editor::Flag::incopyselect, editor::Flag::incopyline},
        {EditOperation::Rotate, editor::Flag::inrotateselect, editor::Flag::inrotateline},
        {EditOperation::Scale, editor::Flag::inscaleselect, editor::Flag::inscaleline},
        {EditOperation::Mirror, editor::Flag::inmirrorselect, editor::Flag::inmirrorline},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        planned.clear();
        editor.selectNone();
        input.chooseEditTool(c.op);
        EXPECT_TRUE(input.is(c.select));
        EXPECT_EQ(input.cursor(), editor::CursorShape::Arrow);
        // Clicks select as without a tool, a box too; the right button confirms.
        click(200, 101);
        click(50, 250);
        click(350, 350);
        EXPECT_EQ(editor.selectedOnTab(), (Indices{0, 1}));
        click(500, 500, MouseButton::Right);
        EXPECT_FALSE(input.is(c.select));
        EXPECT_TRUE(input.is(c.points));
        EXPECT_EQ(input.cursor(), editor::CursorShape::Cross);
        click(400, 400);
        click(450, 420);
        ASSERT_EQ(planned.size(), 1u);
        EXPECT_EQ(planned[0].op, c.op);
        EXPECT_EQ(planned[0].entities, (Indices{0, 1}));
        EXPECT_FALSE(input.is(c.points));
        editor.undo();
    }
    // The right button in the point phase ends the tool without an operation.
    editor.select(0);
    input.chooseEditTool(EditOperation::Rotate);
    click(400, 400);
    click(0, 0, MouseButton::Right);
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
    EXPECT_EQ(planned.size(), 1u);
}

// Records the strokes of the overlay.
class Strokes : public render::Canvas {
public:
    std::vector<render::PointF> points;
    void strokePath(const render::Path &path, const render::Pen &) override {
        for (const auto &f : path.figures)
            points.insert(points.end(), f.points.begin(), f.points.end());
    }
    void fillPath(const render::Path &, const render::Brush &) override {}
    void fillRect(int, int, int, int, render::Rgb) override {}
    void frameRect(int, int, int, int, render::Rgb) override {}
    void drawText(std::string_view text, double, const render::Transform &t, render::Rgb) override {
        texts.push_back({std::string(text), {t.dx, t.dy}});
    }
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view text, int sizePx, int &w, int &h) override {
        w = static_cast<int>(text.size()) * sizePx;
        h = sizePx;
    }
    void pushClipRect(int, int, int, int) override {}
    void popClip() override {}
    void drawHandleImage(int, int, int) override {}
    struct Text {
        std::string text;
        render::PointF origin; // pixels
    };
    std::vector<Text> texts;
    bool has(render::Pixel p) const {
        for (const auto &q : points)
            if (std::abs(q.x - p.x) < 0.6 && std::abs(q.y - p.y) < 0.6) return true;
        return false;
    }
};

TEST_F(EditTools, ThePreviewShowsTheSelectionAsTheOperationWouldLeaveIt) {
    // The lower line turned, reflected or scaled about (100, 100) with the pointer at (100, 200).
    struct Case {
        EditOperation op;
        double x, y; // where the line's far end (300, 100) is shown
    };
    const Case cases[] = {
        {EditOperation::Move, 300, 200},
        {EditOperation::Rotate, 100, 300},  // a quarter turn
        {EditOperation::Mirror, -100, 100}, // reflected in the vertical through the base point
        {EditOperation::Scale, 20100, 100}, // by the distance 100
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        editor.selectNone();
        editor.select(0);
        input.chooseEditTool(c.op);
        click(100, 100);
        input.mouseMove(at(100, 200));
        Strokes overlay;
        input.drawOverlay(overlay);
        EXPECT_TRUE(overlay.has(px(c.x, c.y)));
        input.SetAlltoFalse();
    }
    EXPECT_TRUE(planned.empty());
}

TEST_F(EditTools, ThePreviewShowsInsertsAndTextsAsTheDrawingDoes) {
    // clang-format off
    const Groups blocks{
        {0, "SECTION"}, {2, "BLOCKS"},
        {0, "BLOCK"}, {2, "B"}, {10, "0"}, {20, "0"},
        {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "50"}, {21, "0"},
        {0, "ENDBLK"}, {0, "ENDSEC"}};
    const Groups entities{
        {0, "SECTION"}, {2, "ENTITIES"},
        {0, "INSERT"}, {8, "0"}, {2, "B"}, {10, "100"}, {20, "300"},
        {0, "TEXT"}, {8, "0"}, {10, "100"}, {20, "400"}, {40, "10"}, {1, "AB"},
        {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "9"}, {21, "0"},
        {0, "ENDSEC"}, {0, "EOF"}};
    // clang-format on
    open(concat({blocks, entities}));
    // Records: 0 the block's line, 1 the insert, 2 the text, 3 the line.
    editor.select(1);
    editor.select(2);
    input.chooseEditTool(EditOperation::Move);
    click(100, 100);
    const auto overlayAt = [&](double x, double y) {
        input.mouseMove(at(x, y));
        Strokes overlay;
        input.drawOverlay(overlay);
        return overlay;
    };
    // Moved by (0, 100): the block's line from (100, 400) to (150, 400), the text 100 units up;
    // the unselected line stays out.
    const Strokes still = overlayAt(100, 100), moved = overlayAt(100, 200);
    EXPECT_TRUE(moved.has(px(100, 400)));
    EXPECT_TRUE(moved.has(px(150, 400)));
    EXPECT_FALSE(moved.has(px(9, 100)));
    ASSERT_EQ(still.texts.size(), 1u);
    ASSERT_EQ(moved.texts.size(), 1u);
    EXPECT_EQ(moved.texts[0].text, "AB");
    const double up = px(0, 0).y - px(0, 100).y;
    EXPECT_NEAR(moved.texts[0].origin.x, still.texts[0].origin.x, 1e-6);
    EXPECT_NEAR(still.texts[0].origin.y - moved.texts[0].origin.y, up, 1e-6);
    input.SetAlltoFalse();
    EXPECT_TRUE(planned.empty());
}

TEST_F(EditTools, DraggingTheSelectionOrAGripAsksForTheMoveWithExactPoints) {
    editor.select(0);
    // A press on the selected line's segment drags the selection; the release lands snapped
    // onto the upper line's end.
    input.mouseDown(at(200, 101));
    EXPECT_TRUE(input.inmove());
    editor::PointerEvent drag = at(298, 302);
    drag.held = true;
    input.mouseMove(drag);
    input.mouseUp(at(298, 302));
    EXPECT_FALSE(input.inmove());
    ASSERT_EQ(planned.size(), 1u);
    EXPECT_EQ(planned[0].entities, Indices{0});
    EXPECT_EQ(planned[0].second.x, 300);
    EXPECT_EQ(planned[0].second.y, 300);
    // The grab point was on the segment: (200, 101) taken as it is, no vertex near.
    EXPECT_EQ(planned[0].base.x, 200);
    EXPECT_EQ(planned[0].base.y, 101);
    editor.undo();

    // A grip of a selected entity: its vertex moves exactly onto the point it is dropped on.
    editor.selectNone();
    editor.select(0);
    input.mouseDown(at(303, 102));
    EXPECT_TRUE(input.inmovepoint());
    input.mouseUp(at(301, 298));
    ASSERT_EQ(grips.size(), 1u);
    EXPECT_EQ(grips[0].entity, 0u);
    EXPECT_EQ(grips[0].from.x, 300);
    EXPECT_EQ(grips[0].from.y, 100);
    EXPECT_EQ(grips[0].to.x, 300);
    EXPECT_EQ(grips[0].to.y, 300);
    editor.undo();

    // Released where it began: nothing.
    editor.selectNone();
    editor.select(0);
    input.mouseDown(at(200, 100));
    input.mouseUp(at(200, 100));
    EXPECT_EQ(planned.size(), 1u);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(EditTools, ADoubleClickOnASelectedTextEditsItsText) {
    std::string piece3a(250, 'a'), piece3b(250, 'b');
    open(entitiesSection(Groups{{0, "MTEXT"},
                                {8, "0"},
                                {10, "100"},
                                {20, "100"},
                                {40, "2.5"},
                                {3, piece3a},
                                {3, piece3b},
                                {1, "end"}}));
    const std::string original = lines();
    ASSERT_EQ(viewer.drawing().anzpoly, 1);
    // A double click needs the text selected (its first click picks it).
    window.changedTextAnswer = "Neu\nZeile";
    input.doubleClick(at(100, 100));
    EXPECT_EQ(lines(), original);
    click(100, 100);
    ASSERT_TRUE(editor.IsSelected());
    input.mouseMove(at(102, 98));
    input.doubleClick(at(102, 98));
    EXPECT_EQ(viewer.drawing().polys[0].detail().textstr, "Neu\\PZeile");
    std::string shown;
    ASSERT_TRUE(editor::textOf(viewer.drawing(), 0, shown));
    EXPECT_EQ(shown, "Neu\nZeile");
    editor.undo();
    EXPECT_EQ(lines(), original);
}

TEST(ChangeText, PiecesAreWrittenAsTheTextNeedsThem) {
    struct Case {
        const char *name;
        std::string before3, before1; // the text's pieces in the file ("" before3: none)
        std::string text;             // the dialog's
        std::vector<std::string> groups3;
        std::string group1;
    };
    const std::string a250(250, 'a'), b100(100, 'b');
    const Case cases[] = {
        {"two pieces become one", a250, "x", b100, {}, b100},
        {"one becomes three", "", "x", a250 + a250 + b100, {a250, a250}, b100},
        {"line breaks as paragraphs", "", "x", "eins\r\nzwei", {}, "eins\\Pzwei"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Groups g{{0, "MTEXT"}, {8, "0"}, {10, "1"}, {20, "1"}, {40, "2.5"}};
        if (!c.before3.empty()) g.insert(g.end(), {{3, c.before3}, {3, c.before3}});
        g.push_back({1, c.before1});
        document::Drawing d = read(entitiesSection(g));
        const std::string original = d.dxf.serialize();
        const auto step = editor::ChangeText(d, 0, c.text);
        ASSERT_TRUE(step);
        document::redoBatch(d.dxf, *step);
        std::vector<std::string> threes;
        std::string one;
        for (std::size_t l = 0; l + 1 < d.dxf.size(); l += 2) {
            const std::string_view code = document::trimLine(d.dxf[l]);
            if (code == "3") threes.emplace_back(d.dxf[l + 1]);
            if (code == "1") one = std::string(d.dxf[l + 1]);
        }
        EXPECT_EQ(threes, c.groups3);
        EXPECT_EQ(one, c.group1);
        document::undoBatch(d.dxf, *step);
        EXPECT_EQ(d.dxf.serialize(), original);
    }
    // The same text again changes nothing.
    document::Drawing d = read(entitiesSection(
        Groups{{0, "TEXT"}, {8, "0"}, {10, "1"}, {20, "1"}, {40, "2.5"}, {1, "gleich"}}));
    EXPECT_FALSE(editor::ChangeText(d, 0, "gleich"));
    // A TEXT holds one line.
    const auto step = editor::ChangeText(d, 0, "erste\nzweite");
    ASSERT_TRUE(step);
    document::redoBatch(d.dxf, *step);
    EXPECT_NE(d.dxf.serialize().find("\r\nerste\r\n"), std::string::npos);
}

} // namespace
