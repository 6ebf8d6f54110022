// The arbitrary axis algorithm and block placement: object coordinates into the world and back.
#include "geometry/placement.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quentar::geometry;

namespace {

void expectNear(Vec3 a, Vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
    EXPECT_NEAR(a.z, b.z, 1e-12);
}

} // namespace

TEST(Placement, ObjectSystemsOfExtrusions) {
    struct Case {
        Vec3 extrusion, object, world;
    };
    const Case cases[] = {
        {{0, 0, 1}, {3, 4, 5}, {3, 4, 5}},    // the default: the identity
        {{0, 0, 7}, {3, 4, 5}, {3, 4, 5}},    // length does not matter
        {{0, 0, 0}, {3, 4, 5}, {3, 4, 5}},    // no direction: taken as the default
        {{0, 0, -1}, {3, 4, 5}, {-3, 4, -5}}, // mirrored about the y axis, as CAD programs write
        {{1, 0, 0}, {3, 4, 5}, {5, 3, 4}},    // object x along world y, object y along world z
        {{0, 1, 0}, {3, 4, 5}, {-3, 5, 4}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.extrusion.x << "," << c.extrusion.y << ","
                                        << c.extrusion.z);
        expectNear(objectToWorld(c.extrusion).apply(c.object), c.world);
        // Edits write object coordinates back through the inverse.
        expectNear(worldToObject(c.extrusion).apply(c.world), c.object);
    }
    EXPECT_TRUE(isDefaultExtrusion({0, 0, 2}));
    EXPECT_FALSE(isDefaultExtrusion({0, 0, -1}));
    EXPECT_TRUE(objectToWorld({0, 0, 1}).isIdentity());
    // Exactly mirrored, not merely close: a mirrored drawing measures like the original.
    const Vec3 m = objectToWorld({0, 0, -1}).apply({0.1, 0.2, 0});
    EXPECT_EQ(m.x, -0.1);
    EXPECT_EQ(m.y, 0.2);
}

TEST(Placement, TiltedExtrusionKeepsLengths) {
    const Linear3 m = objectToWorld({0.3, -0.4, 0.5});
    const Vec3 a = m.apply({1, 0, 0}), b = m.apply({0, 1, 0}), n = m.apply({0, 0, 1});
    EXPECT_NEAR(a.x * a.x + a.y * a.y + a.z * a.z, 1, 1e-12);
    EXPECT_NEAR(a.x * b.x + a.y * b.y + a.z * b.z, 0, 1e-12);
    EXPECT_NEAR(n.x * std::sqrt(0.5), 0.3, 1e-12); // the normalised extrusion
}

TEST(Placement, ComposedBlockPlacement) {
    // Scale 2 then a quarter turn: (1, 0) goes to (0, 2); mirrored scales flip the determinant.
    const Linear3 m = rotationZ(90).after(scaling(2, 2, 1));
    expectNear(m.apply({1, 0, 0}), {0, 2, 0});
    EXPECT_NEAR(m.det2(), 4, 1e-12);
    EXPECT_LT(scaling(-1, 1, 1).det2(), 0);
    EXPECT_TRUE(rotationZ(0).isIdentity());
}
