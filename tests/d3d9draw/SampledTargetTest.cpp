// A texture that is also the draw's render target is read as it was before the draw.
#include "DrawFixture.h"

#include <core/Log.h>

namespace
{
// Two overlapping full-target quads in one draw, each texel × 0.5 of the texture it renders
// into: both layers read the cleared 204, so every pixel is 102; a live read would give the
// second layer 51.
TEST_F(DrawTest, TargetSampledInTheSameDrawReadsItsContentsFromBefore)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pTexture,
                                       nullptr),
              D3D_OK);
    IDirect3DSurface9* pLevel = nullptr;
    IDirect3DSurface9* pBackBuffer = nullptr;
    pTexture->GetSurfaceLevel(0, &pLevel);
    m_pDevice->GetRenderTarget(0, &pBackBuffer);
    m_pDevice->SetRenderTarget(0, pLevel);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 204, 204, 204), 1.0f, 0);
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetLogEcho(false);
    ClearLogLines();
    const D3DCOLOR half = D3DCOLOR_ARGB(255, 128, 128, 128);
    std::vector<ScreenVertex> quads;
    for (int layer = 0; layer < 2; ++layer)
        for (const ScreenVertex& v : {ScreenVertex{0, 0, 0.5f, 1, half, 0, 0}, ScreenVertex{16, 0, 0.5f, 1, half, 1, 0},
                                      ScreenVertex{0, 16, 0.5f, 1, half, 0, 1}, ScreenVertex{16, 0, 0.5f, 1, half, 1, 0},
                                      ScreenVertex{16, 16, 0.5f, 1, half, 1, 1}, ScreenVertex{0, 16, 0.5f, 1, half, 0, 1}})
            quads.push_back(v);
    const int nFirst = (int)(204 * (128 / 255.0f) + 0.5f);
    const int nSecond = (int)(nFirst * (128 / 255.0f) + 0.5f);
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 4, quads.data(), sizeof(ScreenVertex)), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pLevel, data));
    for (UINT y = 0; y < 16; y += 5)
        for (UINT x = 0; x < 16; x += 5)
            EXPECT_NEAR(Channel(data, x, y, 0), nFirst, 1) << x << "," << y;
    // The next draw reads what this one wrote.
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quads.data(), sizeof(ScreenVertex)), D3D_OK);
    ASSERT_TRUE(d3d9test::ReadSurface(pLevel, data));
    for (UINT y = 0; y < 16; y += 5)
        for (UINT x = 0; x < 16; x += 5)
            EXPECT_NEAR(Channel(data, x, y, 0), nSecond, 1) << x << "," << y;
    // Reported once, however many draws do it.
    size_t nReports = 0;
    for (const LogLine& line : GetLogLines())
        nReports += line.m_strText.find("render target") != std::string::npos;
    EXPECT_LE(nReports, 1u);
    SetLogEcho(true);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    pBackBuffer->Release();
    pLevel->Release();
    pTexture->Release();
}
}
