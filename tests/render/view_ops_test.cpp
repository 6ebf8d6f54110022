// Zoom and scroll steps of the drawing window, the fit, and the view each tab remembers.
#include "../dxf/dxf_builder.h"
#include "render/view_ops.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quentar;
using namespace quentar::render;
using namespace quentar::testing;

namespace {

constexpr int kW = 1000, kH = 640;

// The drawing point under pixel (px, py).
std::pair<double, double> under(const ViewState &v, double px, double py) {
    double x = 0, y = 0;
    Bildschirm2DXF(v, kH, px, py, x, y);
    return {x, y};
}

// The pixel of drawing point (x, y).
std::pair<double, double> pixelOf(const ViewState &v, double x, double y) {
    double px = 0, py = 0;
    DXF2Bildschirm(v, kH, x, y, px, py);
    return {px, py};
}

ViewState someView() {
    ViewState v;
    v.zoomedvalue = 37.5;
    v.horzPosition = -12345;
    v.vertPosition = 6789;
    return v;
}

} // namespace

TEST(ViewOps, StartViewPutsTheOriginTwentyPixelsIn) {
    const ViewState v;
    EXPECT_EQ(pixelOf(v, 0, 0), std::make_pair(20.0, kH - 1 - 20.0));
    EXPECT_EQ(pointerPositionText(v, kH, 20, kH - 21), "0.0000, 0.0000");
    EXPECT_EQ(pointerPositionText(v, kH, 120, kH - 121), "100.0000, 100.0000");
    EXPECT_EQ(pointerPositionText(v, kH, 19.5, kH - 21.25), "-0.5000, 0.2500");
}

TEST(ViewOps, ButtonsZoomAboutTheCentreAndComeBack) {
    ViewState v = someView();
    const auto centre = under(v, kW / 2, kH / 2);
    zoomInAtCentre(v, kW, kH);
    EXPECT_DOUBLE_EQ(v.zoomedvalue, 37.5 * 1.2);
    zoomInAtCentre(v, kW, kH);
    for (int i = 0; i < 2; ++i) {
        const auto c = under(v, kW / 2, kH / 2);
        EXPECT_NEAR(c.first, centre.first, 100 / v.zoomedvalue * 0.01);
        EXPECT_NEAR(c.second, centre.second, 100 / v.zoomedvalue * 0.01);
        zoomOutAtCentre(v, kW, kH);
    }
    EXPECT_NEAR(v.zoomedvalue, 37.5, 1e-12);
    EXPECT_NEAR(v.horzPosition, -12345, 2);
    EXPECT_NEAR(v.vertPosition, 6789, 2);
}

TEST(ViewOps, ZoomStopsAtItsLimits) {
    struct Case {
        const char *name;
        double start;
        bool in;
        double limit;
    };
    for (const Case &c :
         {Case{"in", 900000, true, 1000000}, Case{"out", kMinZoom * 1.1, false, kMinZoom},
          Case{"far in", 100, true, 1000000}, Case{"far out", 100, false, kMinZoom}}) {
        SCOPED_TRACE(c.name);
        ViewState v;
        v.zoomedvalue = c.start;
        for (int i = 0; i < 200; ++i) c.in ? zoomInAtCentre(v, kW, kH) : zoomOutAtCentre(v, kW, kH);
        EXPECT_EQ(v.zoomedvalue, c.limit);
    }
}

TEST(ViewOps, WheelZoomKeepsThePointUnderThePointer) {
    struct Case {
        double px, py;
        bool up;
    };
    for (const Case &c : {Case{0, 0, true}, Case{999, 639, true}, Case{317, 45, false},
                          Case{500.5, 320.25, false}}) {
        SCOPED_TRACE(::testing::Message() << c.px << "," << c.py << (c.up ? " up" : " down"));
        ViewState v = someView();
        const auto p = under(v, c.px, c.py);
        wheelStep(v, kH, c.px, c.py, c.up, false, false);
        EXPECT_DOUBLE_EQ(v.zoomedvalue, c.up ? 37.5 * 1.2 : 37.5 / 1.2);
        const auto q = pixelOf(v, p.first, p.second);
        EXPECT_NEAR(q.first, c.px, 0.01);
        EXPECT_NEAR(q.second, c.py, 0.01);
    }
}

TEST(ViewOps, WheelWithShiftOrCtrlScrolls) {
    struct Case {
        bool shift, ctrl, up;
        int64_t dx, dy;
    };
    for (const Case &c : {Case{true, false, false, 2000, 0}, Case{true, false, true, -2000, 0},
                          Case{false, true, false, 0, 2000}, Case{false, true, true, 0, -2000},
                          Case{true, true, false, 2000, 0}}) {
        SCOPED_TRACE(::testing::Message() << c.shift << c.ctrl << c.up);
        ViewState v = someView();
        wheelStep(v, kH, 10, 10, c.up, c.shift, c.ctrl);
        EXPECT_EQ(v.zoomedvalue, 37.5);
        EXPECT_EQ(v.horzPosition, -12345 + c.dx);
        EXPECT_EQ(v.vertPosition, 6789 + c.dy);
    }
}

TEST(ViewOps, ScrollingStopsAtTheScrollBarRange) {
    ViewState v;
    v.horzPosition = kScrollMax - 100;
    wheelStep(v, kH, 0, 0, false, true, false);
    EXPECT_EQ(v.horzPosition, kScrollMax);
    const PanDrag drag = startPanDrag(v, 0, 0);
    movePanDrag(v, drag, -100000000, 100000000);
    EXPECT_EQ(v.horzPosition, kScrollMax);
    EXPECT_EQ(v.vertPosition, kScrollMin);
}

TEST(ViewOps, PanDragMovesTheDrawingWithThePointer) {
    ViewState v = someView();
    const auto before = pixelOf(v, 10, 20);
    const PanDrag drag = startPanDrag(v, 100, 100);
    movePanDrag(v, drag, 130, 90);
    EXPECT_EQ(v.horzPosition, -12345 - 3000);
    EXPECT_EQ(v.vertPosition, 6789 + 1000);
    const auto after = pixelOf(v, 10, 20);
    EXPECT_DOUBLE_EQ(after.first - before.first, 30);
    EXPECT_DOUBLE_EQ(after.second - before.second, -10);
    movePanDrag(v, drag, 100, 100);
    EXPECT_EQ(v.horzPosition, -12345);
}

TEST(ViewOps, ZoomDragUpZoomsInAboutThePointer) {
    struct Case {
        int dy;
        bool in;
    };
    for (const Case &c : {Case{-160, true}, Case{160, false}, Case{-640, true}}) {
        SCOPED_TRACE(c.dy);
        ViewState v = someView();
        const ZoomDrag drag = startZoomDrag(v, 400);
        const auto p = under(v, 300, 400 + c.dy);
        moveZoomDrag(v, drag, kH, 300, 400 + c.dy);
        EXPECT_EQ(v.zoomedvalue > 37.5, c.in);
        EXPECT_DOUBLE_EQ(v.zoomedvalue, 37.5 - c.dy * 37.5 / kH);
        const auto q = pixelOf(v, p.first, p.second);
        EXPECT_NEAR(q.first, 300, 0.01);
        EXPECT_NEAR(q.second, 400 + c.dy, 0.01);
    }
}

TEST(ViewOps, AxisIconMovesToTheCornerWhenTheOriginLeavesTheView) {
    struct Case {
        int64_t h, v;
        int ox, oy;
        bool moved;
    };
    for (const Case &c :
         {Case{-2000, 2000, 20, kH - 21, false}, Case{-50000, 30000, 500, 339, false},
          Case{-400, 2000, 15, kH - 16, true},    // too close to the left
          Case{-93000, 2000, 15, kH - 16, true},  // the x arrow leaves the view
          Case{-2000, 57000, 15, kH - 16, true},  // the y arrow leaves the top
          Case{-2000, -1000, 15, kH - 16, true}}) // below the bottom
    {
        SCOPED_TRACE(::testing::Message() << c.h << "," << c.v);
        ViewState v;
        v.horzPosition = c.h;
        v.vertPosition = c.v;
        const AxisIconPlace a = axisIconPlace(v, kW, kH);
        EXPECT_EQ(a.ox, c.ox);
        EXPECT_EQ(a.oy, c.oy);
        EXPECT_EQ(a.moved, c.moved);
    }
}

TEST(ViewOps, FitOfAnEmptyModelUsesTheTenUnitBox) {
    auto d = read(entitiesSection({}));
    ViewState v;
    fitView(d, 0, kW, kH, PageSetup{}, v);
    // 10 units fill the height with 5 % plus 10 pixels to spare, centred up to those 10 pixels.
    const double f = std::min(kW / 20.0, kH / 20.0);
    EXPECT_DOUBLE_EQ(v.zoomedvalue, 100 * f * 0.95);
    const auto low = pixelOf(v, 0, 0), high = pixelOf(v, 10, 10);
    EXPECT_NEAR((low.first + high.first) / 2, kW / 2.0, 5.5);
    EXPECT_NEAR((low.second + high.second) / 2, kH / 2.0, 5.5);
}

TEST(ViewOps, FitOfAPaperLayoutShowsTheWholePage) {
    auto d = read(entitiesSection({}));
    PageSetup page; // A4 portrait at 600 ppi, scale 1: 210 x 297 units
    ViewState v;
    fitView(d, 1, kW, kH, page, v);
    const auto top = pixelOf(v, 210, 297);
    const auto bottom = pixelOf(v, 0, 0);
    EXPECT_GE(top.second, 0);
    EXPECT_LT(bottom.second, kH);
    EXPECT_LT(top.first, kW);
    EXPECT_GE(bottom.first, 0);
}
