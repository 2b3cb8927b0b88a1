// Rigid display objects: ids, box inertia, the Euler step with gravity, drag and the moving
// switch, the state exchange, and contact impulses against the ground and between bodies
// (restitution at the contact, momentum kept).
#include "3dapi/DisplayModel.h"
#include "3dapi/DisplayObject3D.h"
#include "core/Log.h"

#include <gtest/gtest.h>

namespace
{
class Body : public DisplayObject3D
{
public:
    Body() : DisplayObject3D(DISPLAY_OBJECT_ENEMY) {}
    HRESULT ComputeForces(float) override { return S_OK; }
    HRESULT Render(float, float, int* pFaces) override
    {
        *pFaces = 0;
        return S_OK;
    }
};

// A model whose box is the cube of half side h, without a mesh.
void MakeBox(DisplayModel& model, float h, float fRadius)
{
    model.m_vMin = Vector3(-h, -h, -h);
    model.m_vMax = Vector3(h, h, h);
    for (int i = 0; i < 8; ++i)
        model.m_vCorners[i] = Vector3(i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h);
    model.m_fRadius = fRadius;
}

class DisplayObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MakeBox(m_Cube, 1.0f, 1.8f);
        D3DXMatrixIdentity(&m_matIdentity);
    }
    // A body of that mass at the position, initialised and stepped once by 0 s so its next state
    // holds the world inertia and corners.
    void Place(Body& body, float fMass, const D3DXVECTOR3& vPosition, bool bGravity = false)
    {
        body.m_fMass = fMass;
        body.m_bGravity = bGravity;
        ASSERT_EQ(body.Init(0, &vPosition, &m_matIdentity, &m_Cube), S_OK);
        body.Integrate(0.0f);
    }
    DisplayModel m_Cube;
    D3DXMATRIX m_matIdentity;
};

TEST_F(DisplayObjectTest, IdsCountUpInOrderOfConstruction)
{
    Body a, b, c;
    EXPECT_EQ(b.m_nId, a.m_nId + 1);
    EXPECT_EQ(c.m_nId, a.m_nId + 2);
}

TEST_F(DisplayObjectTest, CubeInertiaAndRefusedInits)
{
    Body body;
    body.m_fMass = 6.0f;
    D3DXVECTOR3 vPosition(0, 50, 0);
    ASSERT_EQ(body.Init(0, &vPosition, &m_matIdentity, &m_Cube), S_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(body.m_matInvBodyInertia.m[i][i], 0.25f);

    SetLogEcho(false);
    Body noModel, noMass;
    noModel.m_fMass = 1.0f;
    EXPECT_EQ(noModel.Init(0, &vPosition, &m_matIdentity, nullptr), E_INVALIDARG);
    EXPECT_EQ(noMass.Init(0, &vPosition, &m_matIdentity, &m_Cube), E_INVALIDARG);
    EXPECT_EQ(noMass.m_pModel, nullptr);
    SetLogEcho(true);
}

TEST_F(DisplayObjectTest, GravityChangesTheVelocityBeforeThePosition)
{
    Body body;
    Place(body, 1.0f, D3DXVECTOR3(0, 100, 0), true);
    body.EndStep(0.0f);
    body.Integrate(0.01f);
    EXPECT_NEAR(body.m_pNextState->vVelocity.y, -0.098f, 1e-6f);
    EXPECT_EQ(body.m_pNextState->vPosition.y, 100.0f);
    EXPECT_EQ(body.m_vPosition.y, 100.0f);
    body.EndStep(0.01f);
    body.Integrate(0.01f);
    EXPECT_NEAR(body.m_pNextState->vPosition.y, 100.0f - 0.098f * 0.01f, 1e-5f);
}

TEST_F(DisplayObjectTest, DragTakesVTimesDtAndAStoppedBodyKeepsItsPlace)
{
    Body body;
    Place(body, 10.0f, D3DXVECTOR3(0, 100, 0));
    body.EndStep(0.0f);
    body.m_pState->vVelocity = D3DXVECTOR3(2, 0, -4);
    body.m_pState->vAngularMomentum = D3DXVECTOR3(0, 3, 0);
    body.Integrate(0.01f);
    EXPECT_NEAR(body.m_pNextState->vVelocity.x, 2.0f - 2.0f * 0.01f, 1e-6f);
    EXPECT_NEAR(body.m_pNextState->vVelocity.z, -4.0f + 4.0f * 0.01f, 1e-6f);

    body.m_bMoving = 0;
    body.m_pState->vAngularVelocity = D3DXVECTOR3(0, 5, 0);
    body.Integrate(0.1f);
    EXPECT_EQ(body.m_pNextState->vPosition.x, 0.0f);
    EXPECT_EQ(body.m_pNextState->vPosition.y, 100.0f);
    EXPECT_FLOAT_EQ(body.m_pNextState->matOrientation._11, 1.0f);
    EXPECT_FLOAT_EQ(body.m_pNextState->matOrientation._13, 0.0f);
    EXPECT_NEAR(body.m_pNextState->vVelocity.x, 2.0f - 0.2f, 1e-6f);
}

TEST_F(DisplayObjectTest, EndStepExchangesTheStates)
{
    Body body;
    RigidState* pFirst = body.m_pState;
    RigidState* pSecond = body.m_pNextState;
    body.EndStep(0.0f);
    EXPECT_EQ(body.m_pState, pSecond);
    EXPECT_EQ(body.m_pNextState, pFirst);
}

TEST_F(DisplayObjectTest, GroundImpulseReversesTheContactSpeedByTheRestitution)
{
    Body body;
    Place(body, 2.0f, D3DXVECTOR3(0, 100, 0));
    RigidState& next = *body.m_pNextState;
    next.vPosition = D3DXVECTOR3(0, 11.0005f, 0);
    next.vVelocity = D3DXVECTOR3(0.3f, -2.0f, 0.1f);
    body.UpdateWorldCorners();
    const D3DXVECTOR3 p = body.m_vWorldCorners[0];
    ASSERT_NEAR(p.y, 10.0005f, 1e-4f);
    EXPECT_EQ(body.ApplyGroundImpulse(p, D3DXVECTOR3(p.x, 10.0f, p.z)), CONTACT_IMPULSE_APPLIED);
    D3DXVECTOR3 r = p - next.vPosition, vSpin;
    D3DXVec3Cross(&vSpin, &next.vAngularVelocity, &r);
    EXPECT_NEAR(next.vVelocity.y + vSpin.y, -0.4f * -2.0f, 1e-4f);
    // Now the corner leaves the ground: no second impulse.
    EXPECT_EQ(body.ApplyGroundImpulse(p, D3DXVECTOR3(p.x, 10.0f, p.z)), CONTACT_NO_IMPULSE);
    // A corner above the ground gets none.
    EXPECT_EQ(body.ApplyGroundImpulse(D3DXVECTOR3(0, 10.0011f, 0), D3DXVECTOR3(0, 10.0f, 0)), CONTACT_NO_IMPULSE);
}

TEST_F(DisplayObjectTest, AfterGroundContactsNoCornerApproachesTheGround)
{
    Body body;
    Place(body, 3.0f, D3DXVECTOR3(0, 100, 0));
    body.EndStep(0.0f);
    body.m_pState->vPosition = D3DXVECTOR3(0, 10.9f, 0);
    body.m_pState->vVelocity = D3DXVECTOR3(1, -5, 0.5f);
    body.m_pState->vAngularMomentum = D3DXVECTOR3(0.5f, 0, -0.3f);
    body.Integrate(0.0f);
    const RigidState& next = *body.m_pNextState;
    for (const D3DXVECTOR3& c : body.m_vWorldCorners)
    {
        if (!(c.y - 0.001f < 10.0f))
            continue;
        D3DXVECTOR3 r = c - next.vPosition, vSpin;
        D3DXVec3Cross(&vSpin, &next.vAngularVelocity, &r);
        EXPECT_GE(next.vVelocity.y + vSpin.y, -1e-4f);
    }
}

TEST_F(DisplayObjectTest, ContactImpulseKeepsTheBodiesMomentum)
{
    Body a, b;
    Place(a, 2.0f, D3DXVECTOR3(0, 50, -2.1f));
    Place(b, 3.0f, D3DXVECTOR3(0, 50, 0));
    a.m_pNextState->vVelocity = D3DXVECTOR3(0.5f, 0, 4);
    b.m_pState->vVelocity = D3DXVECTOR3(0, 0.2f, -1);
    auto Momentum = [&] { return 2.0f * a.m_pNextState->vVelocity + 3.0f * b.m_pState->vVelocity; };
    const D3DXVECTOR3 vBefore = Momentum();
    // A's corner 4 (+z face, -x -y) against B's -z face, whose normal points at A.
    const D3DXVECTOR3 p = a.m_vWorldCorners[4], q(p.x, p.y, -1.0f), n(0, 0, -1);
    EXPECT_EQ(ApplyContactImpulse(&a, &b, p, q, n), CONTACT_IMPULSE_APPLIED);
    const D3DXVECTOR3 vAfter = Momentum();
    EXPECT_NEAR(vAfter.x, vBefore.x, 1e-4f);
    EXPECT_NEAR(vAfter.y, vBefore.y, 1e-4f);
    EXPECT_NEAR(vAfter.z, vBefore.z, 1e-4f);
    EXPECT_LT(a.m_pNextState->vVelocity.z, 4.0f);
    // Moving apart: nothing more.
    a.m_pNextState->vVelocity = D3DXVECTOR3(0, 0, -1);
    a.m_pNextState->vAngularVelocity = D3DXVECTOR3(0, 0, 0);
    EXPECT_EQ(ApplyContactImpulse(&a, &b, p, q, n), CONTACT_NO_IMPULSE);
}

TEST_F(DisplayObjectTest, PointsOnAQuadsEdgeCountAsInside)
{
    const D3DXVECTOR3 quad[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    EXPECT_TRUE(DisplayObject3D::PointInQuad(D3DXVECTOR3(0.5f, 0.5f, 0), quad));
    EXPECT_TRUE(DisplayObject3D::PointInQuad(D3DXVECTOR3(1.0f, 0.5f, 0), quad));
    EXPECT_FALSE(DisplayObject3D::PointInQuad(D3DXVECTOR3(1.01f, 0.5f, 0), quad));
}
}
