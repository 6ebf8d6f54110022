// The view transform: whole pixels go to drawing units and back unchanged, in every view, and the
// old pair of conversions agrees with it.
#include "render/view.h"
#include "render/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quentar::render;

namespace {

const ViewState kViews[] = {
    {100, -2000, 2000, false},                 // a freshly opened view
    {5, 123456789, -98765, false},             // the smallest zoom, far away
    {37.5, -1, 1, false},                      // hundredths of a pixel
    {137.3, 12345, -6789, false},              // uneven
    {1000000, -2000000000, 2000000000, false}, // the largest zoom at the scroll range's end
};

TEST(ViewTransform, WholePixelsComeBackUnchanged) {
    for (const ViewState &v : kViews) {
        SCOPED_TRACE(v.zoomedvalue);
        for (int h : {1, 640, 1081}) {
            const ViewTransform t = transformOf(v, h);
            for (int y = -3; y < h + 3; y += 7)
                for (int x = -50; x < 1100; x += 13) {
                    double wx, wy;
                    t.world(x, y, wx, wy);
                    ASSERT_EQ(t.pixel(wx, wy), (Pixel{x, y})) << x << ", " << y << " of " << h;
                }
        }
    }
}

TEST(ViewTransform, APointIsWithinHalfAPixelOfItsPixel) {
    for (const ViewState &v : kViews) {
        SCOPED_TRACE(v.zoomedvalue);
        const ViewTransform t = transformOf(v, 640);
        for (double x : {-12.375, 0.0, 0.5, 1234.5678})
            for (double y : {-3.25, 0.0, 99.5, 77777.125}) {
                const Pixel p = t.pixel(x, y);
                double wx, wy;
                t.world(p.x, p.y, wx, wy);
                EXPECT_LE(std::fabs(wx - x), t.unitsPerPixel() / 2 * (1 + 1e-9));
                EXPECT_LE(std::fabs(wy - y), t.unitsPerPixel() / 2 * (1 + 1e-9));
                // Drawn where it is picked: the path's y is the pixel's, its x rounds to it.
                EXPECT_EQ(t.screenY(y), p.y);
                EXPECT_EQ(std::nearbyint(t.screenX(x)), p.x);
            }
    }
}

TEST(ViewTransform, TheTwoConversionsAreOneTransform) {
    for (const ViewState &v : kViews) {
        SCOPED_TRACE(v.zoomedvalue);
        double px, py, x, y;
        DXF2Bildschirm(v, 640, 12.345, -67.89, px, py);
        Bildschirm2DXF(v, 640, px, py, x, y);
        EXPECT_NEAR(x, 12.345, 1e-9 * (1 + std::fabs(v.horzPosition) / v.zoomedvalue));
        EXPECT_NEAR(y, -67.89, 1e-9 * (1 + std::fabs(v.vertPosition) / v.zoomedvalue));
    }
}

} // namespace
