#pragma once
// A small software device for the mesh and store tests, and the count of its live objects of
// one kind through the device's test hook.
#include <d3d9.h>
#include <d3d9/testing.h>

#include <string>

class MeshTestDevice
{
public:
    MeshTestDevice()
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        if (!m_pD3D)
            return;
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(16, 16, D3DFMT_X8R8G8B8);
        m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice);
    }
    ~MeshTestDevice()
    {
        if (m_pDevice)
            m_pDevice->Release();
        if (m_pD3D)
            m_pD3D->Release();
    }
    MeshTestDevice(const MeshTestDevice&) = delete;
    MeshTestDevice& operator=(const MeshTestDevice&) = delete;

    IDirect3DDevice9* Get() const { return m_pDevice; }

    // Objects of that kind ("VertexBuffer", "CubeTexture") alive in the whole process.
    static int LiveCount(const std::string& strKind)
    {
        int nCount = 0;
        for (const d3d9test::LiveObject& object : d3d9test::LiveObjects())
            nCount += object.strKind == strKind ? 1 : 0;
        return nCount;
    }

private:
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
