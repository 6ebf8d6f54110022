// The maps of the edit tools: a move, a turn, a mirror image or a scaling of the drawing plane,
// one object that the preview draws through and the edit writes with.
#pragma once

#include "geometry/placement.h"
#include "render/canvas.h"

#include <utility>

namespace quentar::editor {

using geometry::Vec3;

// The operation of RotateObjects (its `modex`).
inline constexpr int kRotateMode = 0, kMirrorMode = 1, kScaleMode = 2;

// p -> scale * Q p + offset, where Q turns the xy plane about the origin (a rotation) or reflects
// it in a line through the origin (a mirror) and keeps z; z is scaled like x and y. Drawing units.
struct PlaneMap {
    double scale = 1;
    double c = 1, s = 0;   // Q's first column: the image of the x axis
    bool mirrored = false; // Q = [[c, s], [s, -c]] rather than [[c, -s], [s, c]]
    double ox = 0, oy = 0, oz = 0;

    // A shift by (dx, dy).
    static PlaneMap moving(double dx, double dy);
    // A turn about D by the direction angle of E seen from D (E to the right of D: no turn).
    static PlaneMap turning(double dx, double dy, double ex, double ey);
    // The mirror image in the line through D and E; the identity when E is D (no line).
    static PlaneMap mirroring(double dx, double dy, double ex, double ey);
    // A scaling about D by the distance D-E; the identity when that is 0 or not finite (nothing
    // would be left of the drawing).
    static PlaneMap scaling(double dx, double dy, double ex, double ey);
    // The map of RotateObjects with `modex` (kRotateMode, kMirrorMode, kScaleMode); the identity
    // for another mode.
    static PlaneMap forMode(int modex, double dx, double dy, double ex, double ey);

    bool isIdentity() const {
        return scale == 1 && c == 1 && s == 0 && !mirrored && ox == 0 && oy == 0 && oz == 0;
    }
    // The map applied to a point, to a vector (scaled, turned) and to a direction (turned only).
    Vec3 point(Vec3 p) const {
        const Vec3 v = vector(p);
        return {v.x + ox, v.y + oy, v.z + oz};
    }
    Vec3 vector(Vec3 v) const {
        const Vec3 t = turn(v);
        return {scale * t.x, scale * t.y, scale * t.z};
    }
    Vec3 turn(Vec3 v) const {
        if (mirrored) return {c * v.x + s * v.y, s * v.x - c * v.y, v.z};
        return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
    }
    // The linear part as a 3x3 matrix (scale included).
    geometry::Linear3 linear() const;
    // The same map for the coordinates of a block's entities, which are drawn shifted by minus
    // the block's base point: p -> map(p - base) + base.
    PlaneMap forBlockBase(Vec3 base) const;
    // The map in the drawing plane as a surface transform, for drawing a preview through it
    // (drawing units in and out; the view transform follows it).
    render::Transform affine() const;
};

// The second point the keyboard variants of rotate and scale pass: a clockwise turn by `degrees`
// about D, and a scaling by `percent`.
std::pair<double, double> keyboardRotationPoint(double dx, double dy, double degrees);
std::pair<double, double> keyboardScalingPoint(double dx, double dy, double percent);

} // namespace quentar::editor
