// SceneMesh: the particle buffer, the shadow-volume geometry and the box-against-box collision
// test with its impulse response.
#include "scene/SceneMesh.h"

#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/MeshGeometry.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
// Faces of the world bounding box by corner index (bit 0 max x, bit 1 max y, bit 2 max z);
// the first three corners give the outward normal as (c - a) x (b - a).
constexpr int BOX_FACES[6][4] = {
    {0, 1, 2, 3},  // min z
    {4, 5, 0, 1},  // min y
    {1, 5, 3, 7},  // max x
    {4, 0, 6, 2},  // min x
    {5, 4, 7, 6},  // max z
    {2, 3, 6, 7},  // max y
};
constexpr int COLLISION_PASSES = 21;
// A corner nearer to a face than this (scene units) touches it.
constexpr float CONTACT_DISTANCE = 0.4f;
// Below this the impulse's denominator is taken as zero.
constexpr float MIN_IMPULSE_DENOMINATOR = 0.001f;

Vector3 TransformNormal(const Vector3& v, const Matrix4& m)
{
    D3DXVECTOR3 vIn = ToD3DX(v), vOut;
    D3DXMATRIX matrix = ToD3DX(m);
    D3DXVec3TransformNormal(&vOut, &vIn, &matrix);
    return ToVector3(vOut);
}

// p lies on the same side of every edge as the opposite corner; on an edge counts as inside.
bool InsideTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3* corners[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i)
    {
        const Vector3& from = *corners[i];
        const Vector3& to = *corners[(i + 1) % 3];
        const Vector3& opposite = *corners[(i + 2) % 3];
        if (Dot(Cross(to - from, p - from), Cross(to - from, opposite - from)) < 0.0f)
            return false;
    }
    return true;
}
}

HRESULT SceneMesh::CreateParticleVertexBuffer(IDirect3DDevice9* pDevice)
{
    if (!pDevice)
        return D3DERR_INVALIDCALL;
    uint64_t nBytes = static_cast<uint64_t>(m_nTriangleCount > 0 ? m_nTriangleCount : 0) * PARTICLE_BYTES_PER_TRIANGLE;
    if (nBytes > std::numeric_limits<UINT>::max())
        return D3DERR_INVALIDCALL;
    if (m_pParticleBuffer)
        m_pParticleBuffer->Release();
    m_pParticleBuffer = nullptr;
    HRESULT hr = pDevice->CreateVertexBuffer(static_cast<UINT>(nBytes), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                                             D3DPOOL_DEFAULT, &m_pParticleBuffer, nullptr);
    if (FAILED(hr))
        m_pParticleBuffer = nullptr;
    return hr;
}

HRESULT SceneMesh::BuildShadowVolume(IDirect3DDevice9* pDevice)
{
    if (!pDevice || !m_pVertices)
        return D3DERR_INVALIDCALL;
    m_nShadowTriangles = 0;
    std::vector<ShadowVolumeVertex> vertices;
    std::vector<Vector3> faceNormals(static_cast<size_t>(m_nTriangleCount));
    for (int32_t t = 0; t < m_nTriangleCount; ++t)
        faceNormals[t] = -FaceNormal(m_pVertices[t * 3].vPosition, m_pVertices[t * 3 + 1].vPosition,
                                     m_pVertices[t * 3 + 2].vPosition);
    auto corner = [this](int32_t t, int k) -> const Vector3& { return m_pVertices[t * 3 + k].vPosition; };

    int nOpenEdges = 0;
    for (int32_t t = 0; t < m_nTriangleCount; ++t)
    {
        for (int k = 0; k < 3; ++k)
            vertices.push_back({corner(t, k), faceNormals[t]});
        ++m_nShadowTriangles;
        for (int e = 0; e < 3; ++e)
        {
            const Vector3& vStart = corner(t, e);
            const Vector3& vEnd = corner(t, (e + 1) % 3);
            bool bShared = false;
            for (int32_t u = 0; u < m_nTriangleCount && !bShared; ++u)
            {
                if (u == t)
                    continue;
                for (int j = 0; j < 3; ++j)
                {
                    if (corner(u, j) == vEnd && corner(u, (j + 1) % 3) == vStart)
                    {
                        // One side of the quad that stretches along the shared edge. It runs
                        // the edge against the face's own direction, as a neighbouring face
                        // does, so that the volume closes with one winding throughout.
                        vertices.push_back({vEnd, faceNormals[t]});
                        vertices.push_back({vStart, faceNormals[t]});
                        vertices.push_back({corner(u, j), faceNormals[u]});
                        ++m_nShadowTriangles;
                        bShared = true;
                        break;
                    }
                }
            }
            if (!bShared)
                ++nOpenEdges;
        }
    }
    if (nOpenEdges > 0)
    {
        // An open mesh would leave holes in the volume: it casts no shadow at all.
        for (int32_t& bCasts : m_bCastsShadow)
            bCasts = 0;
        return D3D_OK;
    }

    uint64_t nBytes = static_cast<uint64_t>(vertices.size()) * sizeof(ShadowVolumeVertex);
    if (nBytes == 0 || nBytes > std::numeric_limits<UINT>::max())
        return D3DERR_INVALIDCALL;
    if (m_pShadowVolumeBuffer)
        m_pShadowVolumeBuffer->Release();
    m_pShadowVolumeBuffer = nullptr;
    HRESULT hr = pDevice->CreateVertexBuffer(static_cast<UINT>(nBytes), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                             &m_pShadowVolumeBuffer, nullptr);
    if (FAILED(hr))
    {
        m_pShadowVolumeBuffer = nullptr;
        LogWarning("SceneMesh::BuildShadowVolume() - the shadow-volume buffer of \"%s\" could not be created.",
                   m_szName);
        return hr;
    }
    void* pData = nullptr;
    hr = m_pShadowVolumeBuffer->Lock(0, 0, &pData, 0);
    if (FAILED(hr))
        return hr;
    std::memcpy(pData, vertices.data(), static_cast<size_t>(nBytes));
    return m_pShadowVolumeBuffer->Unlock();
}

int SceneMesh::Collide(SceneMesh* pOther)
{
    if (!pOther)
        return 0;
    Vector3 d = pOther->m_vOffset - m_vOffset;
    if (m_fBoundingRadius + pOther->m_fBoundingRadius <= Length(d))
        return 0;
    Vector3 n = SafeNormalized(d);
    const Vector3* pFaceCorners = pOther->m_vWorldBoxCorners;
    for (const auto& face : BOX_FACES)
    {
        const Vector3& a = pFaceCorners[face[0]];
        const Vector3& b = pFaceCorners[face[1]];
        const Vector3& c = pFaceCorners[face[2]];
        const Vector3& dCorner = pFaceCorners[face[3]];
        Vector3 f = SafeNormalized(Cross(c - a, b - a));
        if (!(Dot(f, n) < 0.0f))
            continue;
        bool bAnyResponse = false;
        for (int nPass = 0; nPass < COLLISION_PASSES; ++nPass)
        {
            for (const Vector3& p : m_vWorldBoxCorners)
            {
                Vector3 q = p - f * (Dot(p, f) - Dot(a, f));
                bool bInside = InsideTriangle(q, a, b, c) || InsideTriangle(q, b, c, dCorner);
                if (bInside && Length(p - q) < CONTACT_DISTANCE && ApplyCollisionResponse(pOther, p, q, f))
                {
                    bAnyResponse = true;
                    break;
                }
            }
            if (!bAnyResponse)
                break;
        }
    }
    return 0;
}

bool SceneMesh::ApplyCollisionResponse(SceneMesh* pOther, const Vector3& p, const Vector3& q, const Vector3& f)
{
    MeshBodyState& self = *m_pNextBodyState;
    MeshBodyState& other = *pOther->m_pBodyState;
    Vector3 r = p - self.vPosition;
    Vector3 v = self.vVelocity + Cross(self.vAngularVelocity, r);
    float a = Dot(v, f);
    // The point is already separating.
    if (!(a < 0.0f))
        return false;
    float k = Dot(f, Cross(TransformNormal(Cross(r, f), self.matInverseInertia), r));
    float fDenominator = 1.0f / m_fBodyMass + k;
    if (!(std::fabs(fDenominator) > MIN_IMPULSE_DENOMINATOR))
        return false;
    float j = -(m_fRestitution + 1.0f) * a / fDenominator;
    Vector3 J = f * j;

    self.vAngularMomentum += Cross(r, J);
    self.vVelocity += J / m_fBodyMass;
    self.vAngularVelocity = TransformNormal(self.vAngularMomentum, self.matInverseInertia);

    Vector3 rOther = q - other.vPosition;
    other.vAngularMomentum += Cross(rOther, -J);
    other.vVelocity += -J / pOther->m_fBodyMass;
    other.vAngularVelocity = TransformNormal(other.vAngularMomentum, other.matInverseInertia);
    return true;
}
