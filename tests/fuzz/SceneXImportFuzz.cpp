// Fuzz entry point of the scene store's ".x" import: the input is imported into an empty store on
// a small software device made once per process, every mesh it kept is read through, and the
// store is cleared.
#include "FuzzScratchFile.h"

#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <d3d9.h>
#include <d3d9/testing.h>

#include <cstdint>
#include <cstdlib>

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
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const char* szPath = fuzz::WriteScratchFile(pData, nSize, "x");
    IDirect3DDevice9* pDevice = Device();
    if (!szPath || !pDevice)
        return 0;
    SceneStore store;
    if (store.ImportXFile(szPath, nullptr, pDevice))
    {
        volatile float fSum = 0.0f;
        for (uint32_t i = 0; i < store.m_Meshes.GetCount(); ++i)
        {
            const SceneMesh& mesh = *static_cast<const SceneMesh*>(store.m_Meshes.Get(i));
            for (int32_t k = 0; k < mesh.m_nVertexCount; ++k)
                fSum = fSum + mesh.m_pVertices[k].vPosition.x + mesh.m_pVertices[k].u;
        }
    }
    store.Clear(nullptr);
    ClearLogLines();
    return 0;
}
