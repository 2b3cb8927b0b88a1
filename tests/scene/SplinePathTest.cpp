#include "scene/KeyframePath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
D3DXQUATERNION Yaw(float fAngle)
{
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, fAngle, 0.0f, 0.0f);
    return q;
}

float AbsDot(const D3DXQUATERNION& a, const D3DXQUATERNION& b)
{
    return std::fabs(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w);
}

void AddKeys(SplinePath& path, const Vector3* pPositions, const D3DXQUATERNION* pRotations, int nKeys, float fStep)
{
    for (int i = 0; i < nKeys; ++i)
        path.SetKey(i, i * fStep, &pPositions[i], &pRotations[i]);
    path.SetPeriod(nKeys * fStep);
}

const Vector3 POSITIONS[4] = {{0.0f, 0.0f, 0.0f}, {1.0f, 2.0f, 0.0f}, {3.0f, -1.0f, 2.0f}, {-2.0f, 5.0f, 1.0f}};
}

TEST(SplinePathTest, KeyArraysGrowInBlocksOfTwenty)
{
    SplinePath path;
    Vector3 v(0.0f, 0.0f, 0.0f);
    D3DXQUATERNION q(0.0f, 0.0f, 0.0f, 1.0f);
    path.SetKey(0, 0.0f, &v, &q);
    EXPECT_EQ(path.GetCapacity(), 20);
    EXPECT_EQ(path.GetKeyCount(), 1);
    for (int i = 1; i < 20; ++i)
    {
        v = Vector3(static_cast<float>(i), 0.0f, 0.0f);
        path.SetKey(i, static_cast<float>(i), &v, &q);
    }
    EXPECT_EQ(path.GetCapacity(), 20);
    v = Vector3(20.0f, 0.0f, 0.0f);
    path.SetKey(20, 20.0f, &v, &q);
    EXPECT_EQ(path.GetCapacity(), 40);
    EXPECT_EQ(path.GetKeyCount(), 21);
    for (int i = 0; i <= 20; ++i)
    {
        float fTime = -1.0f;
        Vector3 vKey;
        D3DXQUATERNION qKey;
        ASSERT_TRUE(path.GetKey(i, &fTime, &vKey, &qKey));
        EXPECT_EQ(fTime, static_cast<float>(i));
        EXPECT_EQ(vKey.x, static_cast<float>(i));
    }
    EXPECT_EQ(path.GetEndTime(), 20.0f);
    EXPECT_FALSE(path.GetKey(21, nullptr, nullptr, nullptr));

    path.SetKey(-1, 0.0f, &v, &q);
    EXPECT_EQ(path.GetKeyCount(), 21);
}

TEST(SplinePathTest, PassesThroughItsKeysAndRepeatsAfterThePeriod)
{
    const D3DXQUATERNION rotations[4] = {Yaw(0.3f), Yaw(0.9f), Yaw(1.5f), Yaw(2.4f)};
    SplinePath path;
    AddKeys(path, POSITIONS, rotations, 4, 1.0f);
    struct Case
    {
        float fTime;
        int nKey;
    };
    const Case cases[] = {{0.0f, 0}, {1.0f, 1}, {2.0f, 2}, {3.0f, 3}, {4.0f, 0}, {5.0f, 1}, {11.0f, 3}};
    for (const Case& c : cases)
    {
        Vector3 v;
        D3DXQUATERNION q;
        ASSERT_TRUE(path.GetPosition(c.fTime, v)) << c.fTime;
        ASSERT_TRUE(path.GetRotation(c.fTime, q)) << c.fTime;
        EXPECT_NEAR(v.x, POSITIONS[c.nKey].x, 1e-5f) << c.fTime;
        EXPECT_NEAR(v.y, POSITIONS[c.nKey].y, 1e-5f) << c.fTime;
        EXPECT_NEAR(v.z, POSITIONS[c.nKey].z, 1e-5f) << c.fTime;
        EXPECT_NEAR(AbsDot(q, rotations[c.nKey]), 1.0f, 1e-5f) << c.fTime;
    }
    EXPECT_TRUE(path.IsPrepared());

    // Between keys the rotation stays between its neighbours' yaw angles.
    D3DXQUATERNION q;
    ASSERT_TRUE(path.GetRotation(0.5f, q));
    float fYaw = 2.0f * std::atan2(q.y, q.w);
    EXPECT_GT(fYaw, 0.3f);
    EXPECT_LT(fYaw, 0.9f);
}

TEST(SplinePathTest, PathsThatCannotBePreparedAreNotEvaluated)
{
    const D3DXQUATERNION rotations[4] = {Yaw(0.0f), Yaw(0.1f), Yaw(0.2f), Yaw(0.3f)};
    struct Case
    {
        const char* szName;
        int nKeys;
        float fStep;
        float fPeriod;
    };
    const Case cases[] = {
        {"two keys", 2, 1.0f, 2.0f},
        {"three keys", 3, 1.0f, 3.0f},
        {"zero spacing", 4, 0.0f, 0.0f},
        {"period shorter than the keys", 4, 1.0f, 2.5f},
        {"negative spacing", 4, -1.0f, -4.0f},
    };
    for (const Case& c : cases)
    {
        SplinePath path;
        for (int i = 0; i < c.nKeys; ++i)
            path.SetKey(i, i * c.fStep, &POSITIONS[i], &rotations[i]);
        path.SetPeriod(c.fPeriod);
        Vector3 v(7.0f, 7.0f, 7.0f);
        D3DXQUATERNION q(7.0f, 7.0f, 7.0f, 7.0f);
        EXPECT_FALSE(path.GetPosition(0.5f, v)) << c.szName;
        EXPECT_FALSE(path.GetRotation(0.5f, q)) << c.szName;
        EXPECT_FALSE(path.IsPrepared()) << c.szName;
        EXPECT_EQ(v, Vector3(7.0f, 7.0f, 7.0f)) << c.szName;
    }
}

TEST(SplinePathTest, OppositeSignsOfOneRotationDoNotTurnTheLongWay)
{
    D3DXQUATERNION q = Yaw(0.5f);
    D3DXQUATERNION minus(-q.x, -q.y, -q.z, -q.w);
    const D3DXQUATERNION rotations[4] = {q, minus, q, minus};
    SplinePath path;
    AddKeys(path, POSITIONS, rotations, 4, 1.0f);
    for (float fTime = 0.0f; fTime < 4.0f; fTime += 0.125f)
    {
        D3DXQUATERNION r;
        ASSERT_TRUE(path.GetRotation(fTime, r));
        EXPECT_NEAR(AbsDot(r, q), 1.0f, 1e-5f) << fTime;
    }
}

TEST(SplinePathTest, UnrotatedKeysGiveFiniteRotationsThatMeetTheIdentity)
{
    const D3DXQUATERNION identity(0.0f, 0.0f, 0.0f, 1.0f);
    // w slightly above 1 (a rounded file value) is unrotated as well.
    const D3DXQUATERNION nearlyIdentity(0.0f, 0.0f, 0.0f, 1.0000001f);
    struct Case
    {
        const char* szName;
        D3DXQUATERNION rotations[4];
    };
    const Case cases[] = {
        {"all unrotated", {identity, identity, identity, identity}},
        {"recording from rest", {identity, Yaw(0.2f), Yaw(0.4f), Yaw(0.6f)}},
        {"rest in the middle", {Yaw(-0.3f), nearlyIdentity, identity, Yaw(0.3f)}},
    };
    for (const Case& c : cases)
    {
        SplinePath path;
        AddKeys(path, POSITIONS, c.rotations, 4, 1.0f);
        for (float fTime = 0.0f; fTime < 4.0f; fTime += 0.125f)
        {
            D3DXQUATERNION r;
            ASSERT_TRUE(path.GetRotation(fTime, r)) << c.szName;
            ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z) && std::isfinite(r.w))
                << c.szName << " at " << fTime;
            EXPECT_NEAR(r.x * r.x + r.y * r.y + r.z * r.z + r.w * r.w, 1.0f, 1e-5f);
        }
        for (int i = 0; i < 4; ++i)
        {
            D3DXQUATERNION r;
            ASSERT_TRUE(path.GetRotation(static_cast<float>(i), r));
            D3DXQUATERNION expected = c.rotations[i];
            D3DXQuaternionNormalize(&expected, &expected);
            EXPECT_NEAR(AbsDot(r, expected), 1.0f, 1e-5f) << c.szName << " key " << i;
        }
    }
}

TEST(SplinePathTest, FindsTheNearestKey)
{
    const D3DXQUATERNION rotations[4] = {Yaw(0.0f), Yaw(0.0f), Yaw(0.0f), Yaw(0.0f)};
    SplinePath path;
    AddKeys(path, POSITIONS, rotations, 4, 1.0f);
    EXPECT_EQ(path.FindNearestKey(Vector3(2.9f, -1.0f, 2.0f)), 2);
    EXPECT_EQ(path.FindNearestKey(Vector3(0.5f, 1.0f, 0.0f)), 0);  // equal distances: the first
    EXPECT_EQ(path.FindNearestKey(Vector3(1.0e5f, 0.0f, 0.0f)), -1);
    SplinePath empty;
    EXPECT_EQ(empty.FindNearestKey(Vector3(0.0f, 0.0f, 0.0f)), -1);
    EXPECT_EQ(empty.GetEndTime(), 0.0f);
}
