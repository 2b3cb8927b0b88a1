#include "XFileMesh.h"

#include "3dapi/MediaSearch.h"
#include "3dapi/TextConvert.h"

#include <cstring>
#include <new>

XFileMesh::XFileMesh(const char* szName)
    : m_pSysMemMesh(nullptr), m_pLocalMesh(nullptr), m_dwNumMaterials(0), m_pMaterials(nullptr),
      m_pTextures(nullptr), m_bUseMaterials(true)
{
    std::strncpy(m_strName, szName ? szName : "", sizeof(m_strName) - 1);
    m_strName[sizeof(m_strName) - 1] = '\0';
    std::memset(m_strTextureNames, 0, sizeof(m_strTextureNames));
}

XFileMesh::~XFileMesh()
{
    Destroy();
}

HRESULT XFileMesh::FinishLoad(ID3DXBuffer* pAdjacency, ID3DXBuffer* pMaterials, bool bTextureTable)
{
    HRESULT hr = m_pSysMemMesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                                                static_cast<DWORD*>(pAdjacency->GetBufferPointer()), nullptr,
                                                nullptr, nullptr);
    if (SUCCEEDED(hr) && pMaterials && m_dwNumMaterials > 0)
    {
        const D3DXMATERIAL* pLoaded = static_cast<D3DXMATERIAL*>(pMaterials->GetBufferPointer());
        m_pMaterials = new (std::nothrow) D3DMATERIAL9[m_dwNumMaterials];
        if (bTextureTable && m_pMaterials)
        {
            m_pTextures = new (std::nothrow) IDirect3DBaseTexture9*[m_dwNumMaterials];
            if (!m_pTextures)
            {
                delete[] m_pMaterials;
                m_pMaterials = nullptr;
            }
        }
        if (!m_pMaterials)
            hr = E_OUTOFMEMORY;
        else
            for (DWORD i = 0; i < m_dwNumMaterials; ++i)
            {
                m_pMaterials[i] = pLoaded[i].MatD3D;
                if (m_pTextures)
                    m_pTextures[i] = nullptr;
                // Names past the table are skipped and long ones cut, so none runs past it.
                if (!bTextureTable && pLoaded[i].pTextureFilename && i < (DWORD)kMaxTextureNames)
                {
                    std::strncpy(m_strTextureNames[i], pLoaded[i].pTextureFilename, kTextureNameSize - 1);
                    m_strTextureNames[i][kTextureNameSize - 1] = '\0';
                }
            }
    }
    // Without a material array no subset can be drawn with its material.
    if (!m_pMaterials)
        m_dwNumMaterials = 0;
    pAdjacency->Release();
    if (pMaterials)
        pMaterials->Release();
    return hr;
}

HRESULT XFileMesh::CreateFromFile(IDirect3DDevice9* pDevice, const char* szFileName)
{
    char szPath[260];
    SearchMediaFileBytes(szPath, sizeof(szPath), szFileName);
    ID3DXBuffer* pAdjacency = nullptr;
    ID3DXBuffer* pMaterials = nullptr;
    HRESULT hr = D3DXLoadMeshFromXA(szPath, D3DXMESH_SYSTEMMEM, pDevice, &pAdjacency, &pMaterials, nullptr,
                                    &m_dwNumMaterials, &m_pSysMemMesh);
    if (FAILED(hr))
        return hr;
    return FinishLoad(pAdjacency, pMaterials, true);
}

HRESULT XFileMesh::CreateFromData(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData)
{
    ID3DXBuffer* pAdjacency = nullptr;
    ID3DXBuffer* pMaterials = nullptr;
    HRESULT hr = D3DXLoadMeshFromXof(pFileData, D3DXMESH_SYSTEMMEM, pDevice, &pAdjacency, &pMaterials, nullptr,
                                     &m_dwNumMaterials, &m_pSysMemMesh);
    if (FAILED(hr))
        return hr;
    return FinishLoad(pAdjacency, pMaterials, false);
}

HRESULT XFileMesh::SetVertexFormat(IDirect3DDevice9* pDevice, DWORD dwFVF)
{
    ID3DXMesh* pTempSysMemMesh = nullptr;
    ID3DXMesh* pTempLocalMesh = nullptr;
    if (m_pSysMemMesh && FAILED(m_pSysMemMesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, dwFVF, pDevice, &pTempSysMemMesh)))
        return E_FAIL;
    if (m_pLocalMesh && FAILED(m_pLocalMesh->CloneMeshFVF(0, dwFVF, pDevice, &pTempLocalMesh)))
    {
        if (pTempSysMemMesh)
            pTempSysMemMesh->Release();
        return E_FAIL;
    }
    if (m_pSysMemMesh)
        m_pSysMemMesh->Release();
    if (m_pLocalMesh)
        m_pLocalMesh->Release();
    m_pSysMemMesh = pTempSysMemMesh;
    m_pLocalMesh = pTempLocalMesh;
    if (m_pSysMemMesh)
        D3DXComputeNormals(m_pSysMemMesh, nullptr);
    if (m_pLocalMesh)
        D3DXComputeNormals(m_pLocalMesh, nullptr);
    return S_OK;
}

HRESULT XFileMesh::RestoreDeviceResources(IDirect3DDevice9* pDevice)
{
    if (!m_pSysMemMesh)
        return E_FAIL;
    if (FAILED(m_pSysMemMesh->CloneMeshFVF(0, m_pSysMemMesh->GetFVF(), pDevice, &m_pLocalMesh)))
        return E_FAIL;
    return S_OK;
}

HRESULT XFileMesh::ReleaseDeviceResources()
{
    if (m_pLocalMesh)
    {
        m_pLocalMesh->Release();
        m_pLocalMesh = nullptr;
    }
    return S_OK;
}

HRESULT XFileMesh::Destroy()
{
    ReleaseDeviceResources();
    if (m_pTextures)
    {
        for (DWORD i = 0; i < m_dwNumMaterials; ++i)
            if (m_pTextures[i])
                m_pTextures[i]->Release();
        delete[] m_pTextures;
        m_pTextures = nullptr;
    }
    delete[] m_pMaterials;
    m_pMaterials = nullptr;
    if (m_pSysMemMesh)
    {
        m_pSysMemMesh->Release();
        m_pSysMemMesh = nullptr;
    }
    m_dwNumMaterials = 0;
    return S_OK;
}

HRESULT XFileMesh::Render(IDirect3DDevice9* pDevice, bool bDrawOpaqueSubsets, bool bDrawAlphaSubsets)
{
    if (!m_pLocalMesh)
        return E_FAIL;
    // A subset is opaque when its diffuse alpha is not below 1 and translucent when it is not
    // exactly 1, so an alpha above 1 draws in both passes.
    auto DrawSubset = [&](DWORD i) {
        if (m_bUseMaterials)
        {
            pDevice->SetMaterial(&m_pMaterials[i]);
            pDevice->SetTexture(0, m_pTextures ? m_pTextures[i] : nullptr);
        }
        m_pLocalMesh->DrawSubset(i);
    };
    if (bDrawOpaqueSubsets)
        for (DWORD i = 0; i < m_dwNumMaterials; ++i)
        {
            if (m_bUseMaterials && m_pMaterials[i].Diffuse.a < 1.0f)
                continue;
            DrawSubset(i);
        }
    if (bDrawAlphaSubsets && m_bUseMaterials)
        for (DWORD i = 0; i < m_dwNumMaterials; ++i)
        {
            if (m_pMaterials[i].Diffuse.a == 1.0f)
                continue;
            DrawSubset(i);
        }
    return S_OK;
}
