// The one mapping between drawing units and the pixels of a drawing surface, in both directions.
#pragma once

#include <cmath>
#include <cstdint>

namespace quentar::render {

// A whole pixel of a surface: x to the right, y downwards.
struct Pixel {
    int x = 0, y = 0;
    bool operator==(const Pixel &) const = default;
};

// The render pass draws with it, and picking and snapping find what was drawn with it, so a
// grip, the point a click lands on and the point a snap takes can never disagree.
//
// The y axis flips about the surface's bottom row. The drawing rounds the y term to a whole
// pixel (x stays real for the paths); a vertex sits on the whole pixel of both rounded, and the
// way back is the exact inverse of that: pixel(world(p)) == p for every whole pixel p.
class ViewTransform {
public:
    ViewTransform() = default;
    // zoom: pixels per 100 drawing units; scrollx, scrolly: the view offset in pixels.
    ViewTransform(double zoom, double scrollx, double scrolly, int surfaceHeight)
        : zoom_(zoom), scrollx_(scrollx), scrolly_(scrolly), bottom_(surfaceHeight - 1) {}

    double zoom() const { return zoom_; }
    double scrollx() const { return scrollx_; }
    double scrolly() const { return scrolly_; }
    int surfaceHeight() const { return bottom_ + 1; }

    // Where the drawing puts a point: x as it is, y with its drawing term rounded.
    double screenX(double x) const { return x * zoom_ / 100 - scrollx_; }
    double screenY(double y) const { return bottom_ - std::nearbyint(y * zoom_ / 100 + scrolly_); }
    // Neither axis rounded: a typed position goes to pixels and back unchanged.
    double exactScreenY(double y) const { return bottom_ - (y * zoom_ / 100 + scrolly_); }

    // The whole pixel of a drawing point (grips, picking, snapping). Points far off the surface
    // are held at +-2e9 pixels, which no pointer reaches.
    Pixel pixel(double x, double y) const {
        return {clampPixel(std::nearbyint(screenX(x))),
                bottom_ - clampPixel(std::nearbyint(y * zoom_ / 100 + scrolly_))};
    }

    // The drawing point at a pixel position.
    void world(double px, double py, double &x, double &y) const {
        x = (scrollx_ + px) * 100 / zoom_;
        y = (bottom_ - (scrolly_ + py)) * 100 / zoom_;
    }

    // Drawing units one pixel spans.
    double unitsPerPixel() const { return 100 / zoom_; }

private:
    static int clampPixel(double r) {
        if (!(r > -2e9 && r < 2e9)) return r > 0 ? 2000000000 : -2000000000; // NaN: far left
        return static_cast<int>(r);
    }

    double zoom_ = 100;
    double scrollx_ = 0, scrolly_ = 0;
    int bottom_ = 0;
};

} // namespace quentar::render
