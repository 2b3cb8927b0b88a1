#pragma once
// A small software device for the mesh and texture tests: 16 x 16 windowed back buffer with a
// depth buffer, released with the fixture.
#include <d3d9.h>
#include <d3d9/testing.h>
#include <gtest/gtest.h>

class TestDevice
{
public:
    explicit TestDevice(UINT width = 16, UINT height = 16)
    {
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!m_d3d)
            return;
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(width, height, D3DFMT_X8R8G8B8, D3DFMT_D24S8);
        m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device);
    }
    ~TestDevice()
    {
        if (m_device)
            m_device->Release();
        if (m_d3d)
            m_d3d->Release();
    }
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    IDirect3DDevice9* operator->() const { return m_device; }
    IDirect3DDevice9* get() const { return m_device; }

private:
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
};
