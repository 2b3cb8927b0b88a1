#include "scene/SceneMesh.h"

#include "scene/D3DXBridge.h"

#include <new>
#include <strings.h>

namespace
{
void ReleaseBuffer(IDirect3DVertexBuffer9*& pBuffer)
{
    if (pBuffer)
        pBuffer->Release();
    pBuffer = nullptr;
}

void ResetBodyState(MeshBodyState& state)
{
    state = MeshBodyState{};
    state.matOrientation.SetIdentity();
    state.matInverseInertia.SetIdentity();
}
}

SceneMesh::SceneMesh()
{
    SetType(TREE_ITEM_MESH);
    for (int i = 0; i < LIGHT_SLOTS; ++i)
    {
        m_nLightFlags[i] = 1;
        m_bLitBy[i] = 1;
        m_bCastsShadow[i] = 1;
    }
    m_matBody2.SetIdentity();
    m_matBody3.SetIdentity();
    for (MeshBodyState& state : m_BodyStates)
        ResetBodyState(state);
}

SceneMesh::~SceneMesh()
{
    ReleaseBuffer(m_pVertexBuffer);
    ReleaseBuffer(m_pShadowVolumeBuffer);
    ReleaseBuffer(m_pParticleBuffer);
    ReleaseBuffer(m_pBoxBuffer);
    delete[] m_pVertices;
}

bool SceneMesh::AllocateTriangles(int32_t nTriangles)
{
    delete[] m_pVertices;
    m_pVertices = nullptr;
    m_nTriangleCount = 0;
    m_nVertexCount = 0;
    // Three vertices per triangle must fit the signed vertex count.
    if (nTriangles < 0 || nTriangles > INT32_MAX / 3)
        return false;
    m_pVertices = new (std::nothrow) MeshVertex[static_cast<size_t>(nTriangles) * 3]();
    if (!m_pVertices)
        return false;
    m_nTriangleCount = nTriangles;
    m_nVertexCount = nTriangles * 3;
    return true;
}

void SceneMesh::UpdateWorldMatrix(int)
{
    if (m_bAutoSpin)
    {
        m_vAngles.x += static_cast<float>(m_nSpinSpeed[0]) / 1000.0f;
        m_vAngles.y += static_cast<float>(m_nSpinSpeed[1]) / 1000.0f;
        m_vAngles.z += static_cast<float>(m_nSpinSpeed[2]) / 1000.0f;
    }
    D3DXMATRIX matX, matY, matZ, matScale, matOffset, matWorld;
    D3DXMatrixRotationX(&matX, m_vAngles.x);
    D3DXMatrixRotationY(&matY, m_vAngles.y);
    D3DXMatrixRotationZ(&matZ, m_vAngles.z);
    D3DXMatrixScaling(&matScale, m_vScaling.x, m_vScaling.y, m_vScaling.z);
    D3DXMatrixTranslation(&matOffset, m_vOffset.x, m_vOffset.y, m_vOffset.z);
    D3DXMATRIX matBase = ToD3DX(m_matBase);
    matWorld = matScale * matX * matY * matZ * matOffset * matBase;
    m_matWorld = ToMatrix4(matWorld);
    m_matWorldCopy2 = m_matWorld;
    m_matWorldCopy = m_matWorld;
}

void SceneMesh::UpdateWorldMatrixRelative(SceneMesh* pParent)
{
    if (!pParent)
        return;
    // The relative placement never spins about z.
    m_nSpinSpeed[2] = 0;
    D3DXMATRIX matX, matY, matZ, matOffset;
    D3DXMatrixRotationX(&matX, m_vAngles.x);
    D3DXMatrixRotationY(&matY, m_vAngles.y);
    D3DXMatrixRotationZ(&matZ, m_vAngles.z);
    Vector3 vRelative = m_vOffset - pParent->m_vOffset;
    D3DXMatrixTranslation(&matOffset, vRelative.x, vRelative.y, vRelative.z);
    D3DXMATRIX matParent = ToD3DX(pParent->m_matWorldCopy2);
    D3DXMATRIX matWorld = matZ * (matY * matX) * matOffset * matParent;
    m_matWorld = ToMatrix4(matWorld);
    m_matWorldCopy2 = m_matWorld;
    m_matWorldCopy = m_matWorld;
}

bool SceneMesh::QueryState(int) const
{
    return false;
}

int SceneMesh::AddChild(SceneObject* pChild)
{
    if (pChild)
        pChild->m_pOwner = this;
    return m_Children.Add(pChild);
}

int SceneMesh::RemoveChild(const char* szName)
{
    if (!szName)
        return static_cast<int>(m_Children.GetCount());
    uint32_t nIndex = 0;
    while (nIndex < m_Children.GetCount())
    {
        auto* pChild = static_cast<SceneObject*>(m_Children.Get(nIndex));
        // After a removal the next child has moved into this index, so it is looked at too.
        if (pChild && strcasecmp(pChild->m_szName, szName) == 0)
            m_Children.RemoveAt(nIndex);
        else
            ++nIndex;
    }
    return static_cast<int>(m_Children.GetCount());
}

int SceneMesh::RemoveChildAt(uint32_t nIndex)
{
    return m_Children.RemoveAt(nIndex);
}
