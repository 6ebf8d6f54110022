// Oriented part outlines and their no-fit polygons: Minkowski sums of the boundaries plus the
// two "one inside the other" cases, so that non-convex parts and holes come out exact.
#include "nesting/shapes.h"

#include "nesting/convex_parts.h"

#include <cmath>

namespace quentar::nesting::detail {

cl::cInt toUnits(double mm) { return static_cast<cl::cInt>(std::llround(mm * kUnitsPerMm)); }
double toMm(cl::cInt units) { return static_cast<double>(units) / kUnitsPerMm; }

namespace {

cl::Path pathOf(const Ring &r) {
    cl::Path p;
    p.reserve(r.size());
    for (const Point &pt : r) {
        const cl::IntPoint ip{toUnits(pt.x), toUnits(pt.y)};
        if (p.empty() || !(p.back() == ip)) p.push_back(ip);
    }
    while (p.size() > 1 && p.front() == p.back()) p.pop_back();
    return p;
}

std::size_t vertexCount(const cl::Paths &ps) {
    std::size_t n = 0;
    for (const cl::Path &p : ps) n += p.size();
    return n;
}

cl::Paths offset(const cl::Paths &ps, double delta) {
    if (delta == 0) return ps;
    cl::ClipperOffset co(2.0);
    co.AddPaths(ps, cl::jtMiter, cl::etClosedPolygon);
    cl::Paths out;
    co.Execute(out, delta);
    return out;
}

// Douglas–Peucker between two corners of a ring: keeps the points that stray more than `tol`.
void keepStraying(const cl::Path &ring, std::size_t from, std::size_t to, double tol,
                  std::vector<bool> &keep) {
    const std::size_t n = ring.size();
    const cl::IntPoint &a = ring[from % n], &b = ring[to % n];
    const double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
    const double len = std::hypot(dx, dy);
    double worst = -1;
    std::size_t at = from;
    for (std::size_t i = from + 1; i < to; ++i) {
        const cl::IntPoint &p = ring[i % n];
        const double px = static_cast<double>(p.X - a.X), py = static_cast<double>(p.Y - a.Y);
        const double d = len > 0 ? std::abs(dx * py - dy * px) / len : std::hypot(px, py);
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    if (worst <= tol) return;
    keep[at % n] = true;
    keepStraying(ring, from, at, tol, keep);
    keepStraying(ring, at, to, tol, keep);
}

// The ring with the points left out that lie within `tol` of the rest (arcs sampled finely).
cl::Path thin(const cl::Path &ring, double tol) {
    const std::size_t n = ring.size();
    if (n < 8) return ring;
    // Split the ring at its first point and the point farthest from it.
    std::size_t far = 0;
    double farthest = -1;
    for (std::size_t i = 1; i < n; ++i) {
        const double d = std::hypot(static_cast<double>(ring[i].X - ring[0].X),
                                    static_cast<double>(ring[i].Y - ring[0].Y));
        if (d > farthest) {
            farthest = d;
            far = i;
        }
    }
    std::vector<bool> keep(n, false);
    keep[0] = keep[far] = true;
    keepStraying(ring, 0, far, tol, keep);
    keepStraying(ring, far, n, tol, keep);
    cl::Path out;
    for (std::size_t i = 0; i < n; ++i)
        if (keep[i]) out.push_back(ring[i]);
    return out.size() >= 3 ? out : ring;
}

} // namespace

OrientedShape orient(const Polygon &p, double degrees, double grow, bool keepHoles) {
    OrientedShape s;
    s.rotation = degrees;
    const Polygon r = rotated(p, degrees);
    cl::Paths ps;
    cl::Path outer = pathOf(r.outer);
    if (outer.size() < 3) return s;
    if (!cl::Orientation(outer)) cl::ReversePath(outer);
    ps.push_back(std::move(outer));
    if (keepHoles) {
        for (const Ring &h : r.holes) {
            cl::Path hp = pathOf(h);
            if (hp.size() < 3) continue;
            if (cl::Orientation(hp)) cl::ReversePath(hp);
            ps.push_back(std::move(hp));
        }
    }
    // Outlines from drawings may touch themselves or run twice over a stretch; the union under
    // the non-zero rule gives clean rings with outer rings positive and holes negative.
    cl::SimplifyPolygons(ps, cl::pftNonZero);
    cl::Paths grown = offset(ps, grow * kUnitsPerMm);
    cl::Paths thinned;
    for (const cl::Path &ring : grown) thinned.push_back(thin(ring, kThinning));
    if (vertexCount(thinned) != vertexCount(grown)) {
        // The thinned rings stray at most kThinning from the drawn ones: grown by that much they
        // cover the part again.
        cl::SimplifyPolygons(thinned, cl::pftNonZero);
        grown = offset(thinned, kThinning);
    }

    // The largest positive ring is the part; holes are the negative rings inside it.
    std::size_t best = SIZE_MAX;
    double bestArea = 0;
    for (std::size_t i = 0; i < grown.size(); ++i) {
        const double a = cl::Area(grown[i]);
        if (a > bestArea) {
            bestArea = a;
            best = i;
        }
    }
    if (best == SIZE_MAX) return s;
    s.outer = grown[best];
    s.solid.push_back(s.outer);
    if (keepHoles)
        for (std::size_t i = 0; i < grown.size(); ++i)
            if (cl::Area(grown[i]) < 0 && cl::PointInPolygon(grown[i][0], s.outer) != 0)
                s.solid.push_back(grown[i]);
    s.pieces = convexParts(s.outer);
    s.box = {s.outer[0].X, s.outer[0].Y, s.outer[0].X, s.outer[0].Y};
    for (const cl::IntPoint &v : s.outer) {
        s.box.left = std::min(s.box.left, v.X);
        s.box.right = std::max(s.box.right, v.X);
        s.box.bottom = std::min(s.box.bottom, v.Y);
        s.box.top = std::max(s.box.top, v.Y);
    }
    return s;
}

void translate(cl::Paths &paths, cl::IntPoint by) {
    for (cl::Path &p : paths)
        for (cl::IntPoint &v : p) {
            v.X += by.X;
            v.Y += by.Y;
        }
}

namespace {

// Whether `moving`, put at a point inside `hole` of a no-fit polygon, keeps clear of `fixed`.
bool isFreeSpot(const OrientedShape &fixed, const OrientedShape &moving, const cl::Path &hole) {
    // The middle of the hole's box, or failing that the middle of one of its edges nudged inwards,
    // is a point inside it; a hole too thin to hold one is no room for a part anyway.
    cl::IntRect box{hole[0].X, hole[0].Y, hole[0].X, hole[0].Y};
    for (const cl::IntPoint &v : hole) {
        box.left = std::min(box.left, v.X);
        box.right = std::max(box.right, v.X);
        box.top = std::max(box.top, v.Y);
        box.bottom = std::min(box.bottom, v.Y);
    }
    cl::IntPoint t{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    if (cl::PointInPolygon(t, hole) != 1) return false;
    cl::Paths placed{moving.outer};
    translate(placed, t);
    cl::Clipper c;
    c.AddPaths(placed, cl::ptSubject, true);
    c.AddPaths(fixed.solid, cl::ptClip, true);
    cl::Paths overlap;
    c.Execute(cl::ctIntersection, overlap, cl::pftNonZero, cl::pftNonZero);
    double area = 0;
    for (const cl::Path &p : overlap) area += cl::Area(p);
    return area <= static_cast<double>(kTouch) * kUnitsPerMm; // less than a hair's width
}

} // namespace

cl::Paths noFitPolygon(const OrientedShape &fixed, const OrientedShape &moving) {
    if (fixed.solid.size() == 1 && !fixed.pieces.empty() && !moving.pieces.empty()) {
        // Without holes the no-fit polygon is the union of the sums of the convex pieces. One
        // union of all of them costs the square of their overlaps; unions of pairs, level by
        // level, keep each step small.
        std::vector<cl::Paths> level;
        for (const cl::Path &f : fixed.pieces) {
            for (const cl::Path &m : moving.pieces) {
                cl::Path mirrored;
                mirrored.reserve(m.size());
                for (const cl::IntPoint &v : m) mirrored.push_back({-v.X, -v.Y});
                level.push_back({convexSum(f, mirrored)});
            }
        }
        while (level.size() > 1) {
            std::vector<cl::Paths> up;
            for (std::size_t i = 0; i < level.size(); i += 2) {
                if (i + 1 == level.size()) {
                    up.push_back(std::move(level[i]));
                    break;
                }
                cl::Clipper c;
                c.AddPaths(level[i], cl::ptSubject, true);
                c.AddPaths(level[i + 1], cl::ptSubject, true);
                cl::Paths joined;
                c.Execute(cl::ctUnion, joined, cl::pftNonZero, cl::pftNonZero);
                up.push_back(std::move(joined));
            }
            level = std::move(up);
        }
        cl::Paths nfp = std::move(level.front());
        // A hole here is a closed pocket of the fixed part that the moving one fits into.
        return offset(nfp, -static_cast<double>(kTouch));
    }
    // moving + t meets fixed exactly when their boundaries cross (the sum of the boundaries), or
    // one lies wholly inside the other: a point of moving inside fixed, or of fixed inside moving.
    cl::Clipper c;
    for (const cl::Path &ring : fixed.solid) {
        cl::Paths sweep;
        cl::MinkowskiDiff(moving.outer, ring, sweep);
        c.AddPaths(sweep, cl::ptSubject, true);
    }
    cl::Paths inside = fixed.solid;
    translate(inside, {-moving.outer[0].X, -moving.outer[0].Y});
    c.AddPaths(inside, cl::ptSubject, true);
    cl::Path around;
    around.reserve(moving.outer.size());
    for (const cl::IntPoint &v : moving.outer)
        around.push_back({fixed.outer[0].X - v.X, fixed.outer[0].Y - v.Y});
    c.AddPath(around, cl::ptSubject, true);
    cl::Paths nfp;
    c.Execute(cl::ctUnion, nfp, cl::pftNonZero, cl::pftNonZero);
    // Minkowski sums in integers leave specks of holes inside the swept band. A real hole is a
    // spot where the moving part fits inside the fixed one's hole (or a closed pocket); keep only
    // those that prove free, and none when holes take no parts.
    std::erase_if(nfp, [&](const cl::Path &ring) {
        return cl::Area(ring) < 0 && !(fixed.solid.size() > 1 && isFreeSpot(fixed, moving, ring));
    });
    return offset(nfp, -static_cast<double>(kTouch));
}

} // namespace quentar::nesting::detail
