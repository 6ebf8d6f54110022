// The arbitrary axis algorithm and the small linear algebra of block placement.
#include "geometry/placement.h"

#include <cmath>

namespace quentar::geometry {

namespace {

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool normalise(Vec3 &v) {
    const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(len > 0) || !std::isfinite(len)) return false;
    v = {v.x / len, v.y / len, v.z / len};
    return true;
}

// The axes of the object system, or false for the identity.
bool objectAxes(Vec3 n, Vec3 &ax, Vec3 &ay) {
    if (!normalise(n)) return false;
    if (n.x == 0 && n.y == 0 && n.z > 0) return false;
    // Below this, the extrusion counts as "near the world z axis" and the object x axis is taken
    // from the world y axis instead (the DXF reference's 1/64).
    constexpr double kNearZ = 1.0 / 64.0;
    if (std::fabs(n.x) < kNearZ && std::fabs(n.y) < kNearZ)
        ax = cross({0, 1, 0}, n);
    else
        ax = cross({0, 0, 1}, n);
    normalise(ax);
    ay = cross(n, ax);
    normalise(ay);
    return true;
}

} // namespace

bool Linear3::isIdentity() const {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (m[r][c] != (r == c ? 1.0 : 0.0)) return false;
    return true;
}

bool Linear3::isFinite() const {
    for (const auto &row : m)
        for (double v : row)
            if (!std::isfinite(v)) return false;
    return true;
}

Linear3 Linear3::after(const Linear3 &inner) const {
    Linear3 out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out.m[r][c] =
                m[r][0] * inner.m[0][c] + m[r][1] * inner.m[1][c] + m[r][2] * inner.m[2][c];
    return out;
}

bool isDefaultExtrusion(Vec3 e) {
    Vec3 ax, ay;
    return !objectAxes(e, ax, ay);
}

Linear3 objectToWorld(Vec3 e) {
    Linear3 out;
    Vec3 ax, ay;
    if (!objectAxes(e, ax, ay)) return out;
    normalise(e);
    const Vec3 cols[3] = {ax, ay, e};
    for (int c = 0; c < 3; ++c) {
        out.m[0][c] = cols[c].x;
        out.m[1][c] = cols[c].y;
        out.m[2][c] = cols[c].z;
    }
    return out;
}

Linear3 worldToObject(Vec3 e) {
    // The axes are orthonormal: the inverse is the transpose.
    const Linear3 f = objectToWorld(e);
    Linear3 out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out.m[r][c] = f.m[c][r];
    return out;
}

Linear3 rotationZ(double degrees) {
    Linear3 out;
    if (degrees == 0) return out;
    const double a = degrees * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    out.m[0][0] = c;
    out.m[0][1] = -s;
    out.m[1][0] = s;
    out.m[1][1] = c;
    return out;
}

Linear3 scaling(double sx, double sy, double sz) {
    Linear3 out;
    out.m[0][0] = sx;
    out.m[1][1] = sy;
    out.m[2][2] = sz;
    return out;
}

} // namespace quentar::geometry
