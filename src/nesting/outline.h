// A part's outline as the nesting sees it: plain polygons with holes in millimetres, no drawing.
#pragma once

#include <vector>

namespace quentar::nesting {

struct Point {
    double x = 0, y = 0; // mm
    bool operator==(const Point &) const = default;
};

// A closed ring of points; the last point does not repeat the first.
using Ring = std::vector<Point>;

// One part: its outer contour and the holes cut out of it. The direction of the rings does not
// matter; the nesting orients them itself.
struct Polygon {
    Ring outer;
    std::vector<Ring> holes;
    // Area of islands that are cut from the scrap of this part's holes and so take no room of
    // their own on the sheet (mm²); counted as used material.
    double carriedArea = 0;
};

// Signed area of a ring (positive when counter-clockwise), mm².
double signedArea(const Ring &r);
// Outer area less the holes, plus the carried islands, mm².
double netArea(const Polygon &p);

struct Box {
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    double width() const { return maxx - minx; }
    double height() const { return maxy - miny; }
};
// The box of the outer ring (an empty ring gives an empty box at the origin).
Box boxOf(const Ring &r);

// The polygon turned by `degrees` counter-clockwise about the origin.
Polygon rotated(const Polygon &p, double degrees);

} // namespace quentar::nesting
