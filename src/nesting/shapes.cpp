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
    cl::CleanPolygons(grown, thinned, kThinning);
    if (vertexCount(thinned) != vertexCount(grown)) grown = offset(thinned, kThinning);

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
        // Without holes the no-fit polygon is the union of the sums of the convex pieces.
        cl::Clipper c;
        for (const cl::Path &m : moving.pieces) {
            cl::Path mirrored;
            mirrored.reserve(m.size());
            for (const cl::IntPoint &v : m) mirrored.push_back({-v.X, -v.Y});
            for (const cl::Path &f : fixed.pieces)
                c.AddPath(convexSum(f, mirrored), cl::ptSubject, true);
        }
        cl::Paths nfp;
        c.Execute(cl::ctUnion, nfp, cl::pftNonZero, cl::pftNonZero);
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
