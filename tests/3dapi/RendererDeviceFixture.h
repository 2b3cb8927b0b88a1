#pragma once
// A Direct3DRenderer on a small software device, with the device's call recorder at hand, and a
// check at the end that releasing the renderer left no object of the device alive.
#include "3dapi/Direct3DRenderer.h"
#include "core/PixelImage.h"

#include <d3d9.h>
#include <d3d9/testing.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Opens the protected state a test needs to set up: a blend request has no selector.
class TestDirect3DRenderer : public Direct3DRenderer
{
public:
    using Direct3DRenderer::Direct3DRenderer;

    void RequestBlend(int nSrc, int nDest, int nOp)
    {
        m_bBlendRequested = true;
        m_nPendingSrcBlend = nSrc;
        m_nPendingDestBlend = nDest;
        m_nPendingBlendOp = nOp;
    }
};

class RendererDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(16, 16, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice),
                  D3D_OK);
        D3DCAPS9 caps{};
        ASSERT_EQ(m_pDevice->GetDeviceCaps(&caps), D3D_OK);
        m_pRenderer = new TestDirect3DRenderer(caps, m_pDevice);
    }

    void TearDown() override
    {
        d3d9test::SetPitchPadding(0);
        if (m_pRenderer)
        {
            m_pRenderer->ReleaseAll();
            delete m_pRenderer;
        }
        if (m_pDevice)
        {
            EXPECT_EQ(m_pDevice->Release(), 0u);
        }
        if (m_pD3D)
        {
            EXPECT_EQ(m_pD3D->Release(), 0u);
        }
        auto live = d3d9test::LiveObjects();
        EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind << "#" << live.front().nId;
    }

    // An image of that format with nLevels levels (1 or the full chain), byte i of the buffer
    // set by fnByte (i).
    static PixelImage* MakeImage(int nFormat, int nWidth, int nHeight, bool bFullChain,
                                 const std::function<uint8_t(size_t)>& fnByte)
    {
        auto* pImage = new PixelImage;
        PixelImage sizing;
        sizing.width = nWidth;
        sizing.height = nHeight;
        sizing.format = nFormat;
        size_t nSize = sizing.GetLevelsSize(0, bFullChain ? ALL_MIP_LEVELS : 1);
        uint8_t* pPixels = AllocatePixels(nSize);
        for (size_t i = 0; i < nSize; ++i)
            pPixels[i] = fnByte(i);
        pImage->Adopt(pPixels, nWidth, nHeight, nFormat, true, bFullChain);
        return pImage;
    }

    // Bytes of one level of a 2D device texture (rows packed, block rows for DXT).
    std::vector<BYTE> ReadLevel(int nId, UINT nLevel, D3DFORMAT* pFormat = nullptr)
    {
        auto* pTexture = static_cast<IDirect3DTexture9*>(m_pRenderer->GetTextureEntry(nId)->m_pDeviceTexture);
        IDirect3DSurface9* pSurface = nullptr;
        EXPECT_EQ(pTexture->GetSurfaceLevel(nLevel, &pSurface), D3D_OK);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        if (pFormat)
            *pFormat = data.nFormat;
        return data.bytes;
    }

    // The object a create call of the recording returned ("Texture#3").
    static std::string OutputOf(d3d9test::Recorder& recorder, const std::string& strMethod)
    {
        for (const d3d9test::RecordedCall& call : recorder.Calls())
            if (call.strMethod == strMethod)
                return call.strOutput;
        return std::string();
    }

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    TestDirect3DRenderer* m_pRenderer = nullptr;
};
