#include "core/Frustum.h"

#include <gtest/gtest.h>

namespace
{
// Identity view, 90-degree square projection from 1 to 100.
Frustum MakeFrustum()
{
    Matrix4 view, projection;
    view.SetIdentity();
    projection.SetPerspective(1.5707964f, 1.0f, 1.0f, 100.0f);
    Frustum frustum;
    frustum.SetFromMatrices(view, projection);
    return frustum;
}
}

TEST(FrustumTest, PlanesPointInwardsAndAreNormalised)
{
    Frustum frustum = MakeFrustum();
    // Far plane: z <= 100; near plane: z >= 1; the sides of a 90-degree cone: |x| <= z.
    const Plane expected[6] = {
        Plane(-0.70710677f, 0, 0.70710677f, 0), Plane(0.70710677f, 0, 0.70710677f, 0),
        Plane(0, -0.70710677f, 0.70710677f, 0), Plane(0, 0.70710677f, 0.70710677f, 0),
        Plane(0, 0, -1, 100), Plane(0, 0, 1, -1),
    };
    for (int i = 0; i < 6; ++i)
    {
        const Plane& plane = frustum.GetPlane(i);
        EXPECT_NEAR(plane.normal.x, expected[i].normal.x, 1e-5f) << "plane " << i;
        EXPECT_NEAR(plane.normal.y, expected[i].normal.y, 1e-5f) << "plane " << i;
        EXPECT_NEAR(plane.normal.z, expected[i].normal.z, 1e-5f) << "plane " << i;
        EXPECT_NEAR(plane.d, expected[i].d, 1e-3f) << "plane " << i;
    }
}

TEST(FrustumTest, PointsSpheresPolygonsAndBoxes)
{
    Frustum frustum = MakeFrustum();
    struct PointCase
    {
        Vector3 p;
        bool bInside;
    };
    const PointCase points[] = {
        {{0, 0, 10}, true},  {{0, 0, 0.5f}, false}, {{0, 0, 200}, false}, {{9, 0, 10}, true},
        {{11, 0, 10}, false}, {{0, -11, 10}, false}, {{0, 0, -10}, false},
        // Exactly on the side plane x = z: not inside.
        {{4, 0, 4}, false},
    };
    for (const PointCase& c : points)
        EXPECT_EQ(frustum.IsPointInside(c.p), c.bInside) << c.p.x << " " << c.p.y << " " << c.p.z;

    // Spheres against the far plane z = 100, centred 1 and 2 units outside it.
    EXPECT_TRUE(frustum.IsSphereVisible(Vector3(0, 0, 101), 2.0f));
    EXPECT_FALSE(frustum.IsSphereVisible(Vector3(0, 0, 102), 2.0f));
    EXPECT_TRUE(frustum.IsSphereVisible(Vector3(0, 0, 50), 0.1f));

    const Vector3 straddling[3] = {{0, 0, 50}, {0, 0, 150}, {1, 0, 150}};
    EXPECT_TRUE(frustum.IsPolygonVisible(straddling, 3));
    const Vector3 beyond[3] = {{0, 0, 150}, {0, 1, 150}, {1, 0, 160}};
    EXPECT_FALSE(frustum.IsPolygonVisible(beyond, 3));
    const Vector3 behindEye[3] = {{0, 0, -5}, {3, 0, -5}, {0, 3, -5}};
    EXPECT_FALSE(frustum.IsPolygonVisible(behindEye, 3));

    EXPECT_TRUE(frustum.IsBoxVisible(-1000, 1000, -1000, 1000, -1000, 1000));
    EXPECT_TRUE(frustum.IsBoxVisible(-1, 1, -1, 1, 5, 6));
    EXPECT_FALSE(frustum.IsBoxVisible(-1, 1, -1, 1, 101, 110));
    EXPECT_FALSE(frustum.IsBoxVisible(50, 60, -1, 1, 5, 6));
}

TEST(FrustumTest, ViewMatrixMovesTheVolume)
{
    // A view that takes world points 50 units further along z: the camera sits at z = -50.
    Matrix4 view, projection;
    view.SetIdentity();
    view.Translate(Vector3(0, 0, 50));
    projection.SetPerspective(1.5707964f, 1.0f, 1.0f, 100.0f);
    Frustum frustum;
    frustum.SetFromMatrices(view, projection);
    EXPECT_TRUE(frustum.IsPointInside(Vector3(0, 0, -40)));
    EXPECT_FALSE(frustum.IsPointInside(Vector3(0, 0, 60)));
}
