// Snapping: the alignment with the reference point and the choice among the drawing's points.
#include "drawings.h"
#include "editor/snapping.h"
#include "editor_fixture.h"

using namespace quentar;
using namespace quentar::testing;

namespace {

TEST(Snapping, AlignmentWithTheReferencePoint) {
    struct Case {
        const char *name;
        int dx, dy; // pointer relative to the reference point, pixels
        int ex, ey; // where it lands, relative to the reference point
    };
    // clang-format off
    const Case cases[] = {
        {"both alignments: onto the reference point", 3, 4, 0, 0},
        {"the diagonal below right", 20, 22, 20, 20},
        {"horizontal, then the diagonal from there", 8, -3, 8, 8},
        {"the diagonal above left", -30, -27, -30, -30},
        {"horizontal", 50, -5, 50, 0},
        {"vertical", 5, 60, 0, 60},
        {"none", 40, 20, 40, 20},
        {"the pointer on the reference point", 0, 0, 0, 0},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int x = 300 + c.dx, y = 200 + c.dy;
        editor::alignWithReference(300, 200, x, y);
        EXPECT_EQ(x, 300 + c.ex);
        EXPECT_EQ(y, 200 + c.ey);
    }
}

class Snap : public EditorTest {
protected:
    void SetUp() override {
        // clang-format off
        open(concat({lockedLayerTable(), entitiesSection(concat({
            point(100, 100),                 // 0
            point(106, 100),                 // 1
            {{0, "CIRCLE"}, {8, "0"}, {10, "300"}, {20, "300"}, {40, "50"}}, // 2
            point(500, 100, "LOCK"),         // 3: on a locked layer
            point(600, 100, "0", {{67, "1"}}), // 4: on the paper tab
            point(700.25, 100.4),            // 5
            point(803, 100),                 // 6
            point(797, 100),                 // 7
        }))}));
        // clang-format on
        ASSERT_EQ(viewer.drawing().anzpoly, 8);
    }
};

TEST_F(Snap, TheNearestPointInTheSquareWins) {
    struct Case {
        const char *name;
        double x, y; // the pointer, drawing units (one pixel each)
        bool ctrl;
        bool setted;
        double ex, ey; // the point taken
    };
    // clang-format off
    const Case cases[] = {
        {"equally near: the lower record wins", 103, 100, false, true, 100, 100},
        {"the nearer wins, though later", 104, 100, false, true, 106, 100},
        {"a corner of the 11 x 11 square", 95, 105, false, true, 100, 100},
        {"one pixel beyond the square", 94, 100, false, false, 0, 0},
        {"Ctrl: the pointer as it is", 101, 100, true, false, 0, 0},
        {"the centre of a circle", 302, 298, false, true, 300, 300},
        {"a point on the circle", 353, 300, false, true, 350, 300},
        {"a locked entity is snapped to", 502, 100, false, true, 500, 100},
        {"another tab's entity is not", 601, 100, false, false, 0, 0},
        {"the exact coordinates, not the pixel's", 701, 100, false, true, 700.25, 100.4},
        {"a tie of later records: the lower wins", 800, 100, false, true, 803, 100},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const render::Pixel at = px(c.x, c.y);
        // The pointer is its own reference: no alignment.
        const editor::SnapResult r = editor.SnapPoints(at.x, at.y, at.x, at.y, c.ctrl);
        EXPECT_EQ(r.setted, c.setted);
        if (c.setted) {
            EXPECT_EQ(r.ex, c.ex);
            EXPECT_EQ(r.ey, c.ey);
            EXPECT_EQ((render::Pixel{r.x, r.y}), px(c.ex, c.ey));
        } else {
            EXPECT_EQ((render::Pixel{r.x, r.y}), at);
        }
    }
}

TEST_F(Snap, CandidatesAreMeasuredFromThePointerAsGiven) {
    // Aligned with the reference (92, 300) the pointer would sit 8 pixels left of point 0, out
    // of reach; as given it is 4 pixels away and snaps there.
    const render::Pixel ref = px(92, 300), at = px(96, 104);
    const editor::SnapResult r = editor.SnapPoints(ref.x, ref.y, at.x, at.y, false);
    EXPECT_TRUE(r.setted);
    EXPECT_EQ(r.ex, 100);
    // Without a point near, only the alignment applies.
    const render::Pixel above = px(150, 100), far = px(154, 400);
    const editor::SnapResult aligned = editor.SnapPoints(above.x, above.y, far.x, far.y, false);
    EXPECT_FALSE(aligned.setted);
    EXPECT_EQ((render::Pixel{aligned.x, aligned.y}), px(150, 400));
}

} // namespace
