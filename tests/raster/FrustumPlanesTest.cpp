// The frustum planes of a known perspective and the point, sphere and cube tests against them.
#include "raster/FrustumPlanes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
// A left-handed perspective written out: x scale 0.75 (a 4:3 view with a 90-degree vertical
// field), near 1, far 2, so that z' = 2 z - 2 and w' = z.
D3DXMATRIX Perspective()
{
    D3DXMATRIX m;
    std::memset(&m, 0, sizeof(m));
    m._11 = 0.75f;
    m._22 = 1.0f;
    m._33 = 2.0f;
    m._34 = 1.0f;
    m._43 = -2.0f;
    return m;
}
}

TEST(FrustumPlanesTest, SixNormalisedPlanesOfAKnownPerspective)
{
    Plane planes[6];
    ExtractFrustumPlanes(Perspective(), planes);
    const float expected[6][4] = {
        {-0.6f, 0, 0.8f, 0},                       // right: x <= w
        {0.6f, 0, 0.8f, 0},                        // left
        {0, 0.70710678f, 0.70710678f, 0},          // bottom
        {0, -0.70710678f, 0.70710678f, 0},         // top
        {0, 0, -1, 2},                             // far: z <= 2
        {0, 0, 1, -2.0f / 3.0f},                   // near of this table: z' >= -w', z >= 2/3
    };
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_NEAR(planes[i].normal.x, expected[i][0], 1e-6f) << i;
        EXPECT_NEAR(planes[i].normal.y, expected[i][1], 1e-6f) << i;
        EXPECT_NEAR(planes[i].normal.z, expected[i][2], 1e-6f) << i;
        EXPECT_NEAR(planes[i].d, expected[i][3], 1e-6f) << i;
        EXPECT_NEAR(Length(planes[i].normal), 1.0f, 1e-6f) << i;
    }
    // The same view moved back by 5: every plane's d grows by 5 c.
    D3DXMATRIX view, m;
    D3DXMatrixTranslation(&view, 0, 0, 5);
    D3DXMATRIX projection = Perspective();
    D3DXMatrixMultiply(&m, &view, &projection);
    Plane moved[6];
    ExtractFrustumPlanes(m, moved);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(moved[i].d, expected[i][3] + 5.0f * expected[i][2], 1e-5f) << i;
}

TEST(FrustumPlanesTest, PointsSpheresAndCubes)
{
    Plane planes[6];
    ExtractFrustumPlanes(Perspective(), planes);
    struct Case
    {
        const char* szName;
        float x, y, z, r;
        bool bPoint, bSphere, bCube;
    };
    const Case cases[] = {
        {"centre of the volume", 0.1f, 0.2f, 1.5f, 0.1f, true, true, true},
        {"on the far plane", 0.1f, 0.2f, 2.0f, 0.0f, false, false, false},
        {"sphere touching the far plane from outside", 0.1f, 0.2f, 3.0f, 1.0f, false, false, false},
        {"sphere reaching into the far plane", 0.1f, 0.2f, 3.0f, 1.01f, false, true, true},
        {"left of the volume", -5.0f, 0.0f, 1.5f, 0.5f, false, false, false},
        {"behind the eye", 0.0f, 0.0f, -3.0f, 1.0f, false, false, false},
        // Wholly beyond the right plane where it meets the far one (inside needs x <= 4 z / 3 and
        // z <= 2, so x <= 2.67), yet one corner is inside the right plane and another inside the
        // far one: sphere and cube pass although they are outside.
        {"beyond the right and far edge", 3.3f, 0.0f, 2.1f, 0.6f, false, true, true},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(IsPointInPlanes(planes, c.x, c.y, c.z), c.bPoint) << c.szName;
        EXPECT_EQ(IsSphereInPlanes(planes, c.x, c.y, c.z, c.r), c.bSphere) << c.szName;
        EXPECT_EQ(IsCubeInPlanes(planes, c.x, c.y, c.z, c.r), c.bCube) << c.szName;
    }
    // A sphere of radius 0 is the point test.
    EXPECT_FALSE(IsSphereInPlanes(planes, 0.1f, 0.2f, 2.0f, 0.0f));
    EXPECT_TRUE(IsSphereInPlanes(planes, 0.1f, 0.2f, 1.9f, 0.0f));
}

TEST(FrustumPlanesTest, DegenerateMatrixKeepsZeroPlanes)
{
    D3DXMATRIX zero;
    std::memset(&zero, 0, sizeof(zero));
    Plane planes[6];
    ExtractFrustumPlanes(zero, planes);
    for (const Plane& plane : planes)
    {
        EXPECT_EQ(plane.normal.x, 0.0f);
        EXPECT_EQ(plane.d, 0.0f);
    }
    EXPECT_FALSE(IsPointInPlanes(planes, 0, 0, 0));
}
