// The plane maps of the edit tools.
#include "editor/transformations_geometry.h"

#include <cmath>

namespace quentar::editor {

namespace {

// The unit direction from D to E; false when they coincide or the distance is not finite.
bool direction(double dx, double dy, double ex, double ey, double &c, double &s) {
    const double ux = ex - dx, uy = ey - dy;
    const double len = std::hypot(ux, uy);
    if (!(len > 0) || !std::isfinite(len)) return false;
    // Taken from the vector, not from its angle: a click straight above the base point turns by
    // exactly a quarter, with no cos(pi / 2) left over in the coordinates.
    c = ux / len;
    s = uy / len;
    return true;
}

// The offset that keeps D where it is under the linear part of `m`.
void fixBasePoint(PlaneMap &m, double dx, double dy) {
    const Vec3 moved = m.vector({dx, dy, 0});
    m.ox = dx - moved.x;
    m.oy = dy - moved.y;
    m.oz = 0;
}

} // namespace

PlaneMap PlaneMap::moving(double dx, double dy) {
    PlaneMap m;
    if (std::isfinite(dx) && std::isfinite(dy)) {
        m.ox = dx;
        m.oy = dy;
    }
    return m;
}

PlaneMap PlaneMap::turning(double dx, double dy, double ex, double ey) {
    PlaneMap m;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !direction(dx, dy, ex, ey, m.c, m.s)) return {};
    fixBasePoint(m, dx, dy);
    return m;
}

PlaneMap PlaneMap::mirroring(double dx, double dy, double ex, double ey) {
    PlaneMap m;
    double c, s;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !direction(dx, dy, ex, ey, c, s)) return {};
    // The reflection in the line at angle phi sends the x axis to the angle 2 phi.
    m.mirrored = true;
    m.c = c * c - s * s;
    m.s = 2 * c * s;
    fixBasePoint(m, dx, dy);
    return m;
}

PlaneMap PlaneMap::scaling(double dx, double dy, double ex, double ey) {
    PlaneMap m;
    const double f = std::hypot(ex - dx, ey - dy);
    if (!(f > 0) || !std::isfinite(f) || !std::isfinite(dx) || !std::isfinite(dy)) return {};
    m.scale = f;
    fixBasePoint(m, dx, dy);
    return m;
}

PlaneMap PlaneMap::forMode(int modex, double dx, double dy, double ex, double ey) {
    switch (modex) {
    case kRotateMode:
        return turning(dx, dy, ex, ey);
    case kMirrorMode:
        return mirroring(dx, dy, ex, ey);
    case kScaleMode:
        return scaling(dx, dy, ex, ey);
    default:
        return {};
    }
}

geometry::Linear3 PlaneMap::linear() const {
    geometry::Linear3 out;
    const Vec3 cols[3] = {vector({1, 0, 0}), vector({0, 1, 0}), vector({0, 0, 1})};
    for (int c = 0; c < 3; ++c) {
        out.m[0][c] = cols[c].x;
        out.m[1][c] = cols[c].y;
        out.m[2][c] = cols[c].z;
    }
    return out;
}

PlaneMap PlaneMap::forBlockBase(Vec3 base) const {
    PlaneMap m = *this;
    const Vec3 moved = point({-base.x, -base.y, -base.z});
    m.ox = moved.x + base.x;
    m.oy = moved.y + base.y;
    m.oz = moved.z + base.z;
    return m;
}

render::Transform PlaneMap::affine() const {
    const Vec3 x = vector({1, 0, 0}), y = vector({0, 1, 0});
    return {x.x, x.y, y.x, y.y, ox, oy};
}

std::pair<double, double> keyboardRotationPoint(double dx, double dy, double degrees) {
    const double a = degrees * M_PI / 180;
    return {dx + std::cos(a), dy - std::sin(a)};
}

std::pair<double, double> keyboardScalingPoint(double dx, double dy, double percent) {
    return {dx + percent / 100, dy};
}

} // namespace quentar::editor
