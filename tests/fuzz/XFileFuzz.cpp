// Fuzz entry point of the ".x" readers: every object the DirectX file library hands out is
// walked (data, names, children, references), then the file is loaded as one mesh by
// D3DXLoadMeshFromXA and into a frame tree by XFile::Load on a small software device made once
// per process.
#include "FuzzScratchFile.h"

#include "3dapi/XFileFrame.h"

#include <d3d9.h>
#include <d3d9/testing.h>
#include <d3dx9.h>
#include <rmxftmpl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
IDirect3D9* g_pD3D = nullptr;
IDirect3DDevice9* g_pDevice = nullptr;

void ReleaseDevice()
{
    if (g_pDevice)
        g_pDevice->Release();
    if (g_pD3D)
        g_pD3D->Release();
}

IDirect3DDevice9* Device()
{
    if (!g_pD3D)
    {
        g_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(8, 8);
        if (g_pD3D)
            g_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &g_pDevice);
        std::atexit(ReleaseDevice);
    }
    return g_pDevice;
}

// Reads every byte each object offers, so the sanitizers see any that lie outside its data.
uint32_t Walk(IDirectXFileData* pData, int nDepth)
{
    uint32_t nSum = 0;
    DWORD nSize = 0;
    void* p = nullptr;
    if (SUCCEEDED(pData->GetData(nullptr, &nSize, &p)))
        for (DWORD i = 0; i < nSize; ++i)
            nSum += static_cast<uint8_t*>(p)[i];
    char name[512];
    DWORD nName = sizeof(name);
    if (SUCCEEDED(pData->GetName(name, &nName)))
        nSum += nName;
    IDirectXFileObject* pChild = nullptr;
    while (SUCCEEDED(pData->GetNextObject(&pChild)))
    {
        IDirectXFileData* pChildData = nullptr;
        IDirectXFileDataReference* pReference = nullptr;
        if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pChildData))))
        {
            nSum += Walk(pChildData, nDepth + 1);
            pChildData->Release();
        }
        else if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(&pReference))))
        {
            if (SUCCEEDED(pReference->Resolve(&pChildData)))
            {
                nSum += pChildData->GetData(nullptr, &nSize, &p) == 0 ? nSize : 0;
                pChildData->Release();
            }
            pReference->Release();
        }
        pChild->Release();
    }
    return nSum;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, "x");
    if (!szPath)
        return 0;
    IDirectXFile* pFile = nullptr;
    if (SUCCEEDED(DirectXFileCreate(&pFile)))
    {
        IDirectXFileEnumObject* pEnum = nullptr;
        if (SUCCEEDED(pFile->RegisterTemplates(const_cast<char*>(D3DRM_XTEMPLATES), D3DRM_XTEMPLATE_BYTES)) &&
            SUCCEEDED(pFile->CreateEnumObject(const_cast<char*>(szPath), DXFILELOAD_FROMFILE, &pEnum)))
        {
            IDirectXFileData* pObject = nullptr;
            volatile uint32_t nSum = 0;
            while (SUCCEEDED(pEnum->GetNextDataObject(&pObject)))
            {
                nSum = nSum + Walk(pObject, 0);
                pObject->Release();
            }
            pEnum->Release();
        }
        pFile->Release();
    }

    if (IDirect3DDevice9* pDevice = Device())
    {
        LPD3DXBUFFER pAdjacency = nullptr, pMaterials = nullptr;
        DWORD nMaterials = 0;
        LPD3DXMESH pMesh = nullptr;
        if (SUCCEEDED(D3DXLoadMeshFromXA(szPath, D3DXMESH_SYSTEMMEM, pDevice, &pAdjacency, &pMaterials, nullptr,
                                         &nMaterials, &pMesh)))
        {
            pMesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                                   static_cast<DWORD*>(pAdjacency->GetBufferPointer()), nullptr, nullptr, nullptr);
            pMesh->Release();
            pAdjacency->Release();
            pMaterials->Release();
        }
        XFile file;
        file.Load(pDevice, szPath);
        file.RestoreDeviceResources(pDevice);
        file.DestroyAll();
    }
    ClearLogLines();
    return 0;
}
