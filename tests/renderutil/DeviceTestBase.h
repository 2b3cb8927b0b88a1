#pragma once
// A small software device for the renderer utilities' tests; everything the test made must be
// released when it ends.
#include <d3d9.h>
#include <d3d9/testing.h>
#include <gtest/gtest.h>

class UtilityDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override { CreateDevice(16, 16); }

    void CreateDevice(UINT nWidth, UINT nHeight)
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(nWidth, nHeight, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice),
                  D3D_OK);
    }

    void TearDown() override
    {
        if (m_pDevice)
        {
            EXPECT_EQ(m_pDevice->Release(), 0u);
        }
        if (m_pD3D)
        {
            EXPECT_EQ(m_pD3D->Release(), 0u);
        }
        EXPECT_TRUE(d3d9test::LiveObjects().empty());
    }

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
