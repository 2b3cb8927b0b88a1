// Planes, reflection, vector transforms and normalisation, colours.
#include "MathTestUtil.h"

#include <cmath>

namespace
{

void ExpectPlaneNear(const D3DXPLANE& actual, const D3DXPLANE& expected)
{
    EXPECT_NEAR(actual.a, expected.a, kMathTolerance);
    EXPECT_NEAR(actual.b, expected.b, kMathTolerance);
    EXPECT_NEAR(actual.c, expected.c, kMathTolerance);
    EXPECT_NEAR(actual.d, expected.d, kMathTolerance);
}

TEST(D3DXPlane, FromPointsOrientation)
{
    struct Case
    {
        D3DXVECTOR3 p1, p2, p3;
        D3DXPLANE plane;
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        // Counter-clockwise seen from +z in the x-y plane: the normal is +z.
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1, 0}},
        // Clockwise seen from a camera at the origin looking down +z (up, then right): the
        // normal faces the camera and the plane is z = 5.
        {{0, 0, 5}, {0, 1, 5}, {1, 0, 5}, {0, 0, -1, 5}},
        // Long edges still give a unit normal; the plane x + y = 2.
        {{2, 0, 0}, {0, 2, 0}, {2, 0, 7}, {h, h, 0, -2 * h}},
        // Three points on a line have no plane: the zero plane.
        {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        D3DXPLANE plane;
        D3DXPlaneFromPoints(&plane, &c.p1, &c.p2, &c.p3);
        ExpectPlaneNear(plane, c.plane);
    }
}

TEST(D3DXPlane, DotForms)
{
    const D3DXPLANE p(0, 0, 1, -5);
    const D3DXVECTOR4 point(1, 2, 8, 1), direction(1, 2, 8, 0);
    const D3DXVECTOR3 v(1, 2, 8);
    EXPECT_FLOAT_EQ(D3DXPlaneDot(&p, &point), 3.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDot(&p, &direction), 8.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&p, &v), 3.0f);
    EXPECT_FLOAT_EQ(D3DXPlaneDotNormal(&p, &v), 8.0f);

    D3DXPLANE n;
    const D3DXPLANE unnormalised(0, 3, 4, 10);
    ExpectPlaneNear(*D3DXPlaneNormalize(&n, &unnormalised), D3DXPLANE(0, 0.6f, 0.8f, 2));
}

TEST(D3DXPlane, ReflectNormalisesThePlane)
{
    struct Case
    {
        D3DXPLANE plane;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        // y = 1 written with a normal of length 2.
        {{0, 2, 0, -2}, {3, 5, 7}, {3, -3, 7}},
        {{0, 2, 0, -2}, {0, 1, 0}, {0, 1, 0}},
        // x + y = 0, unnormalised: swaps and negates x and y.
        {{1, 1, 0, 0}, {1, 0, 0}, {0, -1, 0}},
        {{1, 1, 0, 0}, {2, 3, 4}, {-3, -2, 4}},
        // z = -4 with a normal of length 0.5.
        {{0, 0, -0.5f, -2}, {1, 1, 0}, {1, 1, -8}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        D3DXMatrixReflect(&m, &c.plane);
        ExpectVectorNear(TransformPoint(c.in, m), c.out);
        EXPECT_NEAR(D3DXMatrixDeterminant(&m), -1.0f, kMathTolerance);
    }
}

TEST(D3DXVector, TransformsOfPointsAndDirections)
{
    // Scale by 2, translate by (2, 4, 6), and a w of 2 that TransformCoord divides out.
    const D3DXMATRIX m(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 2);
    const D3DXVECTOR3 v(1, 1, 1);

    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, &v, &m);
    EXPECT_TRUE(h == D3DXVECTOR4(4, 6, 8, 2));

    D3DXVECTOR3 out;
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &v, &m), D3DXVECTOR3(2, 3, 4));
    // A direction ignores the translation row and is not divided.
    ExpectVectorNear(*D3DXVec3TransformNormal(&out, &v, &m), D3DXVECTOR3(2, 2, 2));

    const D3DXVECTOR4 v4(1, 0, 0, 0);
    EXPECT_TRUE(*D3DXVec4Transform(&h, &v4, &m) == D3DXVECTOR4(2, 0, 0, 0));

    // In place, as the scene scales its vertex positions.
    D3DXVECTOR3 inPlace(1, 1, 1);
    D3DXVec3TransformCoord(&inPlace, &inPlace, &m);
    ExpectVectorNear(inPlace, D3DXVECTOR3(2, 3, 4));
}

TEST(D3DXVector, NormalizeAndProducts)
{
    D3DXVECTOR3 n;
    const D3DXVECTOR3 v(3, 0, 4), zero(0, 0, 0);
    ExpectVectorNear(*D3DXVec3Normalize(&n, &v), D3DXVECTOR3(0.6f, 0, 0.8f));
    EXPECT_TRUE(*D3DXVec3Normalize(&n, &zero) == zero);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);

    D3DXVECTOR4 n4;
    const D3DXVECTOR4 v4(1, 1, 1, 1), zero4(0, 0, 0, 0);
    EXPECT_TRUE(*D3DXVec4Normalize(&n4, &v4) == D3DXVECTOR4(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_TRUE(*D3DXVec4Normalize(&n4, &zero4) == zero4);

    // x × y = z; the output may alias an input.
    D3DXVECTOR3 a(1, 0, 0);
    const D3DXVECTOR3 b(0, 1, 0);
    D3DXVec3Cross(&a, &a, &b);
    EXPECT_TRUE(a == D3DXVECTOR3(0, 0, 1));
    const D3DXVECTOR3 p(1, 2, 3), q(4, 5, 6);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&p, &q), 32.0f);
    D3DXVECTOR3 cross;
    EXPECT_TRUE(*D3DXVec3Cross(&cross, &p, &q) == D3DXVECTOR3(-3, 6, -3));
}

TEST(D3DXColor, PacksAndUnpacks)
{
    const D3DXCOLOR c(0x80FF4000u);
    EXPECT_FLOAT_EQ(c.a, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
    EXPECT_EQ((DWORD)c, 0x80FF4000u);
    // Out-of-range channels clamp.
    EXPECT_EQ((DWORD)D3DXCOLOR(1.5f, -1.0f, 0.5f, 1.0f), 0xFFFF0080u);
}

} // namespace
