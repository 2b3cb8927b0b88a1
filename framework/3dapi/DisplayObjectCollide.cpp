// DisplayObject3D against other bodies and the ground: a sphere pre-test, the corners of one box
// against the faces of the other, an impulse with restitution at each approaching contact until
// none approaches, and the same against the plane y = 10.
#include "3dapi/DisplayObject3D.h"

#include "3dapi/DebugDrawList.h"
#include "3dapi/DisplayModel.h"
#include "3dapi/GameObjects.h"

#include <cmath>

namespace
{
// Box faces by corner number (corner i has x from the maximum when bit 0 is set, y by bit 1,
// z by bit 2): -z, -y, +x, -x, +z, +y.
constexpr int kFaces[6][4] = {{0, 1, 2, 3}, {4, 5, 0, 1}, {1, 5, 3, 7}, {4, 0, 6, 2}, {5, 4, 7, 6}, {2, 3, 6, 7}};
constexpr int kEdges[12][2] = {{0, 1}, {2, 3}, {0, 2}, {1, 3}, {4, 5}, {6, 7},
                               {4, 6}, {5, 7}, {0, 4}, {2, 6}, {1, 5}, {3, 7}};
// A pass over the corners restarts after every impulse; this many passes at most.
constexpr int kMaxPasses = 20;
// Corners nearer a face than this count as touching it.
constexpr float kContactDistance = 0.4f;

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 c;
    D3DXVec3Cross(&c, &a, &b);
    return c;
}

// Outward normal, edges and centre of face f of the corners c.
void FaceOf(const D3DXVECTOR3* c, int f, D3DXVECTOR3& n, D3DXVECTOR3& vCentre)
{
    D3DXVECTOR3 e1 = c[kFaces[f][1]] - c[kFaces[f][0]], e2 = c[kFaces[f][2]] - c[kFaces[f][0]];
    D3DXVECTOR3 vNormal = Cross(e2, e1);
    D3DXVec3Normalize(&n, &vNormal);
    vCentre = c[kFaces[f][0]] + e1 / 2 + e2 / 2;
}

DebugVector Debug(const D3DXVECTOR3& v)
{
    return DebugVector{v.x, v.y, v.z};
}

// The impulse along n at r from the body's centre that reverses the approach speed vrel times
// the restitution: J = -(1 + e) vrel / (1 / m + n . ((I^-1 (r x n)) x r)) n. Zero when the
// denominator is too small to divide by.
bool ContactImpulse(const RigidState& state, float fMass, float fRestitution, const D3DXVECTOR3& r,
                    const D3DXVECTOR3& n, float vrel, D3DXVECTOR3& vImpulse)
{
    D3DXVECTOR3 vTurn, rn = Cross(r, n);
    D3DXVec3TransformNormal(&vTurn, &rn, &state.matInvInertia);
    D3DXVECTOR3 vArm = Cross(vTurn, r);
    float k = D3DXVec3Dot(&n, &vArm);
    float fDenominator = 1.0f / fMass + k;
    if (!(std::fabs(fDenominator) > 0.001f))
        return false;
    vImpulse = (-(1.0f + fRestitution) * vrel / fDenominator) * n;
    return true;
}

// Applies an impulse at r to a state of a body of that mass.
void Push(RigidState& state, float fMass, const D3DXVECTOR3& r, const D3DXVECTOR3& vImpulse)
{
    state.vAngularMomentum += Cross(r, vImpulse);
    state.vVelocity += vImpulse / fMass;
    D3DXVec3TransformNormal(&state.vAngularVelocity, &state.vAngularMomentum, &state.matInvInertia);
}
}

bool DisplayObject3D::SameSide(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c)
{
    D3DXVECTOR3 cb = c - b;
    D3DXVECTOR3 c1 = Cross(cb, p - b), c2 = Cross(cb, a - b);
    return D3DXVec3Dot(&c1, &c2) >= 0.0f;
}

bool DisplayObject3D::PointInTriangle(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                                      const D3DXVECTOR3& c)
{
    return SameSide(p, a, b, c) && SameSide(p, b, a, c) && SameSide(p, c, a, b);
}

bool DisplayObject3D::PointInQuad(const D3DXVECTOR3& p, const D3DXVECTOR3* q)
{
    return PointInTriangle(p, q[0], q[1], q[2]) || PointInTriangle(p, q[1], q[2], q[3]);
}

HRESULT ApplyContactImpulse(DisplayObject3D* pA, DisplayObject3D* pB, const D3DXVECTOR3& p, const D3DXVECTOR3& q,
                            const D3DXVECTOR3& n)
{
    RigidState& na = *pA->m_pNextState;
    RigidState& sb = *pB->m_pState;
    D3DXVECTOR3 r = p - na.vPosition;
    D3DXVECTOR3 vp = na.vVelocity + Cross(na.vAngularVelocity, r);
    float vrel = D3DXVec3Dot(&vp, &n);
    if (!(vrel < 0.0f))
        return CONTACT_NO_IMPULSE;
    if (pA->m_bDebugDraw && g_pDebugDrawList)
        g_pDebugDrawList->AddLine(Debug(p), Debug(q), 0xFFFF0000, pA->m_nId, true);
    D3DXVECTOR3 vImpulse;
    if (!ContactImpulse(na, pA->m_fMass, pA->m_fRestitution, r, n, vrel, vImpulse))
        return CONTACT_NO_IMPULSE;
    Push(na, pA->m_fMass, r, vImpulse);
    Push(sb, pB->m_fMass, q - sb.vPosition, -vImpulse);
    return CONTACT_IMPULSE_APPLIED;
}

HRESULT DisplayObject3D::Collide(uint32_t, DisplayObject* pOther)
{
    // The ship and the kinds 3 and 4 are never hit as B; every other object is a DisplayObject3D.
    if (!pOther || pOther->m_nType == DISPLAY_OBJECT_SHIP || pOther->m_nType == 3 || pOther->m_nType == 4)
        return S_OK;
    auto* pB = static_cast<DisplayObject3D*>(pOther);
    if (!m_pModel || !pB->m_pModel)
        return S_OK;
    D3DXVECTOR3 d = pB->m_pNextState->vPosition - m_pNextState->vPosition;
    if (!(m_pModel->m_fRadius + pB->m_pModel->m_fRadius > D3DXVec3Length(&d)))
        return S_OK;
    D3DXVECTOR3 nd;
    D3DXVec3Normalize(&nd, &d);

    const D3DXVECTOR3* c = pB->m_vWorldCorners;
    for (int f = 0; f < 6; ++f)
    {
        D3DXVECTOR3 n, vCentre;
        FaceOf(c, f, n, vCentre);
        bool bFacing = D3DXVec3Dot(&n, &nd) < 0.0f;
        if (bFacing)
        {
            const D3DXVECTOR3 quad[4] = {c[kFaces[f][0]], c[kFaces[f][1]], c[kFaces[f][2]], c[kFaces[f][3]]};
            const float fPlane = D3DXVec3Dot(&quad[0], &n);
            for (int nPass = 0; nPass <= kMaxPasses; ++nPass)
            {
                bool bHit = false;
                for (int k = 0; k < 8 && !bHit; ++k)
                {
                    const D3DXVECTOR3& vCorner = m_vWorldCorners[k];
                    D3DXVECTOR3 q = vCorner - n * (D3DXVec3Dot(&vCorner, &n) - fPlane);
                    D3DXVECTOR3 vGap = vCorner - q;
                    if (!PointInQuad(q, quad) || !(D3DXVec3Length(&vGap) < kContactDistance))
                        continue;
                    ApplyCollisionRules(this, pB);
                    bHit = ApplyContactImpulse(this, pB, vCorner, q, n) == CONTACT_IMPULSE_APPLIED;
                }
                if (!bHit)
                    break;
            }
        }
        if (m_bDebugDraw && g_pDebugDrawList)
            g_pDebugDrawList->AddLine(Debug(vCentre), Debug(vCentre + n), bFacing ? 0xFF00FF00 : 0xFF0000FF,
                                      m_nId + 10000, false);
    }
    return S_OK;
}

HRESULT DisplayObject3D::ApplyGroundImpulse(const D3DXVECTOR3& p, const D3DXVECTOR3& g)
{
    if (!(p.y - 0.001f < g.y))
        return CONTACT_NO_IMPULSE;
    RigidState& n = *m_pNextState;
    D3DXVECTOR3 r = p - n.vPosition;
    D3DXVECTOR3 vp = n.vVelocity + Cross(n.vAngularVelocity, r);
    // The ground's normal from two of its directions: (0, 1, 0).
    D3DXVECTOR3 vNormal = Cross(D3DXVECTOR3(g.x, GROUND_HEIGHT, g.z + 1) - g, D3DXVECTOR3(g.x + 1, GROUND_HEIGHT, g.z) - g);
    D3DXVECTOR3 vUp;
    D3DXVec3Normalize(&vUp, &vNormal);
    float vrel = D3DXVec3Dot(&vp, &vUp);
    if (!(vrel < 0.0f))
        return CONTACT_NO_IMPULSE;
    D3DXVECTOR3 vImpulse;
    if (!ContactImpulse(n, m_fMass, m_fRestitution, r, vUp, vrel, vImpulse))
        return CONTACT_NO_IMPULSE;
    Push(n, m_fMass, r, vImpulse);
    return CONTACT_IMPULSE_APPLIED;
}

HRESULT DisplayObject3D::ResolveGroundContacts()
{
    RigidState& n = *m_pNextState;
    const bool bDebug = m_bDebugDraw && g_pDebugDrawList;
    if (bDebug)
    {
        g_pDebugDrawList->RemoveSpheres(m_nId);
        g_pDebugDrawList->RemoveLines(m_nId);
    }
    bool bHit = false;
    for (int nPass = 0;; )
    {
        bHit = false;
        for (int j = 0; j < 8 && !bHit; ++j)
        {
            D3DXVECTOR3 g(m_vWorldCorners[j].x, GROUND_HEIGHT, m_vWorldCorners[j].z);
            bHit = ApplyGroundImpulse(m_vWorldCorners[j], g) == CONTACT_IMPULSE_APPLIED;
        }
        if (!bHit || ++nPass > kMaxPasses)
            break;
        // A body still stuck after ten passes is lifted: 8 x 10 in all per pass.
        if (nPass > 10)
            for (int nLift = 0; nLift < 8; ++nLift)
            {
                for (D3DXVECTOR3& vCorner : m_vWorldCorners)
                    vCorner.y += 10.0f;
                n.vPosition.y += 10.0f;
            }
    }
    if (bDebug && m_pModel)
    {
        const DWORD dwColor = bHit ? 0xFFFF0000 : 0xFFFFFFFF;
        g_pDebugDrawList->RemoveLines(m_nId + 10000);
        for (const auto& edge : kEdges)
            g_pDebugDrawList->AddLine(Debug(m_vWorldCorners[edge[0]]), Debug(m_vWorldCorners[edge[1]]), dwColor,
                                      m_nId + 10000, false);
        D3DXVECTOR3 model[8];
        for (int i = 0; i < 8; ++i)
            model[i] = D3DXVECTOR3(m_pModel->m_vCorners[i].x, m_pModel->m_vCorners[i].y, m_pModel->m_vCorners[i].z);
        D3DXVECTOR3 vNormal, vCentre, vWorldNormal, vWorldCentre;
        FaceOf(model, 3, vNormal, vCentre);
        D3DXVec3TransformNormal(&vWorldNormal, &vNormal, &n.matOrientation);
        D3DXVec3TransformNormal(&vWorldCentre, &vCentre, &n.matOrientation);
        vWorldCentre += n.vPosition;
        g_pDebugDrawList->AddLine(Debug(vWorldCentre), Debug(vWorldCentre + vWorldNormal), 0xFF0000FF, m_nId + 10000,
                                  false);
    }
    return S_OK;
}
