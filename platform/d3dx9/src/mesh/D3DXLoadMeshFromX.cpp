// D3DXLoadMeshFromXof and D3DXLoadMeshFromXA: ".x" Mesh objects read through the DirectX file
// library into meshes (XMeshBuilder does the checking and the layout).
#include "XMeshBuilder.h"

#include <rmxfguid.h>
#include <rmxftmpl.h>

#include "core/Log.h"

#include <cstring>

namespace
{
bool IsType(IDirectXFileData* pObject, const GUID& type)
{
    const GUID* pType = nullptr;
    return SUCCEEDED(pObject->GetType(&pType)) && pType && *pType == type;
}

void ClearOutputs(LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh)
{
    if (ppAdjacency)
        *ppAdjacency = nullptr;
    if (ppMaterials)
        *ppMaterials = nullptr;
    if (ppEffectInstances)
        *ppEffectInstances = nullptr;
    if (pNumMaterials)
        *pNumMaterials = 0;
    *ppMesh = nullptr;
}

// Adds the meshes of an object and of the frames below it. A frame's transform matrix applies
// to everything in the frame wherever it stands among the frame's children. References are
// followed to meshes only, so a file cannot multiply its frames through them.
bool AddObject(XMeshBuilder& builder, IDirectXFileData* pObject, const D3DXMATRIX& matParent)
{
    if (IsType(pObject, TID_D3DRMMesh))
        return builder.AddMesh(pObject, matParent);
    if (!IsType(pObject, TID_D3DRMFrame))
        return true;

    std::vector<IDirectXFileData*> children;
    IDirectXFileObject* pChild = nullptr;
    while (SUCCEEDED(pObject->GetNextObject(&pChild)))
    {
        IDirectXFileData* pData = nullptr;
        if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pData))))
            children.push_back(pData);
        else
        {
            IDirectXFileDataReference* pReference = nullptr;
            if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(&pReference))))
            {
                if (SUCCEEDED(pReference->Resolve(&pData)))
                {
                    if (IsType(pData, TID_D3DRMMesh))
                        children.push_back(pData);
                    else
                        pData->Release();
                }
                pReference->Release();
            }
        }
        pChild->Release();
    }

    D3DXMATRIX matWorld = matParent;
    for (IDirectXFileData* pData : children)
    {
        DWORD nSize = 0;
        void* pMatrix = nullptr;
        if (IsType(pData, TID_D3DRMFrameTransformMatrix) && SUCCEEDED(pData->GetData(nullptr, &nSize, &pMatrix)) &&
            nSize >= sizeof(D3DXMATRIX))
        {
            D3DXMATRIX matLocal;
            std::memcpy(&matLocal, pMatrix, sizeof(matLocal));
            D3DXMatrixMultiply(&matWorld, &matLocal, &matParent);
        }
    }
    bool bOk = true;
    for (IDirectXFileData* pData : children)
    {
        if (bOk && !IsType(pData, TID_D3DRMFrameTransformMatrix))
            bOk = AddObject(builder, pData, matWorld);
        pData->Release();
    }
    return bOk;
}
}

HRESULT D3DXLoadMeshFromXof(LPDIRECTXFILEDATA pXofObjMesh, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice,
                            LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                            DWORD* pNumMaterials, LPD3DXMESH* ppMesh)
{
    if (!pXofObjMesh || !pD3DDevice || !ppMesh)
        return D3DERR_INVALIDCALL;
    ClearOutputs(ppAdjacency, ppMaterials, ppEffectInstances, pNumMaterials, ppMesh);
    if (!IsType(pXofObjMesh, TID_D3DRMMesh))
        return D3DERR_INVALIDCALL;
    XMeshBuilder builder;
    D3DXMATRIX matIdentity;
    D3DXMatrixIdentity(&matIdentity);
    if (!builder.AddMesh(pXofObjMesh, matIdentity))
    {
        LogWarning("D3DXLoadMeshFromXof() - %s.", builder.Error().c_str());
        return D3DXERR_INVALIDDATA;
    }
    return builder.Build(Options, pD3DDevice, ppAdjacency, ppMaterials, pNumMaterials, ppMesh);
}

HRESULT D3DXLoadMeshFromXA(LPCSTR pFilename, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                           LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials,
                           LPD3DXMESH* ppMesh)
{
    if (!pFilename || !pD3DDevice || !ppMesh)
        return D3DERR_INVALIDCALL;
    ClearOutputs(ppAdjacency, ppMaterials, ppEffectInstances, pNumMaterials, ppMesh);

    LPDIRECTXFILE pFile = nullptr;
    HRESULT hr = DirectXFileCreate(&pFile);
    if (FAILED(hr))
        return hr;
    LPDIRECTXFILEENUMOBJECT pEnum = nullptr;
    hr = pFile->RegisterTemplates(const_cast<char*>(D3DRM_XTEMPLATES), D3DRM_XTEMPLATE_BYTES);
    if (SUCCEEDED(hr))
        hr = pFile->CreateEnumObject(const_cast<char*>(pFilename), DXFILELOAD_FROMFILE, &pEnum);
    if (FAILED(hr))
    {
        LogWarning("D3DXLoadMeshFromXA() - cannot read \"%s\".", pFilename);
        pFile->Release();
        return hr;
    }

    XMeshBuilder builder;
    D3DXMATRIX matIdentity;
    D3DXMatrixIdentity(&matIdentity);
    LPDIRECTXFILEDATA pObject = nullptr;
    bool bOk = true;
    while (bOk && SUCCEEDED(hr = pEnum->GetNextDataObject(&pObject)))
    {
        bOk = AddObject(builder, pObject, matIdentity);
        pObject->Release();
    }
    pEnum->Release();
    pFile->Release();
    if (!bOk)
    {
        LogWarning("D3DXLoadMeshFromXA() - \"%s\": %s.", pFilename, builder.Error().c_str());
        return D3DXERR_INVALIDDATA;
    }
    if (hr != DXFILEERR_NOMOREOBJECTS)
    {
        LogWarning("D3DXLoadMeshFromXA() - \"%s\" is not a valid .x file.", pFilename);
        return hr;
    }
    if (builder.Empty())
    {
        LogWarning("D3DXLoadMeshFromXA() - \"%s\" holds no mesh.", pFilename);
        return D3DXERR_LOADEDMESHHASNODATA;
    }
    return builder.Build(Options, pD3DDevice, ppAdjacency, ppMaterials, pNumMaterials, ppMesh);
}
