// Clicks without a tool: picking, the box selection across two clicks, Escape, the delete tool
// waiting for a selection, the view tools taking the pointer.
#include "drawings.h"
#include "editor_fixture.h"

using namespace quentar;
using namespace quentar::testing;
using editor::MouseButton;
using editor::PointerEvent;

namespace {

class Input : public EditorTest {
protected:
    void SetUp() override {
        open(entitiesSection(concat({line(100, 100, 200, 100), line(100, 300, 200, 300)})));
    }
    void click(double x, double y, MouseButton button = MouseButton::Left, bool shift = false) {
        const render::Pixel p = px(x, y);
        input.mouseDown({p.x, p.y, button, {shift, false, false}});
        input.mouseUp({p.x, p.y, button, {shift, false, false}});
    }
    void move(double x, double y) {
        const render::Pixel p = px(x, y);
        input.mouseMove({p.x, p.y, MouseButton::Left, {}});
    }
    bool key(editor::Key k) { return input.keyDown({k, {}, {}}); }
};

TEST_F(Input, AClickIntoEmptySpaceOpensABoxTheNextClickCloses) {
    click(50, 250);
    EXPECT_TRUE(input.inmassselect());
    const int overlays = window.overlayRepaints;
    move(150, 350);
    EXPECT_GT(window.overlayRepaints, overlays); // the rubber band follows the pointer
    click(250, 350);
    EXPECT_FALSE(input.inmassselect());
    EXPECT_EQ(selected(), (std::vector<std::size_t>{1}));
    // A click on a line picks it; on a selected one it drags the selection until released.
    click(150, 101);
    EXPECT_EQ(selected(), (std::vector<std::size_t>{0, 1}));
    const render::Pixel on = px(150, 299);
    input.mouseDown({on.x, on.y, MouseButton::Left, {}});
    EXPECT_TRUE(input.inmove());
    input.mouseUp({on.x, on.y, MouseButton::Left, {}});
    EXPECT_FALSE(input.inmove());
    EXPECT_EQ(selected(), (std::vector<std::size_t>{0, 1}));
}

TEST_F(Input, EscapeDropsWhatIsUnderWayElseTheSelection) {
    click(150, 100);
    click(50, 50); // opens a box
    ASSERT_TRUE(input.inmassselect());
    EXPECT_TRUE(key(editor::Key::Escape));
    EXPECT_FALSE(input.inmassselect());
    EXPECT_EQ(selected(), (std::vector<std::size_t>{0}));
    EXPECT_TRUE(key(editor::Key::Escape));
    EXPECT_TRUE(selected().empty());
}

TEST_F(Input, TheDeleteToolWaitsForASelection) {
    const std::string original = lines();
    input.DelBtnClick();
    EXPECT_TRUE(input.indelselect());
    EXPECT_EQ(input.cursor(), editor::CursorShape::Arrow);
    click(150, 300);
    EXPECT_EQ(viewer.drawing().anzpoly, 2);
    click(500, 500, MouseButton::Right); // confirms
    EXPECT_FALSE(input.indelselect());
    ASSERT_EQ(viewer.drawing().anzpoly, 1);
    EXPECT_EQ(viewer.drawing().polys[0].p(0).y, 100);
    // With a selection it deletes at once; so does the Delete key.
    editor.select(0);
    input.DelBtnClick();
    EXPECT_FALSE(input.indelselect());
    EXPECT_EQ(viewer.drawing().anzpoly, 0);
    editor.undo();
    editor.undo();
    EXPECT_EQ(lines(), original);
    click(150, 100);
    EXPECT_TRUE(key(editor::Key::Delete));
    EXPECT_EQ(viewer.drawing().anzpoly, 1);
}

TEST_F(Input, AViewToolEndsTheBoxAndTakesThePointer) {
    click(50, 50);
    ASSERT_TRUE(input.inmassselect());
    input.chooseViewTool(editor::ViewTool::Hand);
    EXPECT_FALSE(input.inmassselect());
    EXPECT_EQ(input.cursor(), editor::CursorShape::Hand);
    const int64_t h = viewer.view().horzPosition;
    input.mouseDown({100, 100, MouseButton::Left, {}});
    input.mouseMove({130, 100, MouseButton::Left, {}});
    input.mouseUp({130, 100, MouseButton::Left, {}});
    EXPECT_EQ(viewer.view().horzPosition, h - 3000);
    EXPECT_TRUE(selected().empty());                     // the drag picked nothing
    input.mouseDown({100, 100, MouseButton::Right, {}}); // leaves the tool
    EXPECT_EQ(input.activeViewTool(), editor::ViewTool::None);
}

} // namespace
