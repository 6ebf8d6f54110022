// Areas, boxes and rotations of part outlines.
#include "nesting/outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quentar::nesting {

double signedArea(const Ring &r) {
    double a = 0;
    for (std::size_t i = 0, n = r.size(); i < n; ++i) {
        const Point &p = r[i], &q = r[(i + 1) % n];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

double netArea(const Polygon &p) {
    double a = std::abs(signedArea(p.outer));
    for (const Ring &h : p.holes) a -= std::abs(signedArea(h));
    return std::max(0.0, a) + p.carriedArea;
}

Box boxOf(const Ring &r) {
    if (r.empty()) return {};
    Box b{r[0].x, r[0].y, r[0].x, r[0].y};
    for (const Point &p : r) {
        b.minx = std::min(b.minx, p.x);
        b.miny = std::min(b.miny, p.y);
        b.maxx = std::max(b.maxx, p.x);
        b.maxy = std::max(b.maxy, p.y);
    }
    return b;
}

namespace {

// Quarter turns are exact: a 1000 × 500 rectangle turned by 90° is 500 × 1000, not 499.9999….
Point turn(const Point &p, double degrees) {
    const double q = degrees / 90;
    if (q == std::floor(q)) {
        switch (((static_cast<long>(q) % 4) + 4) % 4) {
        case 0:
            return p;
        case 1:
            return {-p.y, p.x};
        case 2:
            return {-p.x, -p.y};
        default:
            return {p.y, -p.x};
        }
    }
    const double r = degrees * std::numbers::pi / 180;
    const double c = std::cos(r), s = std::sin(r);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}

Ring turned(const Ring &r, double degrees) {
    Ring out;
    out.reserve(r.size());
    for (const Point &p : r) out.push_back(turn(p, degrees));
    return out;
}

} // namespace

Polygon rotated(const Polygon &p, double degrees) {
    Polygon out;
    out.outer = turned(p.outer, degrees);
    for (const Ring &h : p.holes) out.holes.push_back(turned(h, degrees));
    out.carriedArea = p.carriedArea;
    return out;
}

} // namespace quentar::nesting
