#include "3dapi/DisplayObject3D.h"

#include "3dapi/D3DUtil.h"
#include "3dapi/DebugDrawList.h"
#include "3dapi/DisplayModel.h"
#include "core/Log.h"
#include "core/Random.h"

#include <cstring>

namespace
{
// The 3 x 3 part of a + b x s, element by element (the fourth row and column are left to the
// orthonormalisation).
D3DXMATRIX AddScaled(const D3DXMATRIX& a, const D3DXMATRIX& b, float s)
{
    D3DXMATRIX result;
    for (int i = 0; i < 16; ++i)
        (&result._11)[i] = (&a._11)[i] + (&b._11)[i] * s;
    return result;
}
}

float RandomFloat(float fLow, float fHigh)
{
    return fLow + Random() * (fHigh - fLow) / 32767.0f;
}

DisplayObject3D::DisplayObject3D(int32_t nType) : DisplayObject(nType)
{
    std::memset(static_cast<void*>(m_States), 0, sizeof(m_States));
    D3DXMatrixIdentity(&m_States[0].matOrientation);
    D3DXMatrixIdentity(&m_States[0].matInvInertia);
    m_pState = &m_States[0];
    m_pNextState = &m_States[1];
    D3DXMatrixIdentity(&m_matInvBodyInertia);
    std::memset(static_cast<void*>(m_vWorldCorners), 0, sizeof(m_vWorldCorners));
}

DisplayObject3D::~DisplayObject3D()
{
    DisplayObject3D::Cleanup();
}

void DisplayObject3D::Cleanup()
{
    if (m_bDebugDraw && g_pDebugDrawList)
    {
        g_pDebugDrawList->RemoveLines(m_nId + 10000);
        g_pDebugDrawList->RemoveSpheres(m_nId);
        g_pDebugDrawList->RemoveLines(m_nId);
    }
}

HRESULT DisplayObject3D::Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                              DisplayModel* pModel)
{
    // The inverse inertia needs a model's box and a positive mass.
    if (!pModel || !(m_fMass > 0.0f))
    {
        LogError("DisplayObject3D::Init() - %s.", pModel ? "the mass must be above 0" : "the model is null");
        return E_INVALIDARG;
    }
    m_nTypeIndex = nTypeIndex;
    m_pState->vPosition = *pPosition;
    m_pState->matOrientation = *pOrientation;
    m_pModel = pModel;

    // A solid box of mass m: I = m / 12 (the sum of the other two extents squared) per axis.
    const float dx = pModel->m_vMax.x - pModel->m_vMin.x;
    const float dy = pModel->m_vMax.y - pModel->m_vMin.y;
    const float dz = pModel->m_vMax.z - pModel->m_vMin.z;
    D3DXMATRIX matInertia;
    D3DXMatrixIdentity(&matInertia);
    matInertia._11 = m_fMass / 12.0f * (dy * dy + dz * dz);
    matInertia._22 = m_fMass / 12.0f * (dx * dx + dz * dz);
    matInertia._33 = m_fMass / 12.0f * (dx * dx + dy * dy);
    if (!D3DXMatrixInverse(&m_matInvBodyInertia, nullptr, &matInertia))
    {
        LogError("DisplayObject3D::Init() - the model's box is flat, its inertia has no inverse.");
        D3DXMatrixIdentity(&m_matInvBodyInertia);
        return E_INVALIDARG;
    }
    return S_OK;
}

void DisplayObject3D::UpdateWorldCorners()
{
    if (!m_pModel)
        return;
    const RigidState& next = *m_pNextState;
    for (int i = 0; i < 8; ++i)
    {
        D3DXVECTOR3 vCorner(m_pModel->m_vCorners[i].x, m_pModel->m_vCorners[i].y, m_pModel->m_vCorners[i].z);
        D3DXVec3TransformNormal(&m_vWorldCorners[i], &vCorner, &next.matOrientation);
        m_vWorldCorners[i] += next.vPosition;
    }
}

HRESULT DisplayObject3D::Integrate(float dt)
{
    const RigidState& s = *m_pState;
    RigidState& n = *m_pNextState;
    n.vForce = n.vTorque = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    ComputeForces(dt);

    D3DXVECTOR3 vForce;
    D3DXVec3TransformNormal(&vForce, &n.vForce, &s.matOrientation);
    vForce += m_fLinearFactor * s.vVelocity;
    if (m_bGravity)
        vForce.y -= 9.8f * m_fMass * m_fGravityScale;

    // The position moves with the old velocity; the velocity changes even when the body does
    // not move.
    n.vPosition = m_bMoving ? s.vPosition + s.vVelocity * dt : s.vPosition;
    n.vAcceleration = vForce / m_fMass;
    n.vVelocity = s.vVelocity + n.vAcceleration * dt;

    // v x W = omega x v for a row vector v.
    const D3DXVECTOR3& w = s.vAngularVelocity;
    D3DXMATRIX matSkew(0.0f, w.z, -w.y, 0.0f, -w.z, 0.0f, w.x, 0.0f, w.y, -w.x, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    D3DXMATRIX matOrientation = s.matOrientation;
    if (m_bMoving)
    {
        D3DXMATRIX matTurn;
        D3DXMatrixMultiply(&matTurn, &s.matOrientation, &matSkew);
        matOrientation = AddScaled(s.matOrientation, matTurn, dt);
    }
    OrthonormalizeMatrix(&n.matOrientation, &matOrientation);

    n.vTorque += m_fAngularFactor * s.vAngularMomentum;
    n.vAngularMomentum = s.vAngularMomentum + n.vTorque * dt;

    D3DXMATRIX matTranspose, matTemp;
    D3DXMatrixTranspose(&matTranspose, &n.matOrientation);
    D3DXMatrixMultiply(&matTemp, &n.matOrientation, &m_matInvBodyInertia);
    D3DXMatrixMultiply(&n.matInvInertia, &matTemp, &matTranspose);
    D3DXVec3TransformNormal(&n.vAngularVelocity, &n.vAngularMomentum, &n.matInvInertia);

    UpdateWorldCorners();
    ResolveGroundContacts();
    m_vPosition = Vector3(n.vPosition.x, n.vPosition.y, n.vPosition.z);
    return S_OK;
}

HRESULT DisplayObject3D::EndStep(float)
{
    RigidState* pState = m_pState;
    m_pState = m_pNextState;
    m_pNextState = pState;
    return S_OK;
}

void DisplayObject3D::GetViewVectors(D3DXVECTOR3* pEye, D3DXVECTOR3* pLookAt, D3DXVECTOR3* pUp)
{
    const D3DXVECTOR3 vZ(0.0f, 0.0f, 1.0f), vY(0.0f, 1.0f, 0.0f);
    *pEye = m_pState->vPosition;
    D3DXVECTOR3 vForward;
    D3DXVec3TransformNormal(&vForward, &vZ, &m_pState->matOrientation);
    *pLookAt = m_pState->vPosition + vForward;
    D3DXVec3TransformNormal(pUp, &vY, &m_pState->matOrientation);
}
