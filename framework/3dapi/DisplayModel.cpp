#include "3dapi/DisplayModel.h"

#include "3dapi/D3DUtil.h"
#include "morvyn/morvyn.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// The twelve box edges as pairs of corner numbers.
constexpr int kBoxEdges[24] = {0, 1, 2, 3, 0, 2, 1, 3, 4, 5, 6, 7, 4, 6, 5, 7, 0, 4, 2, 6, 1, 5, 3, 7};

struct BoxVertex
{
    float x, y, z;
    D3DCOLOR color;
};
static_assert(sizeof(BoxVertex) == 16, "D3DFVF_XYZ | D3DFVF_DIFFUSE layout");
constexpr DWORD kBoxFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
}

DisplayModel::DisplayModel()
    : m_pMesh(nullptr), m_vMin(0, 0, 0), m_vMax(0, 0, 0), m_vCenter(0, 0, 0), m_fRadius(0.0f), m_dwNumFaces(0),
      m_pBoxVB(nullptr)
{
}

DisplayModel::~DisplayModel()
{
    Cleanup();
    DestroyDeviceResources();
}

HRESULT DisplayModel::Create(const char* szFileName, int bSphere, float fBoxScale)
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    m_pMesh = new (std::nothrow) XFileMesh("CD3DFile_Mesh");
    if (!m_pMesh)
        return E_OUTOFMEMORY;
    if (bSphere)
    {
        D3DXCreateSphere(pDevice, 1.0f, 16, 16, &m_pMesh->m_pSysMemMesh, nullptr);
        m_pMesh->m_pMaterials = new (std::nothrow) D3DMATERIAL9[1];
        m_pMesh->m_pTextures = new (std::nothrow) IDirect3DBaseTexture9*[1];
        if (!m_pMesh->m_pMaterials || !m_pMesh->m_pTextures)
            return E_OUTOFMEMORY;
        m_pMesh->m_dwNumMaterials = 1;
        MakeMaterial(m_pMesh->m_pMaterials[0], 1.0f, 0.0f, 0.0f, 1.0f);
        m_pMesh->m_pTextures[0] = nullptr;
    }
    else
    {
        HRESULT hr = m_pMesh->CreateFromFile(pDevice, szFileName);
        if (FAILED(hr))
            return hr;
    }
    for (DWORD i = 0; i < m_pMesh->m_dwNumMaterials; ++i)
        m_pMesh->m_pMaterials[i].Ambient = m_pMesh->m_pMaterials[i].Diffuse;

    ID3DXMesh* pMesh = m_pMesh->m_pSysMemMesh;
    if (!pMesh)
        return S_OK;
    m_dwNumFaces = pMesh->GetNumFaces();
    void* pVertices = nullptr;
    if (SUCCEEDED(pMesh->LockVertexBuffer(D3DLOCK_READONLY, &pVertices)))
    {
        DWORD dwStride = D3DXGetFVFVertexSize(pMesh->GetFVF());
        const auto* pFirst = static_cast<const D3DXVECTOR3*>(pVertices);
        D3DXVECTOR3 vCenter, vMin, vMax;
        D3DXComputeBoundingSphere(pFirst, pMesh->GetNumVertices(), dwStride, &vCenter, &m_fRadius);
        D3DXComputeBoundingBox(pFirst, pMesh->GetNumVertices(), dwStride, &vMin, &vMax);
        m_vCenter = Vector3(vCenter.x, vCenter.y, vCenter.z);
        // The box is a cube around the origin: its half side is the largest maximum component.
        float s = std::max({vMax.x, vMax.y, vMax.z}) * fBoxScale;
        m_vMin = Vector3(-s, -s, -s);
        m_vMax = Vector3(s, s, s);
        pMesh->UnlockVertexBuffer();
        for (int i = 0; i < 8; ++i)
            m_vCorners[i] = Vector3(i & 1 ? m_vMax.x : m_vMin.x, i & 2 ? m_vMax.y : m_vMin.y, i & 4 ? m_vMax.z : m_vMin.z);
    }

    if (pDevice && SUCCEEDED(pDevice->CreateVertexBuffer(24 * sizeof(BoxVertex), D3DUSAGE_WRITEONLY, kBoxFVF, D3DPOOL_MANAGED,
                                              &m_pBoxVB, nullptr)))
    {
        void* pData = nullptr;
        if (SUCCEEDED(m_pBoxVB->Lock(0, 0, &pData, 0)))
        {
            auto* pBox = static_cast<BoxVertex*>(pData);
            for (int i = 0; i < 24; ++i)
            {
                const Vector3& c = m_vCorners[kBoxEdges[i]];
                pBox[i] = BoxVertex{c.x, c.y, c.z, 0xFFFFFFFF};
            }
            m_pBoxVB->Unlock();
        }
    }
    return S_OK;
}

HRESULT DisplayModel::RestoreDeviceResources()
{
    return m_pMesh ? m_pMesh->RestoreDeviceResources(GetMorvynDevice()) : S_OK;
}

HRESULT DisplayModel::Render(int* pFaces)
{
    *pFaces = static_cast<int>(m_dwNumFaces);
    return m_pMesh ? m_pMesh->Render(GetMorvynDevice(), true, true) : S_OK;
}

HRESULT DisplayModel::DrawBounds()
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice || !m_pBoxVB)
        return S_OK;
    pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    pDevice->SetTexture(0, nullptr);
    D3DMATERIAL9 material;
    MakeMaterial(material, 1.0f, 1.0f, 1.0f, 1.0f);
    pDevice->SetMaterial(&material);
    pDevice->SetFVF(kBoxFVF);
    pDevice->SetStreamSource(0, m_pBoxVB, 0, sizeof(BoxVertex));
    pDevice->DrawPrimitive(D3DPT_LINELIST, 0, 12);
    pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    return S_OK;
}

HRESULT DisplayModel::ReleaseDeviceResources()
{
    return m_pMesh ? m_pMesh->ReleaseDeviceResources() : S_OK;
}

HRESULT DisplayModel::DestroyDeviceResources()
{
    if (m_pBoxVB)
    {
        m_pBoxVB->Release();
        m_pBoxVB = nullptr;
    }
    return S_OK;
}

void DisplayModel::Cleanup()
{
    if (m_pMesh)
    {
        m_pMesh->Destroy();
        delete m_pMesh;
        m_pMesh = nullptr;
    }
}
