#include "XFileFrame.h"

#include "3dapi/MediaSearch.h"
#include "3dapi/TextConvert.h"
#include "core/Log.h"

#include <rmxfguid.h>
#include <rmxftmpl.h>

#include <cstring>
#include <new>
#include <strings.h>

const char* const g_XFileTemplates = D3DRM_XTEMPLATES;
const DWORD g_dwXFileTemplateBytes = D3DRM_XTEMPLATE_BYTES;

XFileFrame::XFileFrame(const char* szName) : m_pMesh(nullptr), m_pNext(nullptr), m_pChild(nullptr)
{
    std::strncpy(m_strName, szName ? szName : "", sizeof(m_strName) - 1);
    m_strName[sizeof(m_strName) - 1] = '\0';
    D3DXMatrixIdentity(&m_mat);
}

XFileFrame::~XFileFrame()
{
    delete m_pChild;
    delete m_pNext;
}

bool XFileFrame::ForEachMesh(bool (*pCallback)(XFileMesh*, void*), void* pContext)
{
    if (m_pMesh)
        pCallback(m_pMesh, pContext);
    if (m_pChild)
        m_pChild->ForEachMesh(pCallback, pContext);
    if (m_pNext)
        m_pNext->ForEachMesh(pCallback, pContext);
    return true;
}

XFileMesh* XFileFrame::FindMeshByName(const char* szName)
{
    if (m_pMesh && strcasecmp(m_pMesh->m_strName, szName) == 0)
        return m_pMesh;
    XFileMesh* pMesh = m_pChild ? m_pChild->FindMeshByName(szName) : nullptr;
    if (!pMesh && m_pNext)
        pMesh = m_pNext->FindMeshByName(szName);
    return pMesh;
}

XFileFrame* XFileFrame::FindFrameByName(const char* szName)
{
    if (strcasecmp(m_strName, szName) == 0)
        return this;
    XFileFrame* pFrame = m_pChild ? m_pChild->FindFrameByName(szName) : nullptr;
    if (!pFrame && m_pNext)
        pFrame = m_pNext->FindFrameByName(szName);
    return pFrame;
}

HRESULT XFileFrame::DestroyAll()
{
    if (m_pMesh)
        m_pMesh->Destroy();
    if (m_pChild)
        m_pChild->DestroyAll();
    if (m_pNext)
        m_pNext->DestroyAll();
    delete m_pMesh;
    delete m_pNext;
    delete m_pChild;
    m_pMesh = nullptr;
    m_pNext = nullptr;
    m_pChild = nullptr;
    return S_OK;
}

HRESULT XFileFrame::RestoreDeviceResources(IDirect3DDevice9* pDevice)
{
    if (m_pMesh)
        m_pMesh->RestoreDeviceResources(pDevice);
    if (m_pChild)
        m_pChild->RestoreDeviceResources(pDevice);
    if (m_pNext)
        m_pNext->RestoreDeviceResources(pDevice);
    return S_OK;
}

HRESULT XFileFrame::ReleaseDeviceResources()
{
    if (m_pMesh)
        m_pMesh->ReleaseDeviceResources();
    if (m_pChild)
        m_pChild->ReleaseDeviceResources();
    if (m_pNext)
        m_pNext->ReleaseDeviceResources();
    return S_OK;
}

HRESULT XFileFrame::Render(IDirect3DDevice9* pDevice, bool bDrawOpaqueSubsets, bool bDrawAlphaSubsets,
                           const D3DXMATRIX* pmatWorldMatrix)
{
    D3DXMATRIX matSaved;
    if (pmatWorldMatrix)
        matSaved = *pmatWorldMatrix;
    else
        pDevice->GetTransform(D3DTS_WORLD, &matSaved);
    D3DXMATRIX matWorld;
    D3DXMatrixMultiply(&matWorld, &m_mat, &matSaved);
    pDevice->SetTransform(D3DTS_WORLD, &matWorld);

    if (m_pMesh)
        m_pMesh->Render(pDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets);
    if (m_pChild)
        m_pChild->Render(pDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets, &matWorld);
    pDevice->SetTransform(D3DTS_WORLD, &matSaved);
    if (m_pNext)
        m_pNext->Render(pDevice, bDrawOpaqueSubsets, bDrawAlphaSubsets, &matSaved);
    return S_OK;
}

XFile::XFile() : XFileFrame("CD3DFile_Root") {}

XFile::~XFile()
{
    // The root owns the meshes of its tree as well: a file dropped after its tree was read
    // (as the importer does) would otherwise lose every mesh it loaded.
    DestroyAll();
}

HRESULT XFile::LoadFrom(IDirect3DDevice9* pDevice, void* pSource, DXFILELOADOPTIONS dwOptions, const char* szWhat)
{
    IDirectXFile* pDXFile = nullptr;
    if (FAILED(DirectXFileCreate(&pDXFile)))
    {
        LogError("XFile::Load() - DirectXFileCreate failed.");
        return E_FAIL;
    }
    if (FAILED(pDXFile->RegisterTemplates(const_cast<char*>(g_XFileTemplates), g_dwXFileTemplateBytes)))
    {
        LogError("XFile::Load() - the template block was not registered.");
        pDXFile->Release();
        return E_FAIL;
    }
    IDirectXFileEnumObject* pEnumObj = nullptr;
    HRESULT hr = pDXFile->CreateEnumObject(pSource, dwOptions, &pEnumObj);
    if (FAILED(hr))
    {
        LogError("XFile::Load() - cannot open \"%s\".", szWhat);
        pDXFile->Release();
        return hr;
    }

    IDirectXFileData* pFileData = nullptr;
    while (SUCCEEDED(hr = pEnumObj->GetNextDataObject(&pFileData)))
    {
        hr = ReadFrame(pDevice, pFileData, this);
        pFileData->Release();
        if (FAILED(hr))
            break;
    }
    pEnumObj->Release();
    pDXFile->Release();
    if (hr != DXFILEERR_NOMOREOBJECTS)
    {
        LogError("XFile::Load() - \"%s\" could not be read to its end.", szWhat);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT XFile::Load(IDirect3DDevice9* pDevice, const char* szFileName)
{
    char szFound[260];
    SearchMediaFileBytes(szFound, sizeof(szFound), szFileName);
    char szPath[260];
    ToAnsiStringBytes(szPath, szFound, sizeof(szPath));
    return LoadFrom(pDevice, szPath, DXFILELOAD_FROMFILE, szPath);
}

HRESULT XFile::LoadFromResource(IDirect3DDevice9* pDevice, const char* szResource, const char* szType)
{
    char szAnsiType[260];
    ToAnsiStringBytes(szAnsiType, szType, sizeof(szAnsiType));
    DXFILELOADRESOURCE resource{nullptr, szResource, szAnsiType};
    return LoadFrom(pDevice, &resource, DXFILELOAD_FROMRESOURCE, szType);
}

HRESULT XFile::ReadFrame(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData, XFileFrame* pParentFrame)
{
    const GUID* pGUID = nullptr;
    HRESULT hr = pFileData->GetType(&pGUID);
    if (FAILED(hr))
        return hr;

    if (*pGUID == TID_D3DRMMesh)
        return ReadMesh(pDevice, pFileData, pParentFrame);

    if (*pGUID == TID_D3DRMFrameTransformMatrix)
    {
        DWORD cbSize = 0;
        void* pData = nullptr;
        hr = pFileData->GetData(nullptr, &cbSize, &pData);
        if (FAILED(hr))
            return hr;
        // A matrix object declared by the file itself may hold fewer than 16 floats.
        if (cbSize < sizeof(D3DXMATRIX))
        {
            LogError("XFile::ReadFrame() - a frame transform holds %u bytes, not 64.", cbSize);
            return E_FAIL;
        }
        D3DXMATRIX mat;
        std::memcpy(&mat, pData, sizeof(mat));
        pParentFrame->SetMatrix(&mat);
        return S_OK;
    }

    if (*pGUID == TID_D3DRMFrame)
    {
        char szAnsiName[512] = {};
        DWORD dwNameLength = sizeof(szAnsiName);
        hr = pFileData->GetName(szAnsiName, &dwNameLength);
        if (FAILED(hr))
            return hr;
        char szName[512];
        FromAnsiStringBytes(szName, szAnsiName, sizeof(szName));
        XFileFrame* pFrame = new (std::nothrow) XFileFrame(szName);
        if (!pFrame)
            return E_OUTOFMEMORY;
        pFrame->m_pNext = pParentFrame->m_pChild;
        pParentFrame->m_pChild = pFrame;

        IDirectXFileObject* pChildObj = nullptr;
        while (SUCCEEDED(pFileData->GetNextObject(&pChildObj)))
        {
            IDirectXFileData* pChildData = nullptr;
            hr = pChildObj->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pChildData));
            if (SUCCEEDED(hr))
            {
                hr = ReadFrame(pDevice, pChildData, pFrame);
                pChildData->Release();
            }
            pChildObj->Release();
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

HRESULT XFile::ReadMesh(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData, XFileFrame* pParentFrame)
{
    if (pParentFrame->m_pMesh)
    {
        LogError("XFile::ReadMesh() - frame \"%s\" already has a mesh.", pParentFrame->m_strName);
        return E_FAIL;
    }
    char szAnsiName[512] = {};
    DWORD dwNameLength = sizeof(szAnsiName);
    HRESULT hr = pFileData->GetName(szAnsiName, &dwNameLength);
    if (FAILED(hr))
        return hr;
    char szName[512];
    FromAnsiStringBytes(szName, szAnsiName, sizeof(szName));
    pParentFrame->m_pMesh = new (std::nothrow) XFileMesh(szName);
    if (!pParentFrame->m_pMesh)
        return E_OUTOFMEMORY;
    pParentFrame->m_pMesh->CreateFromData(pDevice, pFileData);
    return S_OK;
}

HRESULT XFile::Render(IDirect3DDevice9* pDevice, const D3DXMATRIX* pmatWorldMatrix)
{
    D3DXMATRIX matSaved;
    if (pmatWorldMatrix)
        matSaved = *pmatWorldMatrix;
    else
        pDevice->GetTransform(D3DTS_WORLD, &matSaved);
    D3DXMATRIX matWorld;
    D3DXMatrixMultiply(&matWorld, &matSaved, &m_mat);
    pDevice->SetTransform(D3DTS_WORLD, &matWorld);

    if (m_pChild)
        m_pChild->Render(pDevice, true, false, &matWorld);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (m_pChild)
        m_pChild->Render(pDevice, false, true, &matWorld);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    pDevice->SetTransform(D3DTS_WORLD, &matSaved);
    return S_OK;
}
