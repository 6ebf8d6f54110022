// Where object and block coordinates lie in the world: the extrusion's object coordinate system
// and the placement of inserted blocks.
#pragma once

namespace quentar::geometry {

// Beyond this a coordinate describes no drawing (a thousand kilometres in millimetres): the
// readers leave such values out, and a block placement that would carry its points there (its
// scales multiplied through the nesting) is left out as well.
inline constexpr double kBeyondAnyDrawing = 1e12;

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// A linear map of 3D space, row-major: out.x = m[0][0] x + m[0][1] y + m[0][2] z, and so on.
// Drawings are measured in the world's xy plane, so whatever a map does to z only matters through
// the x and y it produces.
struct Linear3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    bool isIdentity() const;
    Vec3 apply(Vec3 p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
    }
    // This map after `inner`: (this * inner)(p) = this(inner(p)).
    Linear3 after(const Linear3 &inner) const;
    // Determinant of the part that maps the xy plane into the xy plane: negative for a mirror
    // image, its magnitude the factor by which areas in the plane grow.
    double det2() const { return m[0][0] * m[1][1] - m[0][1] * m[1][0]; }
    bool isFinite() const;
};

// The object coordinate system of an extrusion direction (groups 210/220/230) by the arbitrary
// axis algorithm of the DXF reference: object x, y, z become the world vectors in the columns.
// The default direction (0, 0, 1), a zero vector and a non-finite one give the identity.
Linear3 objectToWorld(Vec3 extrusion);
// The inverse: world coordinates into the extrusion's object coordinates, for writing back.
Linear3 worldToObject(Vec3 extrusion);
// True when the extrusion is the default direction (the identity system).
bool isDefaultExtrusion(Vec3 extrusion);

// Rotation about z by `degrees`, and a scaling along the axes.
Linear3 rotationZ(double degrees);
Linear3 scaling(double sx, double sy, double sz);

} // namespace quentar::geometry
