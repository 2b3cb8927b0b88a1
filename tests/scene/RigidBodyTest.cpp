#include "scene/RigidBody.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
void ExpectMatrixNear(const Matrix4& actual, const float* pExpected, float fTolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.e[i], pExpected[i], fTolerance) << "element " << i;
}

void ExpectVectorNear(const Vector3& actual, const Vector3& expected, float fTolerance)
{
    EXPECT_NEAR(actual.x, expected.x, fTolerance);
    EXPECT_NEAR(actual.y, expected.y, fTolerance);
    EXPECT_NEAR(actual.z, expected.z, fTolerance);
}

const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

TEST(RigidBodyTest, NewBodyRestsAtTheOriginWithInfiniteMass)
{
    RigidBody body;
    EXPECT_TRUE(std::isinf(body.m_fMass));
    EXPECT_TRUE(std::isinf(body.m_fDeformDamping));
    EXPECT_EQ(body.m_fDeformStiffness, 1.0e15f);
    EXPECT_EQ(body.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));
    ExpectMatrixNear(*body.GetWorldMatrix(), IDENTITY, 0.0f);
    ExpectMatrixNear(body.m_matBase, IDENTITY, 0.0f);

    body.Integrate(1.0f / 30.0f);
    EXPECT_EQ(body.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(body.m_vDeformation, Vector3(0.0f, 0.0f, 0.0f));
    ExpectMatrixNear(*body.GetWorldMatrix(), IDENTITY, 1e-6f);
}

TEST(RigidBodyTest, DragKeepsOneMinusDtOfTheVelocityAtMassThree)
{
    struct Case
    {
        float dt;
        float fKept;
    };
    // Air resistance 3 over mass 3: the kept share is 1 - dt, and nothing once dt reaches 1.
    const Case cases[] = {{1.0f / 30.0f, 0.966667f}, {0.25f, 0.75f}, {1.0f, 0.0f}, {2.0f, 0.0f}};
    for (const Case& c : cases)
    {
        RigidBody body;
        body.m_fMass = 3.0f;
        body.m_fAirResistance = 3.0f;
        body.m_fAngularAirResistance = 3.0f;
        body.SetVelocity(Vector3(3.0f, -6.0f, 1.5f));
        body.SetAngularVelocity(Vector3(0.0f, 0.3f, 0.0f));
        body.Integrate(c.dt);
        ExpectVectorNear(body.m_vVelocity, Vector3(3.0f * c.fKept, -6.0f * c.fKept, 1.5f * c.fKept), 1e-5f);
        ExpectVectorNear(body.m_vAngularVelocity, Vector3(0.0f, 0.3f * c.fKept, 0.0f), 1e-6f);
    }

    RigidBody body;
    body.m_fMass = 3.0f;
    body.m_fAirResistance = 3.0f;
    body.SetVelocity(Vector3(0.0f, 0.0f, 30.0f));
    float fExpectedZ = 0.0f, fSpeed = 30.0f;
    for (int i = 0; i < 10; ++i)
    {
        body.Integrate(1.0f / 30.0f);
        fSpeed *= 29.0f / 30.0f;
        fExpectedZ += fSpeed / 30.0f;
    }
    EXPECT_NEAR(body.m_vVelocity.z, 30.0 * std::pow(29.0 / 30.0, 10), 1e-4);
    EXPECT_NEAR(body.m_vPosition.z, fExpectedZ, 1e-4f);
    EXPECT_NEAR(body.GetWorldMatrix()->e[14], fExpectedZ, 1e-4f);
}

TEST(RigidBodyTest, InfiniteMassKeepsItsVelocityAndForcesAreAccelerations)
{
    RigidBody body;
    body.m_fAirResistance = 100.0f;
    body.m_vForce = Vector3(0.0f, 3.0f, 0.0f);
    body.m_vLocalForce = Vector3(6.0f, 0.0f, 0.0f);
    body.Integrate(0.5f);
    ExpectVectorNear(body.m_vVelocity, Vector3(3.0f, 1.5f, 0.0f), 1e-6f);
    ExpectVectorNear(body.m_vPosition, Vector3(1.5f, 0.75f, 0.0f), 1e-6f);
}

TEST(RigidBodyTest, TranslateMovesTheWorldMatrixAndThePosition)
{
    RigidBody body;
    body.Translate(Vector3(1.0f, 2.0f, 3.0f));
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    ExpectMatrixNear(*body.GetWorldMatrix(), expected, 0.0f);
    EXPECT_EQ(body.m_vPosition, Vector3(1.0f, 2.0f, 3.0f));
    body.UpdateWorldMatrix();
    ExpectMatrixNear(*body.GetWorldMatrix(), expected, 1e-6f);
}

TEST(RigidBodyTest, RotateTurnsTheWorldMatrixAfterTheBase)
{
    RigidBody body;
    Matrix4 base;
    base.SetIdentity();
    base.e[12] = 5.0f;
    body.SetFromMatrix(base);
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, D3DX_PI / 2.0f, 0.0f, 0.0f);
    body.Rotate(q);
    // The base moves the body's centre to (5, 0, 0); the quarter turn about y (x goes to -z)
    // turns the body about that centre, which stays in place.
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 5, 0, 0, 1};
    ExpectMatrixNear(*body.GetWorldMatrix(), expected, 1e-6f);

    RigidBody turned;
    turned.RotateYawPitchRoll(Vector3(0.0f, D3DX_PI / 2.0f, 0.0f));
    const float expectedAtOrigin[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    ExpectMatrixNear(*turned.GetWorldMatrix(), expectedAtOrigin, 1e-6f);
}

TEST(RigidBodyTest, InverseAndCentreAreCachedUntilTheWorldMatrixChanges)
{
    RigidBody body;
    body.m_vLocalCentre = Vector3(0.0f, 1.0f, 0.0f);
    body.Translate(Vector3(1.0f, 2.0f, 3.0f));
    Matrix4* pInverse = body.GetInverseWorldMatrix();
    EXPECT_EQ(pInverse->e[12], -1.0f);
    EXPECT_EQ(pInverse->e[13], -2.0f);
    EXPECT_EQ(pInverse->e[14], -3.0f);
    EXPECT_EQ(*body.GetWorldCentre(), Vector3(1.0f, 3.0f, 3.0f));

    // Changed behind the body's back: the cached values stay.
    body.m_matWorld.e[12] = 5.0f;
    EXPECT_EQ(body.GetInverseWorldMatrix()->e[12], -1.0f);
    EXPECT_EQ(body.GetWorldCentre()->x, 1.0f);

    body.Translate(Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(body.GetInverseWorldMatrix()->e[12], -6.0f);
    EXPECT_EQ(body.GetWorldCentre()->x, 6.0f);
}

TEST(RigidBodyTest, DeformationIsLimitedToHalfAndScalesTheBody)
{
    RigidBody body;
    body.m_fDeformStiffness = 0.0f;
    body.m_fDeformDamping = 0.0f;
    body.SetDeformationRate(Vector3(24.0f, 0.0f, 0.0f));
    body.Integrate(1.0f / 30.0f);  // would reach 0.8
    EXPECT_NEAR(body.m_vDeformation.x, 0.5f, 1e-6f);
    EXPECT_NEAR(body.GetWorldMatrix()->e[0], 1.5f, 1e-6f);

    RigidBody damped;
    damped.m_fDeformStiffness = 0.0f;
    damped.SetDeformationRate(Vector3(0.0f, 3.0f, 0.0f));
    damped.Integrate(1.0f / 30.0f);  // infinite damping stops the rate before it acts
    EXPECT_EQ(damped.m_vDeformationRate, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(damped.m_vDeformation, Vector3(0.0f, 0.0f, 0.0f));
}

TEST(RigidBodyTest, SaveAndRestoreBringBackTheMotion)
{
    RigidBody body;
    body.SetVelocity(Vector3(1.0f, 0.0f, 0.0f));
    body.SaveState();
    body.Integrate(1.0f);
    EXPECT_EQ(body.m_vPosition, Vector3(1.0f, 0.0f, 0.0f));
    body.RestoreState();
    EXPECT_EQ(body.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(body.GetWorldMatrix()->e[12], 0.0f);
    EXPECT_EQ(body.GetInverseWorldMatrix()->e[12], 0.0f);
}

TEST(RigidBodyTest, CollisionImpulsesAreEqualAndOpposite)
{
    struct Case
    {
        const char* szName;
        Vector3 vPoint;
    };
    const Case cases[] = {{"head on", Vector3(1.0f, 0.0f, 0.0f)}, {"off centre", Vector3(1.0f, 0.5f, 0.2f)}};
    for (const Case& c : cases)
    {
        RigidBody a, b;
        a.m_fMass = 2.0f;
        b.m_fMass = 5.0f;
        b.Translate(Vector3(2.0f, 0.0f, 0.0f));
        a.SetVelocity(Vector3(1.0f, 0.5f, 0.0f));
        b.SetVelocity(Vector3(-1.0f, 0.0f, 0.3f));
        Vector3 vBefore = a.m_vVelocity * a.m_fMass + b.m_vVelocity * b.m_fMass;

        ApplyCollisionImpulse(a, b, c.vPoint, Vector3(1.0f, 0.0f, 0.0f), Vector3(-1.0f, 0.0f, 0.0f));

        Vector3 vImpulseA = (a.m_vVelocity - Vector3(1.0f, 0.5f, 0.0f)) * a.m_fMass;
        Vector3 vImpulseB = (b.m_vVelocity - Vector3(-1.0f, 0.0f, 0.3f)) * b.m_fMass;
        SCOPED_TRACE(c.szName);
        EXPECT_GT(Length(vImpulseA), 0.1f);
        ExpectVectorNear(vImpulseA, -vImpulseB, 1e-5f);
        ExpectVectorNear(a.m_vVelocity * a.m_fMass + b.m_vVelocity * b.m_fMass, vBefore, 1e-5f);
        // The bodies approach along x: A is pushed back, B forward.
        EXPECT_LT(vImpulseA.x, 0.0f);
        EXPECT_TRUE(std::isfinite(a.m_vAngularVelocity.x) && std::isfinite(b.m_vAngularVelocity.z));
    }
}

TEST(RigidBodyTest, CollisionBetweenImmovableBodiesChangesNothing)
{
    RigidBody a, b;
    b.Translate(Vector3(2.0f, 0.0f, 0.0f));
    a.SetVelocity(Vector3(1.0f, 0.0f, 0.0f));
    ApplyCollisionImpulse(a, b, Vector3(1.0f, 0.0f, 0.0f), Vector3(1.0f, 0.0f, 0.0f), Vector3(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(a.m_vVelocity, Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(b.m_vVelocity, Vector3(0.0f, 0.0f, 0.0f));
}
