// SceneMesh: the drawing buffers made from the vertex array, normal repair, tangent space and the
// edits that work on the vertex buffer in place.
#include "scene/SceneMesh.h"

#include "core/Log.h"
#include "core/TangentSpace.h"
#include "morvyn/morvyn.h"
#include "scene/D3DXBridge.h"
#include "scene/MeshGeometry.h"

#include <win32/user.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
// Corner k of the box line list: the twelve edges as pairs of box corners.
constexpr int BOX_EDGE_CORNERS[SceneMesh::BOX_LINE_VERTICES] = {0, 1, 2, 3, 0, 2, 1, 3, 4, 5, 6, 7,
                                                                4, 6, 5, 7, 0, 4, 2, 6, 1, 5, 3, 7};
constexpr D3DCOLOR BOX_LINE_COLOR = 0xFFFFFFFF;
constexpr DWORD BOX_LINE_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr UINT BOX_BUFFER_BYTES = SceneMesh::BOX_LINE_VERTICES * sizeof(BoxLineVertex);

// A stored normal this close to perpendicular to the smoothed one (|cos| below it) is repaired.
constexpr float STRAY_NORMAL_COSINE = 0.01f;

// The vertex of the second layout SmoothNormals32 works on.
struct Vertex32
{
    Vector3 vPosition;
    Vector3 vNormal;
    float u, v;
};
static_assert(sizeof(Vertex32) == 32, "layout of 32-byte vertex buffers");

// The average face normal at a position over every triangle with a corner exactly there, or
// false when no triangle has one.
bool AverageFaceNormal(const std::vector<Vector3>& faceNormals, const Vector3* pCorners, size_t nStride,
                       const Vector3& vPosition, Vector3* pAverage)
{
    Vector3 vSum(0.0f, 0.0f, 0.0f);
    int nCount = 0;
    for (size_t t = 0; t < faceNormals.size(); ++t)
    {
        for (int k = 0; k < 3; ++k)
        {
            const auto* pCorner = reinterpret_cast<const Vector3*>(reinterpret_cast<const char*>(pCorners) +
                                                                   (t * 3 + k) * nStride);
            if (*pCorner == vPosition)
            {
                vSum += faceNormals[t];
                ++nCount;
                break;
            }
        }
    }
    if (nCount == 0)
        return false;
    *pAverage = SafeNormalized(vSum / static_cast<float>(nCount));
    return true;
}
}

template <typename Fn>
HRESULT SceneMesh::EditVertexBuffer(Fn fn)
{
    if (!m_pVertexBuffer)
        return D3DERR_INVALIDCALL;
    void* pData = nullptr;
    HRESULT hr = m_pVertexBuffer->Lock(0, 0, &pData, 0);
    if (FAILED(hr))
        return hr;
    auto* pVertices = static_cast<MeshVertex*>(pData);
    for (int32_t i = 0; i < m_nVertexCount; ++i)
        fn(pVertices[i]);
    return m_pVertexBuffer->Unlock();
}

void SceneMesh::SmoothNormals()
{
    if (!m_pVertices || m_nTriangleCount <= 0)
        return;
    std::vector<Vector3> faceNormals(static_cast<size_t>(m_nTriangleCount));
    for (int32_t t = 0; t < m_nTriangleCount; ++t)
        faceNormals[t] = FaceNormal(m_pVertices[t * 3].vPosition, m_pVertices[t * 3 + 1].vPosition,
                                    m_pVertices[t * 3 + 2].vPosition);
    for (int32_t i = 0; i < m_nVertexCount; ++i)
    {
        Vector3 vSmooth;
        if (AverageFaceNormal(faceNormals, &m_pVertices[0].vPosition, sizeof(MeshVertex), m_pVertices[i].vPosition,
                              &vSmooth) &&
            std::fabs(Dot(vSmooth, m_pVertices[i].vNormal)) < STRAY_NORMAL_COSINE)
            m_pVertices[i].vNormal = vSmooth;
    }
}

HRESULT SceneMesh::CreateVertexBuffers(IDirect3DDevice9* pDevice)
{
    if (!pDevice || !m_pVertices || m_nTriangleCount <= 0)
    {
        LogWarning("SceneMesh::CreateVertexBuffers() - mesh \"%s\" has no triangles or no device.", m_szName);
        return D3DERR_INVALIDCALL;
    }
    uint64_t nBytes = static_cast<uint64_t>(m_nVertexCount) * sizeof(MeshVertex);
    if (nBytes > std::numeric_limits<UINT>::max())
    {
        LogWarning("SceneMesh::CreateVertexBuffers() - mesh \"%s\" has too many vertices for one buffer.", m_szName);
        return D3DERR_INVALIDCALL;
    }
    SmoothNormals();

    std::vector<NmfTriangle> triangles(static_cast<size_t>(m_nTriangleCount));
    for (int32_t t = 0; t < m_nTriangleCount; ++t)
    {
        for (int k = 0; k < 3; ++k)
        {
            const MeshVertex& vertex = m_pVertices[t * 3 + k];
            const float position[3] = {vertex.vPosition.x, vertex.vPosition.y, vertex.vPosition.z};
            const float normal[3] = {vertex.vNormal.x, vertex.vNormal.y, vertex.vNormal.z};
            std::memcpy(triangles[t].m_fPositions[k], position, sizeof(position));
            std::memcpy(triangles[t].m_fNormals[k], normal, sizeof(normal));
            triangles[t].m_fTexCoords[k][0] = vertex.u;
            triangles[t].m_fTexCoords[k][1] = vertex.v;
        }
    }
    std::vector<TangentTriangle> tangents;
    if (ComputeTangentSpace(m_nTriangleCount, triangles.data(), tangents))
    {
        for (int32_t t = 0; t < m_nTriangleCount; ++t)
        {
            for (int k = 0; k < 3; ++k)
            {
                const double* pT = tangents[t].m_dTangents[k];
                const double* pB = tangents[t].m_dBinormals[k];
                MeshVertex& vertex = m_pVertices[t * 3 + k];
                vertex.vTangent = Vector3(static_cast<float>(pT[0]), static_cast<float>(pT[1]), static_cast<float>(pT[2]));
                vertex.vBinormal = Vector3(static_cast<float>(pB[0]), static_cast<float>(pB[1]), static_cast<float>(pB[2]));
            }
        }
    }
    else
    {
        LogError("SceneMesh::CreateVertexBuffers() - the tangent space of mesh \"%s\" could not be computed.",
                 m_szName);
        MessageBoxA(nullptr, "ERROR: Unable to compute tangent space!\n", "yrty", MB_OK);
    }

    // A mesh uploaded again replaces its buffers rather than leaking them.
    if (m_pVertexBuffer)
        m_pVertexBuffer->Release();
    m_pVertexBuffer = nullptr;
    HRESULT hr = pDevice->CreateVertexBuffer(static_cast<UINT>(nBytes), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                             &m_pVertexBuffer, nullptr);
    if (FAILED(hr))
    {
        m_pVertexBuffer = nullptr;
        LogWarning("FAIL CREATE VERTEX BUFFER");
        return hr;
    }
    void* pData = nullptr;
    hr = m_pVertexBuffer->Lock(0, 0, &pData, 0);
    if (FAILED(hr))
        return hr;
    std::memcpy(pData, m_pVertices, static_cast<size_t>(nBytes));
    hr = m_pVertexBuffer->Unlock();
    if (FAILED(hr))
        return hr;

    for (int i = 0; i < 8; ++i)
    {
        Vector3 vCorner((i & 1) ? m_fBounds[1] : m_fBounds[0], (i & 2) ? m_fBounds[3] : m_fBounds[2],
                        (i & 4) ? m_fBounds[5] : m_fBounds[4]);
        m_vBoxCorners[i] = vCorner - m_vOffset;
    }
    // Half the largest maximum coordinate (not the largest extent): the collision test's radius.
    m_fBoundingRadius = std::fmax(std::fmax(m_fBounds[1], m_fBounds[3]), m_fBounds[5]) / 2.0f;

    if (m_pBoxBuffer)
        m_pBoxBuffer->Release();
    m_pBoxBuffer = nullptr;
    if (FAILED(pDevice->CreateVertexBuffer(BOX_BUFFER_BYTES, D3DUSAGE_WRITEONLY, BOX_LINE_FVF, D3DPOOL_DEFAULT,
                                           &m_pBoxBuffer, nullptr)))
        m_pBoxBuffer = nullptr;
    else
        FillBoxLines(m_vBoxCorners);

    m_RigidBody.Translate(m_vOffset);
    return hr;
}

void SceneMesh::FillBoxLines(const Vector3* pCorners)
{
    if (!m_pBoxBuffer)
        return;
    void* pData = nullptr;
    if (FAILED(m_pBoxBuffer->Lock(0, 0, &pData, 0)))
        return;
    auto* pLines = static_cast<BoxLineVertex*>(pData);
    for (uint32_t k = 0; k < BOX_LINE_VERTICES; ++k)
        pLines[k] = BoxLineVertex{pCorners[BOX_EDGE_CORNERS[k]], BOX_LINE_COLOR};
    m_pBoxBuffer->Unlock();
}

HRESULT SceneMesh::FlipNormals()
{
    return EditVertexBuffer([](MeshVertex& vertex) { vertex.vNormal = -vertex.vNormal; });
}

HRESULT SceneMesh::GenerateTexCoords()
{
    float fWidth = m_fBounds[1] - m_fBounds[0];
    float fDepth = m_fBounds[5] - m_fBounds[4];
    float fMinX = m_fBounds[0];
    float fMinZ = m_fBounds[4];
    // A flat axis (a wall in the yz plane, say) maps to 0 instead of dividing by zero.
    return EditVertexBuffer([=](MeshVertex& vertex) {
        vertex.u = fWidth != 0.0f ? (vertex.vPosition.x - fMinX) / fWidth : 0.0f;
        vertex.v = fDepth != 0.0f ? (vertex.vPosition.z - fMinZ) / fDepth : 0.0f;
    });
}

HRESULT SceneMesh::NormalizeTexCoords()
{
    float fWidth = m_fTextureWidth;
    float fHeight = m_fTextureHeight;
    return EditVertexBuffer([=](MeshVertex& vertex) {
        vertex.u /= fWidth;
        vertex.v /= fHeight;
    });
}

HRESULT SceneMesh::DenormalizeTexCoords()
{
    float fWidth = m_fTextureWidth;
    float fHeight = m_fTextureHeight;
    return EditVertexBuffer([=](MeshVertex& vertex) {
        vertex.u *= fWidth;
        vertex.v *= fHeight;
    });
}

HRESULT SceneMesh::SetTextureSize(float fWidth, float fHeight)
{
    float fOldWidth = m_fTextureWidth;
    float fOldHeight = m_fTextureHeight;
    HRESULT hr = EditVertexBuffer([=](MeshVertex& vertex) {
        vertex.u = vertex.u / fOldWidth * fWidth;
        vertex.v = vertex.v / fOldHeight * fHeight;
    });
    if (SUCCEEDED(hr))
    {
        m_fTextureWidth = fWidth;
        m_fTextureHeight = fHeight;
    }
    return hr;
}

HRESULT SceneMesh::ScaleVertices(float x, float y, float z)
{
    D3DXMATRIX matScale;
    D3DXMatrixScaling(&matScale, x, y, z);
    return EditVertexBuffer([&](MeshVertex& vertex) {
        D3DXVECTOR3 vIn(vertex.vPosition.x, vertex.vPosition.y, vertex.vPosition.z), vOut;
        D3DXVec3TransformCoord(&vOut, &vIn, &matScale);
        vertex.vPosition = Vector3(vOut.x, vOut.y, vOut.z);
    });
}

HRESULT SceneMesh::TranslateVertices(float x, float y, float z)
{
    Vector3 vMove(x, y, z);
    return EditVertexBuffer([=](MeshVertex& vertex) { vertex.vPosition += vMove; });
}

HRESULT SceneMesh::VisitVertices(int, int)
{
    return EditVertexBuffer([](MeshVertex&) {});
}

HRESULT SceneMesh::SmoothNormals32()
{
    if (!m_pVertexBuffer)
        return D3DERR_INVALIDCALL;
    void* pData = nullptr;
    HRESULT hr = m_pVertexBuffer->Lock(0, 0, &pData, 0);
    if (FAILED(hr))
        return hr;
    auto* pVertices = static_cast<Vertex32*>(pData);
    int32_t nTriangles = m_nVertexCount / 3;
    std::vector<Vector3> faceNormals(static_cast<size_t>(nTriangles > 0 ? nTriangles : 0));
    // This layout's winding takes the normal as (b - c) x (a - c).
    for (int32_t t = 0; t < nTriangles; ++t)
        faceNormals[t] = FaceNormal(pVertices[t * 3 + 2].vPosition, pVertices[t * 3 + 1].vPosition,
                                    pVertices[t * 3].vPosition);
    for (int32_t i = 0; i < nTriangles * 3; ++i)
    {
        Vector3 vSmooth;
        if (AverageFaceNormal(faceNormals, &pVertices[0].vPosition, sizeof(Vertex32), pVertices[i].vPosition, &vSmooth))
            pVertices[i].vNormal = vSmooth;
    }
    return m_pVertexBuffer->Unlock();
}

int SceneMesh::DrawBounds()
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice || !m_pBoxBuffer)
        return 0;
    D3DXMATRIX matIdentity, matView = ToD3DX(g_matView), matProjection = ToD3DX(g_matProjection);
    D3DXMatrixIdentity(&matIdentity);
    pDevice->SetTransform(D3DTS_WORLD, &matIdentity);
    pDevice->SetTransform(D3DTS_VIEW, &matView);
    pDevice->SetTransform(D3DTS_PROJECTION, &matProjection);
    D3DXMATRIX matWorld = ToD3DX(m_matWorld);
    for (int i = 0; i < 8; ++i)
    {
        D3DXVECTOR3 vCorner = ToD3DX(m_vBoxCorners[i]), vWorld;
        D3DXVec3TransformCoord(&vWorld, &vCorner, &matWorld);
        m_vWorldBoxCorners[i] = ToVector3(vWorld);
    }
    FillBoxLines(m_vWorldBoxCorners);

    pDevice->SetPixelShader(nullptr);
    pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    pDevice->SetTexture(0, nullptr);
    // Lit by the scene's lights, the box's material is a red that saturates.
    D3DMATERIAL9 material = {};
    material.Diffuse = D3DCOLORVALUE{255.0f, 0.0f, 0.0f, 1.0f};
    pDevice->SetMaterial(&material);
    pDevice->SetFVF(BOX_LINE_FVF);
    pDevice->SetStreamSource(0, m_pBoxBuffer, 0, sizeof(BoxLineVertex));
    pDevice->DrawPrimitive(D3DPT_LINELIST, 0, BOX_LINE_VERTICES / 2);
    pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    return 0;
}
