#pragma once
// A small device for the layer's tests: 16×16 back buffer, optional auto depth-stencil, and a
// check at the end that the test released everything it made.
#include <d3d9.h>
#include <d3d9/testing.h>
#include <gtest/gtest.h>

#include <algorithm>

inline D3DPRESENT_PARAMETERS TestPresentParameters(UINT width, UINT height, D3DFORMAT depthFormat)
{
    return d3d9test::TestPresentParameters(width, height, D3DFMT_A8R8G8B8, depthFormat);
}

class DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override { CreateDevice(16, 16, D3DFMT_D24S8); }

    void CreateDevice(UINT width, UINT height, D3DFORMAT depthFormat)
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp = TestPresentParameters(width, height, depthFormat);
        ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice),
                  D3D_OK);
    }

    void TearDown() override
    {
        d3d9test::SetPitchPadding(0);
        if (m_pDevice)
        {
            EXPECT_EQ(m_pDevice->Release(), 0u);
        }
        if (m_pD3D)
        {
            EXPECT_EQ(m_pD3D->Release(), 0u);
        }
        // Nothing the test made may outlive it.
        EXPECT_TRUE(d3d9test::LiveObjects().empty()) << "first survivor: " << d3d9test::LiveObjects().front().strKind;
    }

    // Whether an object of that kind and id is still alive.
    static bool IsAlive(const char* kind, UINT id)
    {
        auto objects = d3d9test::LiveObjects();
        return std::any_of(objects.begin(), objects.end(),
                           [&](const d3d9test::LiveObject& o) { return o.strKind == kind && o.nId == id; });
    }

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
