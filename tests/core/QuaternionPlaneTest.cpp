#include "core/Matrix4.h"
#include "core/Plane.h"
#include "core/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
void ExpectQuaternionNear(const Quaternion& a, const Quaternion& b, float fTolerance)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i], b[i], fTolerance) << "component " << i;
}

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float fTolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.e[i], b.e[i], fTolerance) << "element " << i;
}

const float g_Angles[][3] = {
    {0.3f, -0.7f, 1.1f}, {1.5f, 0.2f, -2.0f}, {-2.5f, 3.0f, 0.4f}, {0.0f, 0.9f, 0.0f}, {0.6f, 0.0f, 0.0f},
};
}

TEST(PlaneTest, DistanceAndSide)
{
    Plane plane(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
    EXPECT_EQ(plane.normal, Vector3(0, 0, 1));
    EXPECT_EQ(plane.d, 0.0f);

    struct Case
    {
        Vector3 p;
        float fEpsilon;
        float fDistance;
        int nSide;
    };
    const Case cases[] = {
        {{0, 0, 2}, 0.03f, 2.0f, 1},
        {{5, -3, 0.01f}, 0.03f, 0.01f, 0},
        {{0, 0, -0.5f}, 0.03f, -0.5f, -1},
        {{0, 0, -0.01f}, 0.03f, -0.01f, 0},
        // A distance of exactly 0 with no tolerance is not above 0: behind.
        {{7, 7, 0}, 0.0f, 0.0f, -1},
    };
    for (const Case& c : cases)
    {
        EXPECT_FLOAT_EQ(plane.Distance(c.p), c.fDistance);
        EXPECT_EQ(plane.Side(c.p, c.fEpsilon), c.nSide) << c.p.z;
    }

    // Three points anticlockwise seen from above a shifted plane: normal up, d = -height.
    Plane raised(Vector3(0, 3, 0), Vector3(0, 3, 1), Vector3(1, 3, 0));
    EXPECT_NEAR(raised.normal.y, 1.0f, 1e-6f);
    EXPECT_NEAR(raised.d, -3.0f, 1e-6f);
}

TEST(PlaneTest, RayParameterAndNormalize)
{
    Plane plane(0, 0, 1, 0);
    EXPECT_FLOAT_EQ(plane.RayParameter(Vector3(0, 0, 1), Vector3(0, 0, -1)), 0.5f);
    EXPECT_FLOAT_EQ(plane.RayParameter(Vector3(0, 0, 3), Vector3(1, 1, -1)), 0.75f);
    Plane offset(Vector3(0, 1, 0), -2.0f);
    EXPECT_FLOAT_EQ(offset.RayParameter(Vector3(0, 0, 0), Vector3(0, 8, 0)), 0.25f);

    Plane p(0, 0, 2, 4);
    p.Normalize();
    EXPECT_EQ(p.normal, Vector3(0, 0, 1));
    EXPECT_FLOAT_EQ(p.d, 2.0f);
}

TEST(QuaternionTest, AngleFormsEqualMatrixForms)
{
    for (const auto& angles : g_Angles)
    {
        Quaternion q;
        Matrix4 fromQuaternion, direct;
        q.SetRotationXY(angles[0], angles[1]);
        fromQuaternion.SetRotation(q);
        direct.SetRotationXY(angles[0], angles[1]);
        ExpectMatrixNear(fromQuaternion, direct, 1e-5f);

        q.SetRotationXYZ(angles[0], angles[1], angles[2]);
        fromQuaternion.SetRotation(q);
        direct.SetRotationXYZ(angles[0], angles[1], angles[2]);
        ExpectMatrixNear(fromQuaternion, direct, 1e-5f);

        Quaternion q2;
        q2.SetRotationXY(angles[0], angles[1]);
        q.SetRotationXYZ(angles[0], angles[1], 0.0f);
        ExpectQuaternionNear(q, q2, 1e-6f);
    }
}

TEST(QuaternionTest, HamiltonProductMatchesMatrixProduct)
{
    Quaternion i(0, 1, 0, 0), j(0, 0, 1, 0), k(0, 0, 0, 1);
    ExpectQuaternionNear(i * j, k, 0.0f);
    ExpectQuaternionNear(j * i, -k, 0.0f);
    ExpectQuaternionNear(j * k, i, 0.0f);
    ExpectQuaternionNear(i * i, Quaternion(-1, 0, 0, 0), 0.0f);

    // The matrix of a quaternion is the transpose of the usual one, so products reverse order.
    Quaternion a, b;
    a.SetRotationXYZ(0.3f, -0.8f, 1.2f);
    b.SetRotationXYZ(-1.1f, 0.4f, 2.2f);
    Matrix4 ma, mb, mab;
    ma.SetRotation(a);
    mb.SetRotation(b);
    mab.SetRotation(a * b);
    ExpectMatrixNear(mab, mb * ma, 1e-5f);
}

TEST(QuaternionTest, ArithmeticAndNormalize)
{
    Quaternion q(1, 2, 3, 4);
    q += Quaternion(1, 1, 1, 1);
    q -= Quaternion(0, 1, 2, 3);
    ExpectQuaternionNear(q, Quaternion(2, 2, 2, 2), 0.0f);
    q *= 0.5f;
    q /= 0.25f;
    ExpectQuaternionNear(q, Quaternion(4, 4, 4, 4), 0.0f);
    ExpectQuaternionNear(q.Normalize(), Quaternion(0.5f, 0.5f, 0.5f, 0.5f), 1e-7f);
    Quaternion f(0, 0, 2, 0);
    f.FastNormalize();
    EXPECT_FLOAT_EQ(f.y, 2.0f * FastInvSqrt(4.0f));
    ExpectQuaternionNear((2.0f * q - q * 1.0f) / 2.0f, Quaternion(0.25f, 0.25f, 0.25f, 0.25f), 1e-7f);
    q[3] = 9.0f;
    EXPECT_EQ(q.z, 9.0f);
    EXPECT_EQ(q[0], q.w);
}

TEST(QuaternionTest, SlerpAndSquad)
{
    const float fHalf45 = 0.39269908f; // 22.5 degrees
    Quaternion identity(1, 0, 0, 0);
    Quaternion quarterZ(std::cos(2 * fHalf45), 0, 0, std::sin(2 * fHalf45));
    struct Case
    {
        float t;
        Quaternion expected;
    };
    const Case cases[] = {
        {0.0f, identity},
        {1.0f, quarterZ},
        {0.5f, Quaternion(std::cos(fHalf45), 0, 0, std::sin(fHalf45))},
        {0.25f, Quaternion(std::cos(fHalf45 / 2), 0, 0, std::sin(fHalf45 / 2))},
    };
    for (const Case& c : cases)
        ExpectQuaternionNear(Slerp(identity, quarterZ, c.t), c.expected, 1e-6f);

    // Dot product 0.9995: the linear branch, whose midpoint is not normalised.
    Quaternion near(0.9995f, std::sqrt(1.0f - 0.9995f * 0.9995f), 0, 0);
    ExpectQuaternionNear(Slerp(identity, near, 0.0f), identity, 0.0f);
    ExpectQuaternionNear(Slerp(identity, near, 1.0f), near, 0.0f);
    Quaternion mid = Slerp(identity, near, 0.5f);
    ExpectQuaternionNear(mid, (identity + near) * 0.5f, 1e-7f);
    EXPECT_LT(mid.w * mid.w + mid.x * mid.x, 1.0f);

    Quaternion p0, p1, p2, p3;
    p0.SetRotationXYZ(0.1f, 0.2f, 0.3f);
    p1.SetRotationXYZ(0.5f, -0.2f, 0.9f);
    p2.SetRotationXYZ(1.0f, 0.4f, -0.3f);
    p3.SetRotationXYZ(-0.4f, 1.2f, 0.0f);
    ExpectQuaternionNear(Squad(p0, p1, p2, p3, 0.0f), p1, 1e-6f);
    ExpectQuaternionNear(Squad(p0, p1, p2, p3, 1.0f), p2, 1e-6f);
}
