// Depth, stencil, alpha test, blending and occlusion counts, read back from tiny targets.
#include "DrawFixture.h"

#include <cmath>

namespace
{
bool Compare(DWORD nFunc, float a, float b)
{
    switch (nFunc)
    {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
    }
}

// Every ZFUNC against a cleared depth of 0.5, with quads at 0.25, 0.5 and 0.75: the query
// counts 256 pixels or none, and depth is written only where the test passed.
TEST_F(DrawTest, EveryDepthFunction)
{
    for (DWORD nFunc = D3DCMP_NEVER; nFunc <= D3DCMP_ALWAYS; ++nFunc)
        for (float z : {0.25f, 0.5f, 0.75f})
        {
            m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
            m_pDevice->SetRenderState(D3DRS_ZFUNC, nFunc);
            const DWORD nCount = CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, z); });
            const bool bPass = Compare(nFunc, z, 0.5f);
            EXPECT_EQ(nCount, bPass ? 256u : 0u) << nFunc << " " << z;
            IDirect3DSurface9* pDepth = nullptr;
            m_pDevice->GetDepthStencilSurface(&pDepth);
            std::vector<float> depth;
            ASSERT_TRUE(d3d9test::ReadDepth(pDepth, depth));
            pDepth->Release();
            EXPECT_EQ(depth[17], bPass ? z : 0.5f);
        }
}

// z = 1 against a clear of 1.0: LESSEQUAL passes, LESS and GREATER fail (exact floats).
TEST_F(DrawTest, FarPlaneDepthAgainstClearedOne)
{
    const std::pair<DWORD, DWORD> cases[] = {{D3DCMP_LESSEQUAL, 256}, {D3DCMP_LESS, 0}, {D3DCMP_GREATER, 0}};
    for (const auto& c : cases)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_ZFUNC, c.first);
        EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 1.0f); }), c.second) << c.first;
    }
}

// Two-sided stencil: clockwise triangles INCR with the front states, counter-clockwise ones
// DECR with the CCW states; both wrap.
TEST_F(DrawTest, TwoSidedStencilWraps)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, TRUE);
    m_pDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    m_pDevice->SetRenderState(D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRS_CCW_STENCILPASS, D3DSTENCILOP_DECR);
    // Left half clockwise, right half counter-clockwise.
    const ScreenVertex cw[3] = {{0, 0, 0.5f, 1, 0, 0, 0}, {8, 0, 0.5f, 1, 0, 0, 0}, {0, 16, 0.5f, 1, 0, 0, 0}};
    const ScreenVertex ccw[3] = {{8, 0, 0.5f, 1, 0, 0, 0}, {8, 16, 0.5f, 1, 0, 0, 0}, {16, 0, 0.5f, 1, 0, 0, 0}};
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, sizeof(ScreenVertex));
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, sizeof(ScreenVertex));
    // Only where the stencil is now 255 (DECR wrapped from 0): EQUAL 255 passes on the right.
    m_pDevice->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    m_pDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    m_pDevice->SetRenderState(D3DRS_STENCILREF, 255);
    m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    IDirect3DSurface9* pDepth = nullptr;
    m_pDevice->GetDepthStencilSurface(&pDepth);
    std::vector<BYTE> stencil;
    ASSERT_TRUE(d3d9test::ReadStencil(pDepth, stencil));
    pDepth->Release();
    EXPECT_EQ(stencil[0 * 16 + 1], 1);     // inside the clockwise triangle
    EXPECT_EQ(stencil[1 * 16 + 14], 255);  // inside the counter-clockwise one
    EXPECT_EQ(stencil[15 * 16 + 15], 0);   // neither
    const DWORD nRight = CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.5f); });
    // The counter-clockwise triangle (8,0) (8,16) (16,0) covers 2·(8+7+...+1) = 72 centres.
    EXPECT_EQ(nRight, 72u);
}

// The blend pairs the program uses, on A8R8G8B8: src·f_s + dst·f_d in float, then stored.
TEST_F(DrawTest, BlendPairs)
{
    struct Case
    {
        DWORD nSrc, nDest;
    };
    const Case cases[] = {{D3DBLEND_ZERO, D3DBLEND_ZERO},          {D3DBLEND_ZERO, D3DBLEND_ONE},
                          {D3DBLEND_ONE, D3DBLEND_ONE},            {D3DBLEND_ONE, D3DBLEND_ZERO},
                          {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}, {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                          {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA}, {D3DBLEND_INVSRCALPHA, D3DBLEND_ONE},
                          {D3DBLEND_ZERO, D3DBLEND_SRCALPHA}};
    const float src[4] = {200 / 255.0f, 100 / 255.0f, 0.0f, 64 / 255.0f};
    const float dst[4] = {40 / 255.0f, 90 / 255.0f, 250 / 255.0f, 1.0f};
    auto Factor = [&](DWORD f) -> float {
        switch (f)
        {
        case D3DBLEND_ZERO: return 0.0f;
        case D3DBLEND_ONE: return 1.0f;
        case D3DBLEND_SRCALPHA: return src[3];
        default: return 1.0f - src[3];
        }
    };
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    // Alpha from the diffuse colour (ARG1 is a TEXTURE that reads as white without a texture).
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    for (const Case& c : cases)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 40, 90, 250), 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, c.nSrc);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, c.nDest);
        DrawRect(0, 0, 16, 16, D3DCOLOR_ARGB(64, 200, 100, 0));
        auto data = ReadBackBuffer();
        for (int ch = 0; ch < 4; ++ch)
        {
            const float v = std::clamp(src[ch] * Factor(c.nSrc) + dst[ch] * Factor(c.nDest), 0.0f, 1.0f);
            EXPECT_EQ(Channel(data, 3, 3, ch), (int)std::floor(v * 255.0f + 0.5f)) << c.nSrc << "/" << c.nDest << " " << ch;
        }
    }
}

TEST_F(DrawTest, ColorWriteMaskKeepsMaskedChannels)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(10, 20, 30, 40), 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_ALPHA);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    DrawRect(0, 0, 16, 16, D3DCOLOR_ARGB(200, 210, 220, 230));
    auto data = ReadBackBuffer();
    EXPECT_EQ(Channel(data, 0, 0, 0), 210);
    EXPECT_EQ(Channel(data, 0, 0, 1), 30);
    EXPECT_EQ(Channel(data, 0, 0, 2), 40);
    EXPECT_EQ(Channel(data, 0, 0, 3), 200);
}

// oDepth replaces the interpolated depth (clamped to [0, 1]) for the test, the write and the
// query; texkill removes pixels from the count.
TEST_F(DrawTest, DepthOutputDrivesOcclusionCounts)
{
    IDirect3DPixelShader9* pShader = PixelShader(
        "ps_2_0\n"
        "mov r0, c0\n"
        "mov oC0, r0\n"
        "mov oDepth, r0.x\n");
    m_pDevice->SetPixelShader(pShader);
    struct Case
    {
        float fDepth;
        DWORD nFunc;
        DWORD nExpected;
        float fStored;
    };
    // Cleared to 0.5; the quad's own depth is 0.9 throughout.
    const Case cases[] = {{0.25f, D3DCMP_LESS, 256, 0.25f}, {0.75f, D3DCMP_LESS, 0, 0.5f},
                          {0.5f, D3DCMP_LESSEQUAL, 256, 0.5f}, {-3.0f, D3DCMP_LESS, 256, 0.0f},
                          {7.0f, D3DCMP_GREATER, 256, 1.0f}};
    for (const Case& c : cases)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
        m_pDevice->SetRenderState(D3DRS_ZFUNC, c.nFunc);
        const float constant[4] = {c.fDepth, 0, 0, 1};
        m_pDevice->SetPixelShaderConstantF(0, constant, 1);
        EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.9f); }), c.nExpected) << c.fDepth;
        IDirect3DSurface9* pDepth = nullptr;
        m_pDevice->GetDepthStencilSurface(&pDepth);
        std::vector<float> depth;
        d3d9test::ReadDepth(pDepth, depth);
        pDepth->Release();
        EXPECT_EQ(depth[100], c.fStored) << c.fDepth;
    }
    m_pDevice->SetPixelShader(nullptr);
    pShader->Release();
}

// A query counts what passes whatever the blending, and a quad of W×H pixels inside a larger
// depth surface counts W×H.
TEST_F(DrawTest, QueryCountsCoveredPixels)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    EXPECT_EQ(CountPixels([&] { DrawRect(2, 3, 9, 8, 0xFFFFFFFF); }), 35u);
    IDirect3DSurface9* pLarge = nullptr;
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(32, 24, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &pLarge, nullptr),
              D3D_OK);
    IDirect3DSurface9* pOld = nullptr;
    m_pDevice->GetDepthStencilSurface(&pOld);
    m_pDevice->SetDepthStencilSurface(pLarge);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.25f); }), 256u);
    std::vector<float> depth;
    d3d9test::ReadDepth(pLarge, depth);
    EXPECT_EQ(depth[15 * 32 + 15], 0.25f);
    EXPECT_EQ(depth[15 * 32 + 16], 0.0f);  // outside the viewport: neither cleared nor drawn
    m_pDevice->SetDepthStencilSurface(pOld);
    pOld->Release();
    pLarge->Release();
}
}
